// The hook library's frame around the classifier: the record every copy of
// the library shares, the hook procedure, and the kill notification.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "library_names.h"
#include "zentrova.h"

// Shared by every process through the named mapping: four 32-bit words at
// fixed offsets, the same for 32-bit and 64-bit copies of the library.
// Written only by the runner's thread, read by hooked threads without a lock.
struct ShellHookMappedData {
    uint32_t hwndNotify; // the runner's window; 0 when none
    uint32_t hHook;      // the installed global hook; 0 when none
    uint32_t uMsgAux;    // posted to hwndNotify with a window left in the middle of a screen
    uint32_t uMsgKilled; // sent to hwndNotify after each kill; 0 sends nothing
};
static_assert(sizeof(ShellHookMappedData) == 16, "the shared record is 16 bytes");

// A runner that does not answer within this time is not waited for.
const UINT kNotifyTimeoutMs = 1000;

// The hook each bitness installs. Under Wine a process ends a hook chain at
// the first hook whose library it cannot load, so a 32-bit and a 64-bit hook
// on one chain would cut each other off, whichever came first: the two
// bitnesses hook two chains. 32-bit copies see a message just before the
// window procedure, 64-bit copies just after; for a window being shown, both
// are before it appears. On Windows neither chain is cut.
#ifdef _WIN64
const int kHookType = WH_CALLWNDPROCRET;
#else
const int kHookType = WH_CALLWNDPROC;
#endif

// Examine windows being moved or shown, then pass the message on: before
// the window procedure sees it (WH_CALLWNDPROC), or after (WH_CALLWNDPROCRET).
LRESULT CALLBACK CallWndHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam);

// The hook this copy of the library runs under, as the shared record holds
// it; 0 when there is none.
uint32_t InstalledHookWord();

// Tells the runner that a splash window has just been moved.
void NotifyRunner();

// Tells the runner, once per window, that a window shown in the middle of a
// screen was left there: the runner offers it to the user as a splash screen
// that stayed. The record's auxiliary message carries it, the window in wParam.
void NotifyRunnerLeftOnScreen(HWND hwnd);
