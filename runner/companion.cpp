#include "companion.h"

#include "companion_rules.h"
#include "runner.h"

// The runner's window that a companion was started for; null when none.
static HWND g_companionRunner;
// True when this is 64-bit Windows and the companion is missing or refused.
static bool g_companionFailed;

typedef BOOL(WINAPI *IsWow64ProcessProc)(HANDLE, PBOOL);

// True when this 32-bit program runs on 64-bit Windows. Looked up at run
// time: early 32-bit Windows lacks the function, and the runner must start there.
static bool On64BitWindows()
{
    IsWow64ProcessProc isWow64 = (IsWow64ProcessProc)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 != NULL && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// The companion's path beside the runner, when the file is there.
static bool FindCompanion(char *path, DWORD size)
{
    char runner[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, runner, sizeof runner);
    if (n == 0 || n >= sizeof runner || !CompanionPathBeside(runner, path, size))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CompanionStart(HWND runnerWindow)
{
    char path[MAX_PATH];
    bool present = FindCompanion(path, sizeof path);
    switch (PlanCompanion(On64BitWindows(), present)) {
    case kCompanionNotNeeded:
        return;
    case kCompanionMissing:
        g_companionFailed = true;
        return;
    case kCompanionStart:
        break;
    }
    g_companionFailed = !LaunchCompanion(path, runnerWindow);
    if (!g_companionFailed)
        g_companionRunner = runnerWindow;
}

void CompanionStop()
{
    if (g_companionRunner == NULL)
        return;
    CloseCompanions(g_companionRunner);
    g_companionRunner = NULL;
}

const char *CompanionNote()
{
    return g_companionFailed ? "Only 32-bit programs are covered: Zentrova64.exe is missing\n"
                               "or could not be started.\n"
                             : "";
}

bool LaunchCompanion(const char *path, HWND runnerWindow)
{
    CompanionArguments arguments = {(uint32_t)(ULONG_PTR)runnerWindow, WM_SPLASHKILLED,
                                    WM_HOOKAUX};
    char line[MAX_PATH + 48];
    if (!FormatCompanionCommandLine(path, arguments, line, sizeof line))
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void CloseCompanions(HWND runnerWindow)
{
    char title[16];
    FormatCompanionTitle((uint32_t)(ULONG_PTR)runnerWindow, title);
    HWND companion = NULL;
    while ((companion = FindWindowExA(NULL, companion, COMPANION_CLASS, title)) != NULL)
        PostMessageA(companion, WM_CLOSE, 0, 0);
}
