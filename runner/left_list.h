// The windows that were shown in the middle of a screen and left there, as the
// tray menu's "Left on screen" lists them: what was learnt of each when it was
// reported, kept after the window has gone (splash screens go in seconds).
// No window manager here: windows are plain numbers.
#pragma once

#include <stdint.h>

#include "moved_list.h"
#include "splash_rules.h"

enum { kLeftShown = 10 }; // entries kept, and listed

struct LeftEntry {
    uint64_t window;
    int32_t width, height;
    char className[kRuleClassSize];
    char path[kPathSize];                // the program's executable; empty when unknown
    char text[kMovedTextChars + 2];      // one character more than is shown
};

// Oldest first.
struct LeftList {
    LeftEntry entries[kLeftShown];
    unsigned count;
};

// Notes an entry as the newest, unless its window is listed already; the
// oldest goes when the list is full.
void LeftListAdd(LeftList *list, const LeftEntry *entry);

// The entry at position index, counted from the newest; null past the end.
const LeftEntry *LeftListNewest(const LeftList *list, unsigned index);

// Takes out the entry at position index from the newest.
void LeftListRemove(LeftList *list, unsigned index);

// The rule an entry makes: its program, class and size.
void RuleFromEntry(const LeftEntry *entry, SplashRule *rule);
