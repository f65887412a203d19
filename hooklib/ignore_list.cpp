#include "ignore_list.h"

#include <windows.h>

#include "ascii.h"
#include "registry_text.h"
#include "text_limits.h"

// Room for "ignoree" and any 32-bit index printed with "%d".
enum { kValueNameSize = 32 };

static void FormatEntryName(char *name, uint32_t index)
{
    wsprintfA(name, "ignoree%d", (int)index);
}

// Reads entry index into path; false when it is absent, too long or unreadable.
static bool ReadEntry(HKEY key, uint32_t index, char *path)
{
    char name[kValueNameSize];
    FormatEntryName(name, index);
    DWORD size = kPathSize;
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)path, &size) != ERROR_SUCCESS)
        return false;
    return TerminateRegistryText(path, size, kPathSize);
}

// Finds the smallest index at or above from, and below limit, whose entry
// value exists in the key; one pass over the key's values.
static bool NextPresentIndex(HKEY key, uint32_t from, uint32_t limit, uint32_t *found)
{
    bool any = false;
    for (DWORD i = 0;; ++i) {
        char name[kValueNameSize];
        DWORD nameSize = sizeof name;
        LONG rc = RegEnumValueA(key, i, name, &nameSize, NULL, NULL, NULL, NULL);
        if (rc == ERROR_MORE_DATA)
            continue; // a name too long to be an entry's
        if (rc != ERROR_SUCCESS)
            break;
        uint32_t index;
        if (ParseIgnoreeName(name, &index) && index >= from && index < limit &&
            (!any || index < *found)) {
            *found = index;
            any = true;
        }
    }
    return any;
}

// Most lists are dense: the writer stores every index below the count, so the
// key holds more values than the count and each index is simply tried. A count
// beyond the number of values the key holds cannot be dense, and trying every
// index below a damaged count of billions would stall every application that
// shows a window; then only the indices actually present are visited.
static bool NextIndex(HKEY key, bool dense, uint32_t from, uint32_t count, uint32_t *index)
{
    if (!dense)
        return NextPresentIndex(key, from, count, index);
    *index = from;
    return from < count;
}

static void VisitEntries(HKEY key, uint32_t count, IgnoreEntryVisitor visit, void *context)
{
    DWORD valueCount = 0;
    bool dense = RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &valueCount, NULL,
                                  NULL, NULL, NULL) == ERROR_SUCCESS &&
                 count <= valueCount;
    char path[kPathSize];
    uint32_t index = 0;
    // index < count, so index + 1 cannot wrap.
    for (uint32_t from = 0; NextIndex(key, dense, from, count, &index); from = index + 1) {
        if (ReadEntry(key, index, path) && !visit(path, context))
            return;
    }
}

void ReadIgnoreList(IgnoreEntryVisitor visit, void *context)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    // A count shorter than four bytes fills only the low-order ones.
    DWORD count = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &size) == ERROR_SUCCESS)
        VisitEntries(key, count, visit, context);
    RegCloseKey(key);
}

struct MatchQuery {
    const char *modulePath;
    const char *exePath;
    bool matched;
};

static bool MatchEntry(const char *path, void *context)
{
    MatchQuery *query = (MatchQuery *)context;
    if ((query->modulePath[0] != 0 && AsciiEqualNoCase(query->modulePath, path)) ||
        (query->exePath[0] != 0 && AsciiEqualNoCase(query->exePath, path))) {
        query->matched = true;
        return false;
    }
    return true;
}

bool IsIgnored(const char *modulePath, const char *exePath)
{
    MatchQuery query = {modulePath, exePath, false};
    ReadIgnoreList(MatchEntry, &query);
    return query.matched;
}

bool WriteIgnoreList(unsigned count, IgnoreEntryGetter get, void *context)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    // The count goes first; failed writes are passed over.
    DWORD num = count;
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&num, sizeof num);
    for (unsigned i = 0; i < count; ++i) {
        char path[kPathSize];
        char name[kValueNameSize];
        path[0] = 0;
        get(i, path, kPathSize, context);
        path[kPathSize - 1] = 0;
        FormatEntryName(name, i);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)path,
                       TextLengthWithin(path, kPathSize) + 1);
    }
    RegCloseKey(key);
    return true;
}
