// Each program from its start to its close: its dialogs, their lists and
// tooltips, and the windows it leaves behind.
#include "sweep.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

// Visible descendants of the given class.
static std::vector<HWND> Descendants(HWND hwnd, const char *className)
{
    std::vector<HWND> found;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
        if (IsWindowVisible(c) && ClassOf(c) == className)
            found.push_back(c);
        std::vector<HWND> deeper = Descendants(c, className);
        found.insert(found.end(), deeper.begin(), deeper.end());
    }
    return found;
}

// Opens the list of a few drop-down combo boxes inside top.
static bool OpenLists(HWND top)
{
    int opened = 0, tried = 0;
    for (HWND combo : Descendants(top, "ComboBox")) {
        if ((GetWindowLongA(combo, GWL_STYLE) & 3) == CBS_SIMPLE || !IsWindowEnabled(combo) ||
            ++tried > 3)
            continue;
        PostMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        opened += PumpUntil([] { return !Visible("ComboLBox").empty(); }, 600);
        Pump(200); // long enough to be seen
        PostMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        Pump(60);
    }
    return opened > 0;
}

// Hovers over the first buttons of the toolbars inside top until a tooltip shows.
static bool HoverToolbars(HWND top)
{
    for (HWND bar : Descendants(top, "ToolbarWindow32")) {
        RECT r;
        GetWindowRect(bar, &r);
        DWORD_PTR size = 0, count = 0;
        SendMessageTimeoutA(bar, TB_GETBUTTONSIZE, 0, 0, SMTO_ABORTIFHUNG, 1000, &size);
        SendMessageTimeoutA(bar, TB_BUTTONCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count);
        long w = LOWORD(size) > 0 ? LOWORD(size) : 24;
        for (long i = 0; i < (long)count && i < 3; ++i) {
            Mouse(POINT{r.left + w / 2 + i * w, (r.top + r.bottom) / 2});
            if (PumpUntil([] { return !Visible("tooltips_class32").empty(); }, 1000)) {
                Pump(300);
                return true;
            }
        }
    }
    return false;
}

