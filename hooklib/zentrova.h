// What Zentrova.dll offers its runner: the hook over the whole desktop.
#pragma once

#include <windows.h>

// Set by the runner on a window the user brought back: the library leaves
// such a window where it is for the rest of its life.
#define ZENTROVA_KEEP_PROPERTY "ZentrovaKeep"

extern "C" {

// Installs the hook (removing any hook recorded earlier, by this runner or
// another) and records hwndNotify and the two message numbers for every
// process. uMsgKilled is sent to hwndNotify after each splash window moved;
// 0 sends nothing. FALSE when no hook could be installed.
BOOL WINAPI ZentrovaSetHooks(HWND hwndNotify, UINT uMsgKilled, UINT uMsgAux);

// Removes the recorded hook and clears the shared record.
void WINAPI ZentrovaRemoveHooks(void);
}
