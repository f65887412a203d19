// The runner: installs the hook over the whole desktop from a hidden window,
// and keeps it until that window is torn down.
#include <windows.h>

#include <commctrl.h>

#include "ascii.h"
#include "companion.h"
#include "config_dialog.h"
#include "left_on_screen.h"
#include "quit.h"
#include "resource.h"
#include "rule_store.h"
#include "runner.h"
#include "tray.h"
#include "zentrova.h"

HINSTANCE g_hInstance;
int g_showTrayIcon = 1;
HWND g_hwndMain;
UINT_PTR g_flashTimer;

// Whether this runner's hook is in place: not before start-up, nor while paused.
static bool g_hooksInstalled;

// Broadcast by the shell when it (re)starts; 0 when it could not be registered.
static UINT g_msgTaskbarCreated;

bool InstallHooks(HWND hwnd)
{
    if (!ZentrovaSetHooks(hwnd, WM_SPLASHKILLED, WM_HOOKAUX))
        return false;
    g_hooksInstalled = true;
    CompanionStart(hwnd);
    return true;
}

void RemoveHooks()
{
    CompanionStop();
    // Removing twice would take away a hook that another runner installed since.
    if (!g_hooksInstalled)
        return;
    ZentrovaRemoveHooks();
    g_hooksInstalled = false;
}

static LRESULT OnCreate(HWND hwnd)
{
    RuleStoreStart(hwnd);
    if (!InstallHooks(hwnd)) {
        RuleStoreStop();
        return -1;
    }
    g_hwndMain = hwnd;
    TrayAdd(IDI_TRAY_NORMAL);
    g_flashTimer = 0;
    return 0;
}

static void OnDestroy(HWND hwnd)
{
    TrayRemove();
    if (g_flashTimer != 0) {
        KillTimer(hwnd, g_flashTimer);
        g_flashTimer = 0;
    }
    RemoveHooks();
    RuleStoreStop();
    PostQuitMessage(0);
}

static LRESULT CALLBACK RunnerWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(hwnd);
    case WM_DESTROY:
        OnDestroy(hwnd);
        return 0;
    case WM_TIMER:
        OnFlashTimer(hwnd, wParam);
        return 0;
    case WM_TRAYNOTIFY:
        OnTrayNotify(hwnd, (UINT)wParam, (UINT)lParam);
        return 0;
    case WM_SPLASHKILLED:
        OnSplashKilled();
        return 0;
    case WM_HOOKAUX:
        OnWindowLeftOnScreen((HWND)wParam);
        return 0;
    }
    if (message == g_msgTaskbarCreated && message != 0) {
        TrayRestore();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    g_hInstance = hInstance;
    // Loads the themed controls that the manifest asks for.
    InitCommonControls();
    if (AsciiStartsWithNoCase(lpCmdLine, "-noicon")) {
        g_showTrayIcon = 0;
        // The same switch stops a silent runner that is already running.
        HWND running = FindRunningRunner();
        if (running != NULL) {
            PostMessageA(running, WM_CLOSE, 0, 0);
            return 0;
        }
    } else if (AsciiStartsWithNoCase(lpCmdLine, "-config")) {
        ShowConfigDialog();
        return 0;
    } else if (AsciiStartsWithNoCase(lpCmdLine, "-quit")) {
        QuitRunningRunners();
        return 0;
    }

    g_msgTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RunnerWndProc;
    wc.hInstance = g_hInstance;
    wc.hIcon = LoadIconA(NULL, IDI_WINLOGO);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = RUNNER_CLASS;
    if (!RegisterClassA(&wc))
        return 0;
    HWND hwnd = CreateWindowExA(0, RUNNER_CLASS, RUNNER_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 600, 300, NULL, NULL, g_hInstance, NULL);
    if (hwnd == NULL)
        return 0;
    ShowWindow(hwnd, SW_HIDE);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) { // -1 is an error, not a message
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
