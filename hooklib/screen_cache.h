// The primary screen's rectangle and the monitors, kept in the process: under
// Wine each read of them is a wineserver round trip or more, as costly as the
// whole hook.
#pragma once

#include <windows.h>

#include "monitor_layout.h"

// The screen's rectangle, read afresh only when it may have changed since it
// was kept; false when it cannot be read. Also the work area, as read to
// tell whether it changed: empty when there is none.
bool GetScreenRect(Rect32 *screen, Rect32 *workArea);

// Every monitor, read afresh by the same rule; false when there are none.
bool GetMonitorLayout(MonitorLayout *layout);

// Forgets what is kept when a message the hook sees says the screen may
// have changed, or that this process may not hear of the next change.
void NoteScreenMessage(UINT message, HWND hwnd);
