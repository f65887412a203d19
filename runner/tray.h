// The runner's face: one notification-area icon that flashes red after each
// kill, with its menu and About box. Does nothing without an icon (-noicon).
#pragma once

#include <windows.h>

void TrayAdd(UINT iconId);
void TraySetIcon(UINT iconId);
void TrayRemove();

// Ends a flash and shows the icon and tooltip of the runner's state, normal
// or paused.
void TrayShowResting();

// Adds the icon again in its current state, after the shell restarted.
void TrayRestore();

void OnSplashKilled();
void OnFlashTimer(HWND hwnd, UINT_PTR timerId);
void OnTrayNotify(HWND hwnd, UINT iconId, UINT mouseMessage);

// The tray menu, built afresh for each right click; the caller destroys it.
HMENU BuildTrayMenu();

void ShowAbout();
