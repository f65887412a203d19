// What the runner's modules share: its globals and its window messages.
#pragma once

#include <windows.h>

// Posted by the hook library with a window it left in the middle of a screen.
#define WM_HOOKAUX (WM_USER + 1)
// The tray icon's mouse events.
#define WM_TRAYNOTIFY (WM_USER + 2)
// Sent by the hook library after each splash window it moved.
#define WM_SPLASHKILLED (WM_USER + 3)

#define RUNNER_CLASS "ZentrovaRunnerClass"
#define RUNNER_TITLE "ZentrovaRunner"

// The runner's module.
extern HINSTANCE g_hInstance;
// 0 when started with -noicon: no tray icon, and tray events are ignored.
extern int g_showTrayIcon;
// The hidden main window, once the hook is installed.
extern HWND g_hwndMain;
// The armed flash timer, 0 when none.
extern UINT_PTR g_flashTimer;

// Installs the hook over the whole desktop for hwnd, and on 64-bit Windows
// starts the companion that hooks 64-bit programs; false when refused.
bool InstallHooks(HWND hwnd);
// Stops the companion, and removes the hook this runner installed, if it is in place.
void RemoveHooks();
