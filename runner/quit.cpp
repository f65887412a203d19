#include "quit.h"

#include "ascii.h"
#include "companion_rules.h"
#include "runner.h"
#include "text_limits.h"

HWND FindRunningRunner()
{
    char title[kWindowTextSize];
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd != NULL;
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (GetWindowTextA(hwnd, title, kWindowTextSize) <= 0)
            continue;
        title[kWindowTextSize - 1] = 0;
        if (AsciiEqualNoCase(title, RUNNER_TITLE))
            return hwnd;
    }
    return NULL;
}

// How long -quit waits for the runners it stops, and their companions, to end.
static const DWORD kQuitWaitMs = 10000;

// Asks the runner owning hwnd to stop, and waits until it and the companions
// serving it have ended, or until timeoutMs have passed: whoever runs -quit
// (an uninstaller, above all) may then take their files away.
static void StopRunnerAndWait(HWND hwnd, DWORD timeoutMs)
{
    HANDLE ended[4];
    DWORD count = 0, processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if ((ended[count] = OpenProcess(SYNCHRONIZE, FALSE, processId)) != NULL)
        ++count;
    // Found now: the runner takes its companions' windows away as it ends.
    char title[16];
    FormatCompanionTitle((uint32_t)(ULONG_PTR)hwnd, title);
    HWND companion = NULL;
    while (count < 4 &&
           (companion = FindWindowExA(NULL, companion, COMPANION_CLASS, title)) != NULL) {
        GetWindowThreadProcessId(companion, &processId);
        if ((ended[count] = OpenProcess(SYNCHRONIZE, FALSE, processId)) != NULL)
            ++count;
    }
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (count == 0)
        Sleep(50); // nothing to wait on: do not spin on a window that stays
    else
        WaitForMultipleObjects(count, ended, TRUE, timeoutMs);
    while (count > 0)
        CloseHandle(ended[--count]);
}

void QuitRunningRunners()
{
    DWORD start = GetTickCount(), elapsed = 0;
    HWND running;
    while ((running = FindRunningRunner()) != NULL && elapsed < kQuitWaitMs) {
        StopRunnerAndWait(running, kQuitWaitMs - elapsed);
        elapsed = GetTickCount() - start;
    }
}
