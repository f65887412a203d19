// The primary screen's rectangle, kept in the process: under Wine each read of
// it is a wineserver round trip, as costly as the whole hook.
#pragma once

#include <windows.h>

#include "splash_shape.h"

// The screen's rectangle, read afresh only when it may have changed since it
// was kept; false when it cannot be read.
bool GetScreenRect(Rect32 *screen);

// Forgets the kept rectangle when a message the hook sees says the screen may
// have changed, or that this process may not hear of the next change.
void NoteScreenMessage(UINT message, HWND hwnd);
