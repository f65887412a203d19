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
    uint32_t uMsgAux;    // kept while installed; nothing is sent with it
    uint32_t uMsgKilled; // sent to hwndNotify after each kill; 0 sends nothing
};
static_assert(sizeof(ShellHookMappedData) == 16, "the shared record is 16 bytes");

// A runner that does not answer within this time is not waited for.
const UINT kNotifyTimeoutMs = 1000;

// Examines windows being moved or shown, then passes the message on.
LRESULT CALLBACK CallWndHookProc(int code, WPARAM wParam, LPARAM lParam);

// The hook this copy of the library runs under, as the shared record holds
// it; 0 when there is none.
uint32_t InstalledHookWord();

// Tells the runner that a splash window has just been moved.
void NotifyRunner();
