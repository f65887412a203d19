#include "screen_cache.h"

#include "classifier.h"
#include "hook.h"

// What was true when the rectangle was kept; any difference means read again.
struct KeptScreen {
    Rect32 screen;
    Rect32 workArea;
    uint32_t hook;
};

// Many threads of the process may examine windows at once. A writer moves
// this from even to odd and back; forgetting adds 2; a copy is trusted only
// when the version is even, unchanged across it, and the one it was kept at.
static volatile LONG g_version;
// The version at which g_kept became current; the odd start means never.
static volatile LONG g_keptAt = -1;
// The rectangle, with what it depends on.
static KeptScreen g_kept;

static bool SameRect(const Rect32 &a, const Rect32 &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static bool ReadKept(LONG version, KeptScreen *copy)
{
    if ((version & 1) != 0 || g_keptAt != version)
        return false;
    MemoryBarrier();
    *copy = *(const KeptScreen *)&g_kept;
    MemoryBarrier();
    return g_version == version;
}

// Keeps what was read unless the rectangle was forgotten, or kept by another
// thread, since version was seen: that read may predate a change.
static void Keep(LONG version, const KeptScreen &now)
{
    if ((version & 1) != 0 || InterlockedCompareExchange(&g_version, version + 1, version) != version)
        return;
    *(KeptScreen *)&g_kept = now;
    g_keptAt = version + 2;
    MemoryBarrier();
    InterlockedIncrement(&g_version);
}

bool GetScreenRect(Rect32 *screen)
{
    // The work area is read inside the process: a changed one is a changed
    // screen, on Windows (Wine keeps the first one it saw).
    KeptScreen now;
    RECT rc;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0)) {
        Rect32 workArea = {rc.left, rc.top, rc.right, rc.bottom};
        now.workArea = workArea;
    } else {
        Rect32 none = {0, 0, 0, 0};
        now.workArea = none;
    }
    // A hook installed afresh may have missed changes in between.
    now.hook = InstalledHookWord();

    LONG version = g_version;
    MemoryBarrier();
    KeptScreen kept;
    if (ReadKept(version, &kept) && kept.hook == now.hook && SameRect(kept.workArea, now.workArea)) {
        *screen = kept.screen;
        return true;
    }
    if (!GetWindowRect(GetDesktopWindow(), &rc))
        return false;
    Rect32 read = {rc.left, rc.top, rc.right, rc.bottom};
    now.screen = read;
    Keep(version, now);
    *screen = read;
    return true;
}

void NoteScreenMessage(UINT message, HWND hwnd)
{
    // Only top-level windows are told of a change: once the set of them
    // changes, the process may have had none when the screen changed. The
    // window still exists at WM_DESTROY, after its procedure too.
    if (message != WM_DISPLAYCHANGE && message != WM_NCCREATE && message != WM_DESTROY)
        return;
    if (!IsOwnWindow(hwnd))
        return;
    if (message == WM_DISPLAYCHANGE || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0)
        InterlockedExchangeAdd(&g_version, 2);
}
