// The user's ignore-list key, saved before the run and put back after it, and
// the list the benchmark puts in its place.
#include "bench.h"

#include "ignore_list.h"

static char g_listLast[MAX_PATH]; // what the list holds at its last index

enum { kSavedValues = 512, kSavedNameSize = 256, kSavedDataSize = 1024 };

struct SavedValue {
    char name[kSavedNameSize];
    DWORD type;
    DWORD size;
    BYTE data[kSavedDataSize];
};

static SavedValue g_saved[kSavedValues];
static DWORD g_savedCount;
static bool g_keySaved;      // the key's state was recorded, so it must be put back
static bool g_keyExisted;
static bool g_vendorExisted; // Software\Orbelline
static bool g_productExisted; // Software\Orbelline\Zentrova

static const char kVendorKey[] = "Software\\Orbelline";
static const char kProductKey[] = "Software\\Orbelline\\Zentrova";

static bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Records the user's list so that it can be restored exactly; false when it
// holds something this program could not put back.
bool SaveIgnoreKey()
{
    g_vendorExisted = KeyExists(kVendorKey);
    g_productExisted = KeyExists(kProductKey);
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        g_keyExisted = false;
        g_keySaved = true;
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        fprintf(stderr, "bench: cannot open HKCU\\%s (error %ld)\n", IGNORE_LIST_KEY, rc);
        return false;
    }
    DWORD subkeys = 0;
    bool ok = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL,
                               NULL, NULL) == ERROR_SUCCESS &&
              subkeys == 0;
    g_savedCount = 0;
    for (DWORD i = 0; ok; ++i) {
        if (i == kSavedValues) {
            ok = false;
            break;
        }
        SavedValue *v = &g_saved[i];
        DWORD nameSize = sizeof v->name;
        v->size = sizeof v->data;
        rc = RegEnumValueA(key, i, v->name, &nameSize, NULL, &v->type, v->data, &v->size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            ok = false;
        else
            g_savedCount = i + 1;
    }
    RegCloseKey(key);
    if (!ok) {
        fprintf(stderr, "bench: HKCU\\%s holds more than this program can restore; "
                        "run it in a prefix of its own\n", IGNORE_LIST_KEY);
        return false;
    }
    g_keyExisted = true;
    g_keySaved = true;
    return true;
}

bool RestoreIgnoreKey()
{
    if (!g_keySaved)
        return true;
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    bool ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    if (g_keyExisted) {
        HKEY key;
        ok = RegCreateKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, NULL, &key, NULL) == ERROR_SUCCESS;
        for (DWORD i = 0; ok && i < g_savedCount; ++i) {
            const SavedValue *v = &g_saved[i];
            ok = RegSetValueExA(key, v->name, 0, v->type, v->data, v->size) == ERROR_SUCCESS;
        }
        if (ok)
            RegCloseKey(key);
    } else {
        // Only the keys this run created go; a key with subkeys is refused by the call.
        if (!g_productExisted)
            RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
        if (!g_vendorExisted)
            RegDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
    }
    if (!ok)
        fprintf(stderr, "bench: could not restore HKCU\\%s\n", IGNORE_LIST_KEY);
    else
        g_keySaved = false;
    return ok;
}

static void GetListEntry(unsigned index, char *buffer, unsigned size, void *)
{
    if (index == kListSize - 1)
        lstrcpynA(buffer, g_listLast, (int)size);
    else
        wsprintfA(buffer, "C:\\Program Files\\Bench Vendor %02u\\Application %02u.exe", index,
                  index);
}

// A fresh list of kListSize entries whose last one is last; the key is
// emptied first so that it holds exactly the count and the entries.
bool WriteBenchList(const char *last)
{
    lstrcpynA(g_listLast, last, sizeof g_listLast);
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        return false;
    return WriteIgnoreList(kListSize, GetListEntry, NULL);
}
