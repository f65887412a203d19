#include "moved_windows.h"

#include "ascii.h"
#include "config_dialog.h"
#include "ignore_list.h"
#include "moved_list.h"
#include "window_facts.h"
#include "resource.h"
#include "rule_store.h"
#include "runner.h"
#include "virtual_screen.h"
#include "zentrova.h"

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

// The timer of the search for moved windows; the flash timer is 1.
#define IDT_NOTE_MOVED 2

// Entries of the ignore list that adding a program keeps; a longer list is
// left as it is.
enum { kAllowMaxEntries = 100 };

// Windows noted as moved, oldest first.
static MovedList g_moved;
// The windows the last menu listed, by entry, for the command chosen from it.
static HWND g_listed[kMovedShown];
// How many g_listed holds.
static unsigned g_listedCount;
// True while a search for moved windows is due.
static bool g_notePending;

// Still out of sight where the library put it: alive, and not moved since.
bool IsMovedWindow(HWND hwnd)
{
    RECT r;
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &r))
        return false;
    Rect32 rect = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    return IsOffscreenPlaced(&rect, &all);
}

static bool KeepMoved(uint64_t window, void *)
{
    return IsMovedWindow((HWND)(ULONG_PTR)window);
}

// Worth listing: one its program has hidden would not show if brought back.
// A window being shown is moved before it becomes visible, so this is asked
// only when the menu opens.
static bool KeepListable(uint64_t window, void *)
{
    HWND hwnd = (HWND)(ULONG_PTR)window;
    return IsMovedWindow(hwnd) && IsWindowVisible(hwnd);
}

// Moved windows found by one search, in Z order.
struct FoundWindows {
    HWND windows[kMovedCapacity];
    unsigned count;
};

static BOOL CALLBACK CollectMoved(HWND hwnd, LPARAM param)
{
    FoundWindows *found = (FoundWindows *)param;
    if (found->count < kMovedCapacity && IsMovedWindow(hwnd))
        found->windows[found->count++] = hwnd;
    return TRUE;
}

static void NoteNow()
{
    if (g_notePending) {
        KillTimer(g_hwndMain, IDT_NOTE_MOVED);
        g_notePending = false;
    }
    MovedListKeep(&g_moved, KeepMoved, NULL);
    FoundWindows found;
    found.count = 0;
    EnumWindows(CollectMoved, (LPARAM)&found);
    // A window made later sits higher in the Z order: the lowest is the oldest.
    for (unsigned i = found.count; i > 0; --i)
        MovedListAdd(&g_moved, (ULONG_PTR)found.windows[i - 1]);
}

static void CALLBACK OnNoteTimer(HWND, UINT, UINT_PTR, DWORD)
{
    NoteNow();
}

void NoteMovedWindows()
{
    // Searched for a moment later: the program whose window was moved waits
    // while its notification is handled, and should not wait for the search.
    g_notePending = SetTimer(g_hwndMain, IDT_NOTE_MOVED, USER_TIMER_MINIMUM, OnNoteTimer) != 0;
    if (!g_notePending)
        NoteNow();
}

static void AppendEntry(HMENU moved, unsigned index, HWND hwnd)
{
    HMENU choices = CreatePopupMenu();
    if (choices == NULL)
        return;
    AppendMenuA(choices, MF_STRING, IDM_BRING_BACK + index, "Bring back");
    AppendMenuA(choices, MF_STRING, IDM_ALWAYS_ALLOW + index,
                "Bring back and always allow this program");
    SplashRule rule;
    if (WindowRule(hwnd, &rule) && RuleStoreHolds(&rule))
        AppendMenuA(choices, MF_STRING, IDM_STOP_TREATING + index,
                    "Bring back and stop treating as splash screen");
    char path[kPathSize], text[kMovedTextChars + 2], entry[kMovedEntrySize];
    ProgramPath(hwnd, path);
    // One character more than is shown tells that the text goes on.
    if (GetWindowTextA(hwnd, text, sizeof text) <= 0)
        text[0] = 0;
    text[sizeof text - 1] = 0;
    FormatMovedEntry(entry, sizeof entry, path, text);
    if (!AppendMenuA(moved, MF_POPUP | MF_STRING, (UINT_PTR)choices, entry))
        DestroyMenu(choices);
}

