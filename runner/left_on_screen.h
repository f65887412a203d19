// The tray menu's "Left on screen": windows that were shown in the middle of
// a screen and that the library left there, as it reported them, so that the
// user can have such a window treated as a splash screen from then on.
#pragma once

#include <windows.h>

// Handles the library's report of one such window, posted as it was shown:
// what the menu will say of it is read now, while the window exists.
void OnWindowLeftOnScreen(HWND hwnd);

// Appends the "Left on screen" submenu: newest first, at most ten.
void AppendLeftOnScreenMenu(HMENU menu);

// Acts on a command of that submenu; false for any other command.
bool OnLeftOnScreenCommand(UINT command);