// Visible top-level windows with a title bar that are not in before (nor this program's).
static std::vector<HWND> NewWindows(const std::vector<HWND> &before)
{
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (IsWindowVisible(w) && pid != GetCurrentProcessId() &&
            (GetWindowLongA(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
            std::find(before.begin(), before.end(), w) == before.end())
            found.push_back(w);
    }
    return found;
}

static HWND NewWindow(const std::vector<HWND> &before)
{
    std::vector<HWND> found = NewWindows(before);
    return found.empty() ? NULL : found[0];
}

// Closes the windows opened since before, by Escape first and by WM_CLOSE after that.
static void Dismiss(const std::vector<HWND> &before)
{
    for (int i = 0; i < 6; ++i) {
        HWND extra = NewWindow(before);
        if (extra == NULL)
            return;
        if (i < 3) {
            Focus(extra);
            Press(VK_ESCAPE, 0, 0);
        } else {
            PostMessageA(extra, WM_CLOSE, 0, 0);
        }
        PumpUntil([&] { return !IsWindowVisible(extra); }, 1000);
    }
}

// Waits, for a while at most, until the window's thread answers again.
static void WaitResponsive(HWND hwnd)
{
    DWORD_PTR result;
    PumpUntil([&] {
        return !IsWindow(hwnd) ||
               SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
    }, 20000);
}

static void OpenDialog(HWND main, const Dialog &d)
{
    std::vector<HWND> before = NewWindows({});
    Focus(main);
    Type(main, d.keys);
    HWND dialog = NULL;
    PumpUntil([&] { return (dialog = NewWindow(before)) != NULL; }, 2000);
    bool tip = false;
    if (dialog != NULL) {
        Pump(250);
        OpenLists(dialog);
        tip = HoverToolbars(dialog);
    }
    CloseMenus(); // a menu that opened without its item
    Dismiss(before);
    WaitResponsive(main);
    g_row->tried += std::string(d.name) + (!dialog ? " (not shown)" : tip ? " (tooltip)" : "") + ", ";
}

// Closes every window the program opened (and any of the started process,
// title bar or not), answering "save?" with no, then ends the processes that
// are still there, unless they were there before the program (the desktop's
// explorer.exe may own a window the program asked for).
static void CloseProgram(const std::vector<HWND> &before, DWORD started,
                         const std::map<DWORD, std::string> &older)
{
    g_step = "closing";
    std::set<DWORD> pids = {started};
    for (int round = 0; round < 4; ++round) {
        HWND w = NewWindow(before);
        for (HWND t = GetTopWindow(NULL); t != NULL && w == NULL; t = GetWindow(t, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(t, &pid);
            if (pid == started && IsWindowVisible(t))
                w = t;
        }
        if (w == NULL)
            break;
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        pids.insert(pid);
        PostMessageA(w, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !IsWindowVisible(w); }, 1500);
        if (HWND prompt = NewWindow(before))
            for (HWND b : Descendants(prompt, "Button")) {
                char text[64] = "";
                GetWindowTextA(b, text, sizeof text);
                if (strstr(text, "n't") != NULL || strcmp(text, "&No") == 0)
                    PostMessageA(b, BM_CLICK, 0, 0);
            }
    }
    for (DWORD pid : pids) {
        if (older.count(pid))
            continue;
        HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (p != NULL && !PumpUntil([&] { return WaitForSingleObject(p, 0) == 0; }, 1500)) {
            g_row->note += "had to end " + ExeOf(pid) + "; ";
            TerminateProcess(p, 1);
        }
        if (p != NULL)
            CloseHandle(p);
    }
}

void Sweep(const Program &program)
{
    Row *row = g_row;
    g_step = "starting";
    std::vector<HWND> before = NewWindows({});
    std::map<DWORD, std::string> older = Processes();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = program.command;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        row->note = "could not be started";
        return;
    }
    CloseHandle(pi.hThread);
    // A program may hand its window to another process and end at once.
    PumpUntil([&] { return NewWindow(before) || WaitForSingleObject(pi.hProcess, 0) == 0; }, 8000);
    PumpUntil([&] { return NewWindow(before) != NULL; }, 1500);
    CloseHandle(pi.hProcess);
    Pump(500);
    std::vector<HWND> windows = NewWindows(before);
    if (windows.empty()) {
        row->note = "opened no window; skipped";
        return CloseProgram(before, pi.dwProcessId, older);
    }
    // The bottom new window is the main one; winhlp32 puts a dialog over it.
    HWND main = windows.back();
    std::vector<HWND> keep = before;
    keep.push_back(main);
    Dismiss(keep);
    SetWindowPos(main, NULL, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    g_step = "menu bar";
    if (GetMenu(main) != NULL) {
        row->tried += "menu bar (" + std::to_string(WalkMenuBar(main)) + " menus), ";
        WaitResponsive(main);
    }
    g_step = "system menu";
    Focus(main);
    Press(VK_SPACE, VK_MENU, 0);
    if (MenuShown())
        row->tried += "system menu, ";
    CloseMenus();
    g_step = "context menu";
    RECT client;
    GetClientRect(main, &client);
    POINT inside = {client.right / 2, client.bottom / 2};
    ClientToScreen(main, &inside);
    Focus(main);
    if (RightClickMenu(inside, true))
        row->tried += "context menu, ";
    WaitResponsive(main);
    for (const Dialog &d : program.dialogs)
        if (d.name != NULL) {
            g_step = d.name;
            OpenDialog(main, d);
        }
    g_step = "tooltips";
    Focus(main);
    if (HoverToolbars(main))
        row->tried += "toolbar tooltips, ";
    g_step = "drop-down lists";
    if (OpenLists(main))
        row->tried += "drop-down lists, ";
    g_step = "menus at the middle";
    row->tried += "menus at the middle x" + std::to_string(MenusAtTheMiddle(main));
    if (g_aim && program.aimKeys != NULL) {
        g_step = "main window without title bar, centred";
        Focus(main);
        Type(main, program.aimKeys);
        RECT screen;
        GetWindowRect(GetDesktopWindow(), &screen);
        GetClientRect(main, &client);
        PlaceAt(main, POINT{client.right / 2, client.bottom / 2},
                POINT{(screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2});
    }
    ScanAll();
    CloseProgram(before, pi.dwProcessId, older);
}

