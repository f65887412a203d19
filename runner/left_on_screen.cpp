#include "left_on_screen.h"

#include "ascii.h"
#include "ignore_list.h"
#include "left_list.h"
#include "moved_windows.h"
#include "resource.h"
#include "rule_store.h"
#include "tray.h"
#include "virtual_screen.h"
#include "window_facts.h"

// What the library reported, newest last.
static LeftList g_left;
// The entries as the open menu lists them, newest first.
static LeftEntry g_listed[kLeftShown];
static unsigned g_listedCount;

static const char kListFull[] =
    "The list of windows treated as splash screens is full: it holds 32.\n\n"
    "This window was not added. To make room, bring back a window that one of them moved, "
    "choosing \"Bring back and stop treating as splash screen\" under Moved windows.";

void OnWindowLeftOnScreen(HWND hwnd)
{
    DWORD processId = 0;
    RECT r;
    // The runner's own windows are not reported, nor kept if they were.
    if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, &processId) == 0 ||
        processId == GetCurrentProcessId() || !GetWindowRect(hwnd, &r))
        return;
    LeftEntry entry;
    entry.window = (ULONG_PTR)hwnd;
    entry.width = r.right - r.left;
    entry.height = r.bottom - r.top;
    if (GetClassNameA(hwnd, entry.className, sizeof entry.className) <= 0)
        return;
    entry.className[sizeof entry.className - 1] = 0;
    ProgramPath(hwnd, entry.path);
    if (GetWindowTextA(hwnd, entry.text, sizeof entry.text) <= 0)
        entry.text[0] = 0;
    entry.text[sizeof entry.text - 1] = 0;
    LeftListAdd(&g_left, &entry);
}

// Not listed: a window moved since, or one of a program now on the ignore list.
static bool Listable(const LeftEntry *entry)
{
    HWND hwnd = (HWND)(ULONG_PTR)entry->window;
    if (IsWindow(hwnd) && IsMovedWindow(hwnd))
        return false;
    return entry->path[0] == 0 || !IsIgnored(entry->path, "");
}

static void AppendEntry(HMENU left, unsigned index, const LeftEntry *entry)
{
    HMENU choices = CreatePopupMenu();
    if (choices == NULL)
        return;
    // Without its program there is no rule to make.
    AppendMenuA(choices, MF_STRING | (entry->path[0] != 0 ? 0 : MF_GRAYED),
                IDM_TREAT_AS_SPLASH + index, "Treat as splash screen");
    char text[kMovedEntrySize];
    FormatMovedEntry(text, sizeof text, entry->path, entry->text);
    if (!AppendMenuA(left, MF_POPUP | MF_STRING, (UINT_PTR)choices, text))
        DestroyMenu(choices);
}

void AppendLeftOnScreenMenu(HMENU menu)
{
    HMENU left = CreatePopupMenu();
    if (left == NULL)
        return;
    g_listedCount = 0;
    for (unsigned i = 0; i < kLeftShown; ++i) {
        const LeftEntry *entry = LeftListNewest(&g_left, i);
        if (entry == NULL)
            break;
        if (!Listable(entry))
            continue;
        g_listed[g_listedCount] = *entry;
        AppendEntry(left, g_listedCount, entry);
        ++g_listedCount;
    }
    if (g_listedCount == 0)
        AppendMenuA(left, MF_STRING | MF_GRAYED, 0, "(none)");
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, (UINT_PTR)left, "Left on screen"))
        DestroyMenu(left);
}

static void Forget(uint64_t window)
{
    for (unsigned i = 0; i < kLeftShown; ++i) {
        const LeftEntry *entry = LeftListNewest(&g_left, i);
        if (entry != NULL && entry->window == window) {
            LeftListRemove(&g_left, i);
            return;
        }
    }
}

// Moves the window where the library would have put it, on the window's own
// thread: a program that hangs cannot hang the runner.
static void MoveOffScreenNow(HWND hwnd)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return;
    Rect32 window = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    Placement p = OffscreenPlacement(&window, &all);
    if (SetWindowPos(hwnd, NULL, p.x, p.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS))
        OnSplashKilled();
}

static bool SameWindowRule(const SplashRule *a, const SplashRule *b)
{
    return a->width == b->width && a->height == b->height &&
           AsciiEqualNoCase(a->className, b->className) && AsciiEqualNoCase(a->path, b->path);
}

bool OnLeftOnScreenCommand(UINT command)
{
    if (command < IDM_TREAT_AS_SPLASH || command >= IDM_TREAT_AS_SPLASH + kLeftShown)
        return false;
    unsigned index = command - IDM_TREAT_AS_SPLASH;
    if (index >= g_listedCount)
        return true;
    LeftEntry entry = g_listed[index];
    g_listedCount = 0;
    SplashRule rule;
    RuleFromEntry(&entry, &rule);
    switch (RuleStoreAdd(&rule)) {
    case kRuleStoreFull:
        MessageBoxA(NULL, kListFull, "Zentrova", MB_ICONINFORMATION);
        return true;
    case kRuleNotStored:
        return true;
    case kRuleAdded:
        break;
    }
    Forget(entry.window);
    // Still there and still the same window: moved at once, as the library
    // would move it from now on.
    HWND hwnd = (HWND)(ULONG_PTR)entry.window;
    SplashRule now;
    if (IsWindow(hwnd) && IsWindowVisible(hwnd) && !IsMovedWindow(hwnd) &&
        WindowRule(hwnd, &now) && SameWindowRule(&now, &rule))
        MoveOffScreenNow(hwnd);
    return true;
}