void AppendMovedWindowsMenu(HMENU menu)
{
    HMENU moved = CreatePopupMenu();
    if (moved == NULL)
        return;
    NoteNow();
    MovedList listable = g_moved;
    MovedListKeep(&listable, KeepListable, NULL);
    uint64_t newest[kMovedShown];
    g_listedCount = MovedListNewest(&listable, newest, kMovedShown);
    for (unsigned i = 0; i < g_listedCount; ++i) {
        g_listed[i] = (HWND)(ULONG_PTR)newest[i];
        AppendEntry(moved, i, g_listed[i]);
    }
    if (g_listedCount == 0)
        AppendMenuA(moved, MF_STRING | MF_GRAYED, 0, "(none)");
    if (!AppendMenuA(menu, MF_POPUP | MF_STRING, (UINT_PTR)moved, "Moved windows"))
        DestroyMenu(moved);
}

// The ignore list as read, with the program looked for on the way.
struct ListCopy {
    const char *path;
    char entries[kAllowMaxEntries][kPathSize];
    unsigned count;
    bool holdsPath, tooLong;
};

static bool CopyEntry(const char *entry, void *context)
{
    ListCopy *copy = (ListCopy *)context;
    if (AsciiEqualNoCase(entry, copy->path)) {
        copy->holdsPath = true;
        return false;
    }
    if (copy->count == kAllowMaxEntries) {
        copy->tooLong = true;
        return false;
    }
    lstrcpynA(copy->entries[copy->count++], entry, kPathSize);
    return true;
}

static void GetCopiedEntry(unsigned index, char *buffer, unsigned size, void *context)
{
    const ListCopy *copy = (const ListCopy *)context;
    lstrcpynA(buffer, index < copy->count ? copy->entries[index] : copy->path, size);
}

// Puts the program on the ignore list, after the entries already there.
static void AllowProgram(const char *path)
{
    ListCopy copy;
    copy.path = path;
    copy.count = 0;
    copy.holdsPath = copy.tooLong = false;
    ReadIgnoreList(CopyEntry, &copy);
    if (!copy.holdsPath && !copy.tooLong)
        WriteIgnoreList(copy.count + 1, GetCopiedEntry, &copy);
    ConfigDialogAddEntry(path);
}

// The work area of the monitor the pointer is on, where the user looks.
static bool PointerWorkArea(RECT *area)
{
    POINT pointer;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (GetCursorPos(&pointer) &&
        GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &info)) {
        *area = info.rcWork;
        return true;
    }
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0) != FALSE;
}

// Puts the window in the middle of the pointer's monitor's work area, its
// size kept, in front; marked first, so that the library leaves it there for
// the rest of its life.
static void BringBack(HWND hwnd)
{
    RECT window, area;
    if (!GetWindowRect(hwnd, &window) || !PointerWorkArea(&area))
        return;
    Rect32 workArea = {area.left, area.top, area.right, area.bottom};
    Placement p =
        CentredPlacement(&workArea, window.right - window.left, window.bottom - window.top);
    if (!SetPropA(hwnd, ZENTROVA_KEEP_PROPERTY, (HANDLE)1))
        return;
    // Done on the window's own thread: a program that hangs cannot hang the runner.
    SetWindowPos(hwnd, HWND_TOP, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    SetForegroundWindow(hwnd);
}

static bool IsOtherWindow(uint64_t window, void *brought)
{
    return window != (ULONG_PTR)brought;
}

void OnMovedWindowsCommand(UINT command)
{
    if (command < IDM_BRING_BACK || command >= IDM_STOP_TREATING + kMovedChoiceIds)
        return;
    unsigned index = (command - IDM_BRING_BACK) % kMovedChoiceIds;
    UINT choice = command - index;
    if (index >= g_listedCount)
        return;
    HWND hwnd = g_listed[index];
    g_listedCount = 0;
    // It may have gone, or been moved by its program, while the menu was open.
    if (!IsMovedWindow(hwnd))
        return;
    char path[kPathSize];
    SplashRule rule;
    if (choice == IDM_ALWAYS_ALLOW && ProgramPath(hwnd, path))
        AllowProgram(path);
    if (choice == IDM_STOP_TREATING && WindowRule(hwnd, &rule))
        RuleStoreRemove(&rule);
    BringBack(hwnd);
    MovedListKeep(&g_moved, IsOtherWindow, hwnd);
}
