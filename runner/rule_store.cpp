#include "rule_store.h"

#include "ascii.h"
#include "registry_text.h"

#define IDT_WATCH_RULES 4
#define WATCH_RULES_MS 500

// The window whose timer watches the key; null when not started.
static HWND g_watcher;
static HANDLE g_tableMapping;
// The runner's writable view of the table; null when it could not be made.
static SplashRuleTable *g_table;
// When the key was last written, as last seen; zero when it was absent.
static FILETIME g_lastWrite;

static bool SameRule(const SplashRule *a, const SplashRule *b)
{
    return a->width == b->width && a->height == b->height &&
           AsciiEqualNoCase(a->className, b->className) && AsciiEqualNoCase(a->path, b->path);
}

static bool Holds(const SplashRule *rules, unsigned count, const SplashRule *rule)
{
    for (unsigned i = 0; i < count; ++i)
        if (SameRule(&rules[i], rule))
            return true;
    return false;
}

static void FormatValueName(char *name, unsigned index)
{
    wsprintfA(name, "splash%d", (int)index);
}

// The stored rules, however the values were left: at most the table's worth
// of indices is read, each value bounded, anything unreadable passed over.
static unsigned ReadStoredRules(SplashRule *rules)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ZENTROVA_RULES_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0, size = sizeof count;
    if (RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &size) != ERROR_SUCCESS)
        count = 0;
    unsigned n = 0;
    for (DWORD i = 0; i < count && i < kMaxSplashRules; ++i) {
        char name[32], text[kRuleTextSize];
        FormatValueName(name, i);
        DWORD bytes = sizeof text;
        SplashRule rule;
        if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)text, &bytes) == ERROR_SUCCESS &&
            TerminateRegistryText(text, bytes, sizeof text) &&
            ParseRuleText(text, sizeof text, &rule) && !Holds(rules, n, &rule))
            rules[n++] = rule;
    }
    RegCloseKey(key);
    return n;
}

// The entries first and the count last: a reader never counts an entry that
// is not there yet.
static bool WriteStoredRules(const SplashRule *rules, unsigned count)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ZENTROVA_RULES_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (unsigned i = 0; i < count; ++i) {
        char name[32], text[kRuleTextSize];
        FormatValueName(name, i);
        ok = ok && FormatRuleText(&rules[i], text, sizeof text) &&
             RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text,
                            (DWORD)lstrlenA(text) + 1) == ERROR_SUCCESS;
    }
    DWORD n = count;
    ok = ok && RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&n, sizeof n) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// Copies the stored rules into the table, the generation odd meanwhile.
static void FillTable()
{
    if (g_table == NULL)
        return;
    SplashRule rules[kMaxSplashRules];
    unsigned count = ReadStoredRules(rules);
    InterlockedIncrement((volatile LONG *)&g_table->generation);
    MemoryBarrier();
    for (unsigned i = 0; i < count; ++i)
        g_table->rules[i] = rules[i];
    g_table->count = count;
    MemoryBarrier();
    InterlockedIncrement((volatile LONG *)&g_table->generation);
}

static FILETIME LastWriteTime()
{
    FILETIME when = {0, 0};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ZENTROVA_RULES_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &when);
        RegCloseKey(key);
    }
    return when;
}

static void CALLBACK OnWatchRulesTimer(HWND, UINT, UINT_PTR, DWORD)
{
    FILETIME now = LastWriteTime();
    if (CompareFileTime(&now, &g_lastWrite) == 0)
        return;
    g_lastWrite = now;
    FillTable();
}

void RuleStoreStart(HWND window)
{
    g_tableMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                        sizeof(SplashRuleTable), ZENTROVA_RULES_MAPPING_NAME);
    if (g_tableMapping != NULL)
        g_table = (SplashRuleTable *)MapViewOfFile(g_tableMapping, FILE_MAP_WRITE, 0, 0,
                                                   sizeof(SplashRuleTable));
    g_lastWrite = LastWriteTime();
    FillTable();
    g_watcher = window;
    SetTimer(window, IDT_WATCH_RULES, WATCH_RULES_MS, OnWatchRulesTimer);
}

void RuleStoreStop()
{
    if (g_watcher != NULL)
        KillTimer(g_watcher, IDT_WATCH_RULES);
    g_watcher = NULL;
    // The table outlives the runner in every process that still has the
    // library loaded: it holds rules only while a runner keeps them.
    if (g_table != NULL) {
        InterlockedIncrement((volatile LONG *)&g_table->generation);
        MemoryBarrier();
        g_table->count = 0;
        MemoryBarrier();
        InterlockedIncrement((volatile LONG *)&g_table->generation);
        UnmapViewOfFile(g_table);
    }
    if (g_tableMapping != NULL)
        CloseHandle(g_tableMapping);
    g_table = NULL;
    g_tableMapping = NULL;
}

RuleAddResult RuleStoreAdd(const SplashRule *rule)
{
    SplashRule rules[kMaxSplashRules + 1];
    unsigned count = ReadStoredRules(rules);
    if (Holds(rules, count, rule))
        return kRuleAdded;
    if (count == kMaxSplashRules)
        return kRuleStoreFull;
    rules[count] = *rule;
    if (!WriteStoredRules(rules, count + 1))
        return kRuleNotStored;
    FillTable();
    return kRuleAdded;
}

bool RuleStoreRemove(const SplashRule *rule)
{
    SplashRule rules[kMaxSplashRules];
    unsigned count = ReadStoredRules(rules), kept = 0;
    for (unsigned i = 0; i < count; ++i)
        if (!SameRule(&rules[i], rule))
            rules[kept++] = rules[i];
    if (kept == count || !WriteStoredRules(rules, kept))
        return false;
    FillTable();
    return true;
}

bool RuleStoreHolds(const SplashRule *rule)
{
    SplashRule rules[kMaxSplashRules];
    return Holds(rules, ReadStoredRules(rules), rule);
}
