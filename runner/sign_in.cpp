#include "sign_in.h"

#include <windows.h>

#include "registry_text.h"
#include "run_value.h"
#include "text_limits.h"

// A value of the runner's path in quotes, or one of some other program.
enum { kRunValueSize = kPathSize + 64 };

// The runner's full path; false when it cannot be had whole.
static bool RunnerPath(char *path)
{
    DWORD n = GetModuleFileNameA(NULL, path, kPathSize);
    return n > 0 && n < kPathSize;
}

bool SignInIsOn()
{
    char path[kPathSize];
    if (!RunnerPath(path))
        return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char value[kRunValueSize];
    DWORD size = sizeof value;
    bool on = RegQueryValueExA(key, RUN_VALUE_NAME, NULL, NULL, (BYTE *)value, &size) ==
                  ERROR_SUCCESS &&
              TerminateRegistryText(value, size, sizeof value) && RunValueStarts(value, path);
    RegCloseKey(key);
    return on;
}

void ToggleSignIn()
{
    bool on = SignInIsOn();
    char path[kPathSize], value[kRunValueSize];
    if (!on && (!RunnerPath(path) || !FormatRunValue(value, sizeof value, path)))
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    if (on)
        RegDeleteValueA(key, RUN_VALUE_NAME);
    else
        RegSetValueExA(key, RUN_VALUE_NAME, 0, REG_SZ, (const BYTE *)value,
                       lstrlenA(value) + 1);
    RegCloseKey(key);
}
