// The windows the library moved out of sight, listed in the tray menu so that
// the user can bring one back, and keep its program's windows for good.
#pragma once

#include <windows.h>

// Notes the windows that have just been moved, once the kill notification,
// which comes right after the move, has been answered.
void NoteMovedWindows();

// Appends the "Moved windows" submenu: the moved windows that still exist,
// newest first.
void AppendMovedWindowsMenu(HMENU menu);

// Acts on a command of that submenu; ignores any other.
void OnMovedWindowsCommand(UINT command);

// Whether the window sits where the library puts a splash screen.
bool IsMovedWindow(HWND hwnd);
