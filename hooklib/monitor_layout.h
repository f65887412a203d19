// The desktop's monitors as the window manager reports them, and what is
// decided over them: which monitor holds a window, and the virtual screen
// that all of them make up. No window manager needed.
#pragma once

#include "splash_shape.h"

enum { kMaxMonitors = 16 }; // more are left out, the primary always kept

struct MonitorRects {
    Rect32 monitor; // the monitor's whole rectangle
    Rect32 work;    // the part its taskbars and docked bars leave free
};

// The primary monitor first, as the reader puts it.
struct MonitorLayout {
    MonitorRects monitors[kMaxMonitors];
    unsigned count;
};

// The monitor that holds rect, as the system decides it for a window: the one
// it overlaps most, or, when it overlaps none, the nearest. 0 when there are
// no monitors at all.
unsigned NearestMonitor(const MonitorLayout *layout, const Rect32 *rect);

// The smallest rectangle around every monitor; the primary screen when the
// layout is empty.
Rect32 VirtualScreen(const MonitorLayout *layout, const Rect32 *primaryScreen);
