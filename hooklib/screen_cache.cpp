#include "screen_cache.h"

#include "classifier.h"
#include "copy_words.h"
#include "hook.h"

// Many threads of the process may examine windows at once. Each kept item has
// its own sequence, odd while a writer fills it, and notes how many changes
// had been announced when it was read: an item read before the latest change
// is read again.
static volatile LONG g_changes;

// What was true when the screen was kept; any difference means read again.
struct KeptScreen {
    Rect32 screen;
    Rect32 workArea;
    uint32_t hook;
    LONG changes;
    uint32_t kept; // 0 until something was kept
};

struct KeptMonitors {
    MonitorLayout layout;
    uint32_t hook;
    LONG changes;
    uint32_t kept;
};

static volatile LONG g_screenSequence;
static KeptScreen g_screen;
static volatile LONG g_monitorsSequence;
static KeptMonitors g_monitors;

static bool ReadKept(volatile LONG *sequence, const void *kept, void *copy, unsigned size)
{
    LONG before = *sequence;
    if ((before & 1) != 0)
        return false;
    MemoryBarrier();
    CopyWords(copy, kept, size);
    MemoryBarrier();
    return *sequence == before;
}

// Keeps what was read, unless another thread is keeping its own just now.
static void Keep(volatile LONG *sequence, void *kept, const void *now, unsigned size)
{
    LONG before = *sequence;
    if ((before & 1) != 0 || InterlockedCompareExchange(sequence, before + 1, before) != before)
        return;
    CopyWords(kept, now, size);
    MemoryBarrier();
    InterlockedIncrement(sequence);
}

static bool SameRect(const Rect32 &a, const Rect32 &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What a kept item depends on, as it is now. The changes are counted before
// anything is read, so that a change announced during the read makes the
// result stale at once. The work area is read inside the process: a changed
// one is a changed screen, on Windows (Wine keeps the first one it saw).
static void ReadKeys(Rect32 *workArea, uint32_t *hook, LONG *changes)
{
    *changes = g_changes;
    MemoryBarrier();
    RECT rc;
    Rect32 none = {0, 0, 0, 0};
    *workArea = none;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0)) {
        Rect32 read = {rc.left, rc.top, rc.right, rc.bottom};
        *workArea = read;
    }
    // A hook installed afresh may have missed changes in between.
    *hook = InstalledHookWord();
}

bool GetScreenRect(Rect32 *screen, Rect32 *workArea)
{
    KeptScreen now, kept;
    // What the copy overwrites, as the compiler cannot see through it.
    kept.kept = 0;
    kept.changes = 0;
    kept.hook = 0;
    now.kept = 1;
    ReadKeys(&now.workArea, &now.hook, &now.changes);
    *workArea = now.workArea;
    if (ReadKept(&g_screenSequence, &g_screen, &kept, sizeof kept) && kept.kept != 0 &&
        kept.changes == now.changes && kept.hook == now.hook &&
        SameRect(kept.workArea, now.workArea)) {
        *screen = kept.screen;
        return true;
    }
    RECT rc;
    if (!GetWindowRect(GetDesktopWindow(), &rc))
        return false;
    Rect32 read = {rc.left, rc.top, rc.right, rc.bottom};
    now.screen = read;
    Keep(&g_screenSequence, &g_screen, &now, sizeof now);
    *screen = read;
    return true;
}

static BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MonitorLayout *layout = (MonitorLayout *)context;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (layout->count < kMaxMonitors && GetMonitorInfoA(monitor, &info)) {
        MonitorRects &m = layout->monitors[layout->count++];
        Rect32 whole = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                        info.rcMonitor.bottom};
        Rect32 work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        m.monitor = whole;
        m.work = work;
    }
    return TRUE;
}

// Kept by the announced changes and the hook alone: a work area that changes
// is announced with WM_SETTINGCHANGE, and the screen's own read already looks
// at the primary's.
bool GetMonitorLayout(MonitorLayout *layout)
{
    KeptMonitors now, kept;
    kept.kept = 0;
    kept.changes = 0;
    kept.hook = 0;
    now.kept = 1;
    now.changes = g_changes;
    MemoryBarrier();
    now.hook = InstalledHookWord();
    if (ReadKept(&g_monitorsSequence, &g_monitors, &kept, sizeof kept) && kept.kept != 0 &&
        kept.changes == now.changes && kept.hook == now.hook) {
        CopyWords(layout, &kept.layout, sizeof *layout);
        return true;
    }
    now.layout.count = 0;
    if (!EnumDisplayMonitors(NULL, NULL, NoteMonitor, (LPARAM)&now.layout) ||
        now.layout.count == 0)
        return false;
    Keep(&g_monitorsSequence, &g_monitors, &now, sizeof now);
    CopyWords(layout, &now.layout, sizeof *layout);
    return true;
}

void NoteScreenMessage(UINT message, HWND hwnd)
{
    // Only top-level windows are told of a change: once the set of them
    // changes, the process may have had none when the screen changed. The
    // window still exists at WM_DESTROY, after its procedure too.
    if (message != WM_DISPLAYCHANGE && message != WM_SETTINGCHANGE && message != WM_NCCREATE &&
        message != WM_DESTROY)
        return;
    if (!IsOwnWindow(hwnd))
        return;
    if (message == WM_DISPLAYCHANGE || message == WM_SETTINGCHANGE ||
        (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0)
        InterlockedIncrement(&g_changes);
}
