// The windows the library moved out of sight, as the tray menu lists them:
// kept in the order they were noticed, shown newest first. No window manager
// here: windows are plain numbers, texts plain bytes.
#pragma once

#include <stdint.h>

#include "splash_shape.h"

enum {
    kMovedCapacity = 32,     // windows remembered; the oldest goes first
    kMovedShown = 10,        // entries in the menu
    kMovedTextChars = 60,    // of a window's text, before "..."
    kMovedEntrySize = 2 * (kPathSize + kMovedTextChars + 8), // every byte escaped
};

// Oldest first.
struct MovedList {
    uint64_t windows[kMovedCapacity];
    unsigned count;
};

// True when the window was placed where the library puts a splash screen,
// measured from the virtual screen: no application puts a window there by itself.
bool IsOffscreenPlaced(const Rect32 *windowRect, const Rect32 *virtualScreen);

// Notes a window as the newest, unless it is noted already.
void MovedListAdd(MovedList *list, uint64_t window);

// Forgets the windows for which keep says false.
void MovedListKeep(MovedList *list, bool (*keep)(uint64_t window, void *context), void *context);

// Copies at most max windows, newest first; returns how many.
unsigned MovedListNewest(const MovedList *list, uint64_t *out, unsigned max);

// A menu entry for a moved window: "file.exe - Window text", the text cut
// after kMovedTextChars and left out when empty, control characters as
// blanks and '&' doubled so that it shows as itself. Always terminated.
void FormatMovedEntry(char *out, unsigned size, const char *exePath, const char *windowText);

// Where a window of this size sits in the middle of the work area; a window
// larger than the area keeps its top left corner inside it.
Placement CentredPlacement(const Rect32 *workArea, int32_t width, int32_t height);
