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

// Reads value i of the key: its name, and its data into path as an entry is
// read. False at the end of the values; *readable false for a value that is no
// readable entry below count (a name too long to be an entry's is one).
static bool EnumEntry(HKEY key, DWORD i, uint32_t count, char *path, uint32_t *index,
                      bool *readable)
{
    char name[kValueNameSize];
    DWORD nameSize = sizeof name;
    DWORD size = path != NULL ? kPathSize : 0;
    LONG rc = RegEnumValueA(key, i, name, &nameSize, NULL, NULL, (BYTE *)path,
                            path != NULL ? &size : NULL);
    *readable = rc == ERROR_SUCCESS && ParseIgnoreeName(name, index) && *index < count &&
                (path == NULL || TerminateRegistryText(path, size, kPathSize));
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

// Hands each entry to visit in the order the key holds them, in one pass over
// its values: for matching, which no order changes.
static void VisitStoredEntries(HKEY key, uint32_t count, IgnoreEntryVisitor visit, void *context)
{
    char path[kPathSize];
    uint32_t index;
    bool readable;
    for (DWORD i = 0; EnumEntry(key, i, count, path, &index, &readable); ++i) {
        if (readable && !visit(path, context))
            return;
    }
}

// Present entry indices sorted a batch at a time; the stack holds no more.
enum { kIndexBatch = 1024 };

// Fills indices with the smallest present entry indices at or above from, in
// ascending order, at most kIndexBatch of them: one pass over the key's values.
static unsigned FindPresentIndices(HKEY key, uint32_t from, uint32_t count, uint32_t *indices)
{
    unsigned n = 0;
    uint32_t index;
    bool present;
    for (DWORD i = 0; EnumEntry(key, i, count, NULL, &index, &present); ++i) {
        if (!present || index < from || (n == kIndexBatch && index > indices[n - 1]))
            continue;
        // Insertion keeps the batch sorted; when it is full, its largest drops out.
        unsigned at = n < kIndexBatch ? n++ : n - 1;
        for (; at > 0 && indices[at - 1] > index; --at)
            indices[at] = indices[at - 1];
        indices[at] = index;
    }
    return n;
}

// Most lists are dense: the writer stores every index below the count, so the
// key holds more values than the count and each index is simply tried. A count
// beyond the number of values the key holds cannot be dense, and trying every
// index below a damaged count of billions would stall every application that
// shows a window: then the key's values are gone through instead, once for
// matching, and once per batch of indices where index order is wanted.
static void VisitEntries(HKEY key, uint32_t count, bool inOrder, IgnoreEntryVisitor visit,
                         void *context)
{
    DWORD valueCount = 0;
    bool dense = RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &valueCount, NULL,
                                  NULL, NULL, NULL) == ERROR_SUCCESS &&
                 count <= valueCount;
    char path[kPathSize];
    if (dense) {
        for (uint32_t index = 0; index < count; ++index) {
            if (ReadEntry(key, index, path) && !visit(path, context))
                return;
        }
        return;
    }
    if (!inOrder) {
        VisitStoredEntries(key, count, visit, context);
        return;
    }
    uint32_t indices[kIndexBatch];
    for (uint32_t from = 0;;) {
        unsigned n = FindPresentIndices(key, from, count, indices);
        for (unsigned k = 0; k < n; ++k) {
            if (ReadEntry(key, indices[k], path) && !visit(path, context))
                return;
        }
        // Every index found is below the count, so the next cannot wrap.
        if (n < kIndexBatch)
            return;
        from = indices[n - 1] + 1;
    }
}

// Opens the list's key and reads its count; false, with nothing left open,
// when there is no key or no count.
static bool OpenList(HKEY *key, DWORD *count)
{
    if (RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, key) != ERROR_SUCCESS)
        return false;
    // A count shorter than four bytes fills only the low-order ones.
    *count = 0;
    DWORD size = sizeof *count;
    if (RegQueryValueExA(*key, "num", NULL, NULL, (BYTE *)count, &size) == ERROR_SUCCESS)
        return true;
    RegCloseKey(*key);
    return false;
}

static void ReadList(bool inOrder, IgnoreEntryVisitor visit, void *context)
{
    HKEY key;
    DWORD count;
    if (!OpenList(&key, &count))
        return;
    VisitEntries(key, count, inOrder, visit, context);
    RegCloseKey(key);
}

bool IgnoreListIsEmpty()
{
    HKEY key;
    DWORD count;
    if (!OpenList(&key, &count))
        return true;
    RegCloseKey(key);
    return count == 0;
}

void ReadIgnoreList(IgnoreEntryVisitor visit, void *context)
{
    ReadList(true, visit, context);
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
    ReadList(false, MatchEntry, &query);
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
