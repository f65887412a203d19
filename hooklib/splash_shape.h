// The splash-screen heuristic as a function of facts about one window.
// Needs no window manager: the facts that cost more than a style read are
// asked for through a FactSource, only once the cheaper tests have passed.
#pragma once

#include <stdint.h>

#include "text_limits.h"

enum {
    kCentringTolerance = 3, // pixels either way, inclusive
    kOffscreenMargin = 25,  // pixels
};

const uint32_t kStyleCaption = 0x00C00000; // either bit means a title bar
const uint32_t kStylePopup = 0x80000000;
const uint32_t kStyleDisabled = 0x08000000;
const uint32_t kStyleChild = 0x40000000;
const uint32_t kStyleThickFrame = 0x00040000; // a sizing border
const uint32_t kStyleMinimizeBox = 0x00020000;
const uint32_t kExStyleToolWindow = 0x00000080;

// Screen pixels, as the window manager reports them.
struct Rect32 {
    int32_t left, top, right, bottom;
};

// Everything learnt about one window, gathered afresh for each examination.
struct WindowFacts {
    uint32_t style;
    uint32_t exStyle; // read only for a window that needs it, else 0
    Rect32 windowRect;
    Rect32 screenRect;    // the primary screen
    Rect32 referenceRect; // what the window was last measured against: the
                          // screen, its work area, or the window's own monitor
    bool centredH, centredV;
    bool fullScreen;
    char className[kWindowTextSize];
    bool isDialogClass, isKnownSplashClass;
    unsigned childCount, staticCount, disabledButtonCount, splashImageCount, mayaFrameCount;
    char modulePath[kPathSize];
    char exePath[kPathSize];
};

struct MonitorLayout;

// Supplies the costlier facts on demand.
struct FactSource {
    void *context;
    // The work area; false when it cannot be had, and the screen stays the reference.
    bool (*readWorkArea)(void *context, Rect32 *workArea);
    // Fills facts->className.
    void (*readClassName)(void *context, WindowFacts *facts);
    // Calls NoteChildClass and then NoteChildText for each direct child, in Z order.
    void (*walkChildren)(void *context, WindowFacts *facts);
    // The extended style.
    uint32_t (*readExStyle)(void *context);
    // Every monitor, the primary first; false when they cannot be had.
    bool (*readMonitors)(void *context, MonitorLayout *layout);
    // Whether another window owns this one.
    bool (*readOwned)(void *context);
};

// Starts a set of facts from the cheap ones: style, window and screen rectangles.
void InitWindowFacts(WindowFacts *facts, uint32_t style, const Rect32 *windowRect,
                     const Rect32 *screenRect);

// True when the window has the shape of a splash screen. Fills in the facts it
// needed on the way; those it could do without are left at their start values.
bool HasSplashShape(WindowFacts *facts, const FactSource *source);

// Measures the window afresh against every screen the heuristic consults:
// the primary screen, its work area, and the monitor holding the window.
// True when it is centred both ways on one of them without covering it.
bool CentredOnAScreen(WindowFacts *facts, const FactSource *source);

// A shown window that was not taken, yet sits in the middle of a screen like
// one: worth offering the user as a splash screen that stayed. Not a child,
// a system popup, or a dialog with a title bar. Reads the class name if needed.
bool MayBeLeftOnScreen(WindowFacts *facts, const FactSource *source);

// Menus, drop-down lists and tooltips.
bool IsSystemPopupClass(const char *className);

// Cuts a work area to its screen; false when nothing of it is left.
bool ClipToScreen(Rect32 *area, const Rect32 *screen);

// Counts one direct child by its class name and style.
void NoteChildClass(WindowFacts *facts, const char *className, uint32_t style);

// Counts one direct child's window text.
void NoteChildText(WindowFacts *facts, const char *text);

// True when a path of at most limit bytes ends in ".exe", in any letter case.
bool IsExePath(const char *path, unsigned limit);

// Where a splash window goes: above and left of the virtual screen (every
// monitor), clear of it by its own size plus twice the margin, its size kept.
// With one monitor at the origin, above and left of that.
struct Placement {
    int32_t x, y, width, height;
};
Placement OffscreenPlacement(const Rect32 *windowRect, const Rect32 *virtualScreen);
