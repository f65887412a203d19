#include "classifier.h"

#include <tlhelp32.h>

#include "ascii.h"
#include "hook.h"
#include "ignore_list.h"
#include "rule_table.h"
#include "screen_cache.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MODULEENTRY32) == 548, "the ANSI module record of 32-bit Windows");
#endif

static Rect32 ToRect32(const RECT &r)
{
    Rect32 out = {r.left, r.top, r.right, r.bottom};
    return out;
}

// Reads a window's class name or text, as read chooses; empty when the call fails.
static void ReadWindowString(int(WINAPI *read)(HWND, LPSTR, int), HWND hwnd, char *buffer)
{
    if (read(hwnd, buffer, kWindowTextSize) <= 0)
        buffer[0] = 0;
    buffer[kWindowTextSize - 1] = 0;
}

// The window examined, and the work area read with the screen.
struct Examined {
    HWND hwnd;
    Rect32 workArea;
};

static HWND WindowOf(void *context)
{
    return ((Examined *)context)->hwnd;
}

static bool ReadWorkArea(void *context, Rect32 *workArea)
{
    const Rect32 &area = ((Examined *)context)->workArea;
    if (area.right <= area.left || area.bottom <= area.top)
        return false;
    *workArea = area;
    return true;
}

static void ReadClassName(void *context, WindowFacts *facts)
{
    ReadWindowString(GetClassNameA, WindowOf(context), facts->className);
}

static void WalkChildren(void *context, WindowFacts *facts)
{
    char text[kWindowTextSize];
    for (HWND child = GetWindow(WindowOf(context), GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ReadWindowString(GetClassNameA, child, text);
        NoteChildClass(facts, text, (uint32_t)GetWindowLongA(child, GWL_STYLE));
        ReadWindowString(GetWindowTextA, child, text);
        NoteChildText(facts, text);
    }
}

static uint32_t ReadExStyle(void *context)
{
    return (uint32_t)GetWindowLongA(WindowOf(context), GWL_EXSTYLE);
}

static bool ReadMonitors(void *, MonitorLayout *layout)
{
    return GetMonitorLayout(layout);
}

static bool ReadOwned(void *context)
{
    return GetWindow(WindowOf(context), GW_OWNER) != NULL;
}

void FindWindowOwner(HWND hwnd, WindowFacts *facts)
{
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(hwnd, GWLP_HINSTANCE);
    DWORD n = GetModuleFileNameA(instance, facts->modulePath, kPathSize);
    // A truncated path names no file, and could equal some other entry.
    facts->modulePath[(n > 0 && n < kPathSize) ? n : 0] = 0;

    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    // The last executable in snapshot order wins.
    for (BOOL more = Module32First(snapshot, &module); more;
         more = Module32Next(snapshot, &module)) {
        if (module.th32ProcessID == processId && IsExePath(module.szExePath, kPathSize))
            lstrcpynA(facts->exePath, module.szExePath, kPathSize);
    }
    CloseHandle(snapshot);
}

bool IsOwnWindow(HWND hwnd)
{
    DWORD processId = 0;
    return GetWindowThreadProcessId(hwnd, &processId) != 0 && processId == GetCurrentProcessId();
}

// A rule the user made names the window: its size first, then its class,
// its place in the middle of a screen, and last its program.
static bool MatchesRule(HWND hwnd, WindowFacts *facts, const FactSource *source)
{
    enum { kCandidates = 2 };
    SplashRule candidates[kCandidates];
    const Rect32 &w = facts->windowRect;
    unsigned n = RulesOfSize(w.right - w.left, w.bottom - w.top, candidates, kCandidates);
    if (n == 0)
        return false;
    if (facts->className[0] == 0)
        source->readClassName(source->context, facts);
    bool sameClass = false;
    for (unsigned i = 0; i < n; ++i)
        sameClass = sameClass || AsciiEqualNoCase(candidates[i].className, facts->className);
    if (!sameClass || !CentredOnAScreen(facts, source))
        return false;
    FindWindowOwner(hwnd, facts);
    for (unsigned i = 0; i < n; ++i)
        if (RuleNamesWindow(&candidates[i], facts))
            return true;
    return false;
}

int TryKillSplash(HWND hwnd, bool beingShown)
{
    // On Windows a hook of the other bitness runs on the thread that
    // installed it, for the windows of every process of that bitness: those
    // are not this process's to judge, nor to ask about.
    if (!IsOwnWindow(hwnd))
        return 0;
    OpenRuleTable(InstalledHookWord());
    bool rules = RulesPresent();
    // A title bar rules a window out whatever its place, and most windows
    // have one: they are let go before the screen is asked for anything,
    // unless a rule may name them, or they are being shown and may be one
    // the user would want to name.
    uint32_t style = (uint32_t)GetWindowLongA(hwnd, GWL_STYLE);
    if ((style & kStyleCaption) != 0 && !rules && !beingShown)
        return 0;
    RECT windowRect;
    Rect32 screen;
    Examined examined;
    examined.hwnd = hwnd;
    if (!GetWindowRect(hwnd, &windowRect) || !GetScreenRect(&screen, &examined.workArea))
        return 0;
    WindowFacts facts;
    Rect32 window = ToRect32(windowRect);
    InitWindowFacts(&facts, style, &window, &screen);
    FactSource source = {&examined,   ReadWorkArea, ReadClassName, WalkChildren,
                         ReadExStyle, ReadMonitors, ReadOwned};
    bool captioned = (style & kStyleCaption) != 0;
    bool splash = (!captioned && HasSplashShape(&facts, &source)) ||
                  (rules && MatchesRule(hwnd, &facts, &source));
    // A window the user brought back is left alone, and not offered again.
    if (!splash) {
        if (beingShown && MayBeLeftOnScreen(&facts, &source) &&
            GetPropA(hwnd, ZENTROVA_KEEP_PROPERTY) == NULL)
            NotifyRunnerLeftOnScreen(hwnd);
        return 0;
    }
    if (GetPropA(hwnd, ZENTROVA_KEEP_PROPERTY) != NULL)
        return 0;

    // Nothing on the list spares anyone, and finding the owner takes a module
    // snapshot, the costliest step of all.
    if (!IgnoreListIsEmpty()) {
        if (facts.modulePath[0] == 0 && facts.exePath[0] == 0)
            FindWindowOwner(hwnd, &facts);
        if ((facts.modulePath[0] != 0 || facts.exePath[0] != 0) &&
            IsIgnored(facts.modulePath, facts.exePath))
            return 0;
    }

    // Moved, never hidden or closed: its application runs on undisturbed.
    // Clear of every monitor, not only the primary one.
    MonitorLayout layout;
    if (!GetMonitorLayout(&layout))
        layout.count = 0;
    Rect32 everyMonitor = VirtualScreen(&layout, &screen);
    Placement target = OffscreenPlacement(&facts.windowRect, &everyMonitor);
    MoveWindow(hwnd, target.x, target.y, target.width, target.height, FALSE);
    NotifyRunner();
    return 1;
}
