#include "rule_table.h"

#include <windows.h>

#include "copy_words.h"

// This process's view of the table, or null while there is none.
static const volatile SplashRuleTable *g_table;
static HANDLE g_tableMapping;
// The hook under which the table was last looked for.
static uint32_t g_triedForHook;
static bool g_tried;

void OpenRuleTable(uint32_t installedHook)
{
    if (g_table != NULL || (g_tried && g_triedForHook == installedHook))
        return;
    g_tried = true;
    g_triedForHook = installedHook;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ZENTROVA_RULES_MAPPING_NAME);
    if (mapping == NULL)
        return;
    void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(SplashRuleTable));
    // Another thread of the process may have opened it just now.
    if (view == NULL ||
        InterlockedCompareExchangePointer((PVOID volatile *)&g_table, view, NULL) != NULL) {
        if (view != NULL)
            UnmapViewOfFile(view);
        CloseHandle(mapping);
        return;
    }
    g_tableMapping = mapping;
}

void CloseRuleTable()
{
    if (g_table != NULL)
        UnmapViewOfFile((LPCVOID)g_table);
    if (g_tableMapping != NULL)
        CloseHandle(g_tableMapping);
    g_table = NULL;
    g_tableMapping = NULL;
}

bool RulesPresent()
{
    return g_table != NULL && g_table->count != 0;
}

unsigned RulesOfSize(int32_t width, int32_t height, SplashRule *out, unsigned max)
{
    if (g_table == NULL)
        return 0;
    uint32_t generation = g_table->generation;
    MemoryBarrier();
    if ((generation & 1) != 0)
        return 0;
    uint32_t count = g_table->count;
    unsigned found = 0;
    for (uint32_t i = 0; i < count && i < kMaxSplashRules && found < max; ++i) {
        const volatile SplashRule &rule = g_table->rules[i];
        if (rule.width != width || rule.height != height)
            continue;
        CopyWords(&out[found], &rule, sizeof rule);
        // A torn copy is thrown away below; its texts are ended here either way.
        out[found].className[kRuleClassSize - 1] = 0;
        out[found].path[kPathSize - 1] = 0;
        ++found;
    }
    MemoryBarrier();
    return g_table->generation == generation ? found : 0;
}
