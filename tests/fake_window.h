// A window as the heuristic's fact source sees it, for the host tests of the
// splash decision: every fact set directly, every costly read counted.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "monitor_layout.h"
#include "splash_shape.h"

const uint32_t kPopup = kStylePopup;
const uint32_t kBorder = 0x00800000;   // one caption bit
const uint32_t kDlgFrame = 0x00400000; // the other
const uint32_t kSizingBorder = 0x00040000;

// A 1024 x 768 screen with a 30-pixel taskbar at the bottom.
const Rect32 kScreen = {0, 0, 1024, 768};
const Rect32 kWorkArea = {0, 0, 1024, 738};

inline Rect32 CentredAt(int cx, int cy, int width, int height)
{
    Rect32 r = {cx - width / 2, cy - height / 2, cx - width / 2 + width,
                cy - height / 2 + height};
    return r;
}

struct Child {
    std::string className;
    uint32_t style;
    std::string text;
};

struct FakeWindow {
    Rect32 screen = kScreen;
    bool hasWorkArea = true;
    Rect32 workArea = kWorkArea;
    std::string className = "SplashWnd";
    std::vector<Child> children;
    uint32_t exStyle = 0;
    std::vector<MonitorRects> monitors = {{kScreen, kWorkArea}};
    bool owned = false;
    int workAreaReads = 0, classNameReads = 0, childWalks = 0, exStyleReads = 0,
        monitorReads = 0, ownerReads = 0;
};

inline bool FakeReadWorkArea(void *context, Rect32 *workArea)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->workAreaReads++;
    *workArea = w->workArea;
    return w->hasWorkArea;
}

inline void FakeReadClassName(void *context, WindowFacts *facts)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->classNameReads++;
    snprintf(facts->className, sizeof facts->className, "%s", w->className.c_str());
}

inline void FakeWalkChildren(void *context, WindowFacts *facts)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->childWalks++;
    for (const Child &c : w->children) {
        NoteChildClass(facts, c.className.c_str(), c.style);
        NoteChildText(facts, c.text.c_str());
    }
}

inline uint32_t FakeReadExStyle(void *context)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->exStyleReads++;
    return w->exStyle;
}

inline bool FakeReadMonitors(void *context, MonitorLayout *layout)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->monitorReads++;
    layout->count = 0;
    for (const MonitorRects &m : w->monitors)
        layout->monitors[layout->count++] = m;
    return layout->count > 0;
}

inline bool FakeReadOwned(void *context)
{
    FakeWindow *w = static_cast<FakeWindow *>(context);
    w->ownerReads++;
    return w->owned;
}

inline bool Classify(FakeWindow *window, uint32_t style, const Rect32 &rect, WindowFacts *facts)
{
    InitWindowFacts(facts, style, &rect, &window->screen);
    FactSource source = {window,          FakeReadWorkArea, FakeReadClassName, FakeWalkChildren,
                         FakeReadExStyle, FakeReadMonitors, FakeReadOwned};
    return HasSplashShape(facts, &source);
}

inline bool Classify(FakeWindow *window, uint32_t style, const Rect32 &rect)
{
    WindowFacts facts;
    return Classify(window, style, rect, &facts);
}

const Child kStatic = {"Static", 0, ""};
const Child kEnabledButton = {"Button", 0, "OK"};
const Child kDisabledButton = {"BUTTON", kStyleDisabled, "Cancel"};
const Child kSplashImage = {"CJSplashImage", 0, ""};
const Child kMayaFrame = {"Frame", 0, "MayaStartupWndFrame 2"};
