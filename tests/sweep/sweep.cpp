// Uses the programs that ship with Wine as a person would, with the hook
// installed as the runner installs it, and reports every window the hook
// moved off-screen. None of these programs shows a splash screen, so every
// move is a false positive; the exit code counts them.
// Usage: zentrova_sweep [--aim] [program...]
//   --aim     also puts windows exactly where the heuristic takes them: context
//             menus centred on the screen and the work area, and the clock
//             without its title bar centred on the screen
//   program   sweeps only the programs named (as in the table)
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "splash_shape.h"
#include "zentrova.h"

namespace {

const UINT kKilled = WM_APP + 0x5E;
const UINT kAux = WM_USER + 1;

// Windows without a title bar that people open all the time, counted as they
// become visible: the proof that the sweep really showed them.
enum { kMenu, kDialog, kTooltip, kList, kKinds };
const char *const kKindClass[kKinds] = {"#32768", "#32770", "tooltips_class32", "ComboLBox"};

// keys: ^x Ctrl+x, %x Alt+x, #n property page n, ~ Down, _ Space, others typed.
struct Dialog {
    const char *name, *keys;
};
struct Program {
    const char *name, *command;
    Dialog dialogs[9];
    const char *aimKeys = nullptr; // with --aim: takes the title bar away
};

const Program kPrograms[] = {
    {"notepad", "notepad.exe",
     {{"Open", "^o"}, {"Save As", "%fa"}, {"Page Setup", "%ft"}, {"Print", "^p"},
      {"Font", "%ef"}, {"Find", "^f"}, {"Replace", "^h"}, {"About", "%ha"}}},
    {"wordpad", "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"",
     {{"Open", "^o"}, {"Save As", "%fa"}, {"Print", "^p"}, {"Font", "%of"}, {"Paragraph", "%op"},
      {"Tabs", "%ot"}, {"Date and time", "%id"}, {"Options", "%vo"}, {"About", "%ha"}}},
    {"regedit", "regedit.exe",
     {{"Import (Open)", "%ri"}, {"Export (Save As)", "%re"}, {"Find", "^f"}, {"About", "%ha"}}},
    {"winecfg", "winecfg.exe", {{"Add application (Open)", "#0%c"}, {"Colour", "#3%e~%o_"}}},
    {"winemine", "winemine.exe", {{"Custom", "%gc"}, {"Fastest Times", "%gf"}, {"About", "%ha"}}},
    {"taskmgr", "taskmgr.exe", {{"Run", "%fn"}, {"About", "%ha"}}},
    {"winefile", "winefile.exe", {{"Run", "%fr"}, {"Font", "%of"}, {"About", "%ha"}}},
    {"control", "control.exe", {{"About", "%ha"}}},
    {"clock", "clock.exe", {{"About", "%ha"}}, "%pw"},
    {"progman", "progman.exe", {{"New", "%fn"}, {"Execute", "%fe"}, {"About", "%ha"}}},
    {"oleview", "oleview.exe",
     {{"View TypeLib (Open)", "%fv"}, {"System Configuration", "%fs"}, {"About", "%ha"}}},
    {"uninstaller", "uninstaller.exe", {}},
    {"winhlp32", "winhlp32.exe", {{"Open", "%fo"}, {"About", "%ha"}}},
    {"hh", "hh.exe", {}},
    {"msinfo32", "msinfo32.exe", {}},
    {"wineconsole", "wineconsole.exe cmd", {}},
    {"explorer", "explorer.exe", {}},
    {"view", "view.exe", {{"Open", "%fo"}}},
    {"winver", "winver.exe", {}},
};

struct Row {
    std::string program, tried, note;
    int seen[kKinds] = {};
    int submenus = 0;
    int moved = 0;
};

std::string g_step;
Row *g_row; // the program being swept
bool g_aim;
bool g_hooked; // before the hook, windows where a splash would go are only remembered
std::set<HWND> g_atPlacement;
std::vector<std::string> g_moved;
int g_kills;
std::set<HWND> g_shown; // windows of a counted kind visible at the last look

std::string ClassOf(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Every process, by id, with its executable's name.
std::map<DWORD, std::string> Processes()
{
    std::map<DWORD, std::string> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        found[entry.th32ProcessID] = entry.szExeFile;
    CloseHandle(snapshot);
    return found;
}

std::string ExeOf(DWORD pid)
{
    std::map<DWORD, std::string> all = Processes();
    return all.count(pid) ? all[pid] : "?";
}

// Where TryKillSplash puts a window of this size, in its parent's coordinates.
bool AtKillPlacement(HWND hwnd)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return false;
    HWND parent = GetAncestor(hwnd, GA_PARENT);
    if (parent != NULL && parent != GetDesktopWindow())
        MapWindowPoints(NULL, parent, (POINT *)&r, 2);
    Rect32 placed = {r.left, r.top, r.right, r.bottom};
    Placement target = OffscreenPlacement(&placed);
    return r.left == target.x && r.top == target.y;
}

// Reads nothing that takes a message: the hooked thread may be waiting.
void RecordIfMoved(HWND hwnd)
{
    if (!AtKillPlacement(hwnd) || !g_atPlacement.insert(hwnd).second || !g_hooked)
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r;
    GetWindowRect(hwnd, &r);
    std::string children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        children += (children.empty() ? "" : " ") + ClassOf(c);
    char detail[1024];
    snprintf(detail, sizeof detail,
             "%s: %s, class %s, style %08lx, exstyle %08lx, %ldx%ld, children [%s], during %s",
             g_row != NULL ? g_row->program.c_str() : "-", ExeOf(pid).c_str(),
             ClassOf(hwnd).c_str(), (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
             (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), r.right - r.left, r.bottom - r.top,
             children.c_str(), g_step.c_str());
    g_moved.push_back(detail);
    if (g_row != NULL)
        g_row->moved++;
    printf("MOVED %s\n", detail);
    fflush(stdout);
}

void ScanTree(HWND hwnd)
{
    RecordIfMoved(hwnd);
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        ScanTree(c);
}

// Every window, children included: TryKillSplash moves children too.
void ScanAll()
{
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT))
        ScanTree(w);
}

// The frequent look, at top-level windows only.
void Look()
{
    std::set<HWND> now;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
        RecordIfMoved(w);
        if (g_row == NULL || !IsWindowVisible(w))
            continue;
        std::string name = ClassOf(w);
        for (int k = 0; k < kKinds; ++k)
            if (name == kKindClass[k] && now.insert(w).second && !g_shown.count(w))
                g_row->seen[k]++;
    }
    g_shown.swap(now);
}

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kKilled)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    DWORD start = GetTickCount();
    ++g_kills;
    ScanAll();
    printf("kill report handled in %lu ms\n", (unsigned long)(GetTickCount() - start));
    return 0;
}

void Pump(DWORD ms)
{
    for (DWORD start = GetTickCount();;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Look();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, std::min<DWORD>(20, ms - elapsed), QS_ALLINPUT);
    }
}

template <class Done> bool PumpUntil(Done done, DWORD ms)
{
    for (DWORD start = GetTickCount(); !done(); Pump(15))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

void Press(WORD vk, WORD modifier = 0, DWORD settleMs = 40)
{
    const WORD keys[4] = {modifier, vk, vk, modifier};
    INPUT in[4] = {};
    UINT n = 0;
    for (int i = 0; i < 4; ++i)
        if (keys[i] != 0) {
            in[n].type = INPUT_KEYBOARD;
            in[n].ki.wVk = keys[i];
            in[n++].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
    SendInput(n, in, sizeof in[0]);
    Pump(settleMs);
}

void Type(HWND main, const char *keys)
{
    for (; *keys; ++keys, Pump(150)) {
        WORD modifier = *keys == '^' ? VK_CONTROL : *keys == '%' ? VK_MENU : 0;
        if (*keys == '#') // Wine's property sheets ignore Ctrl+Tab; a click on the tab does this
            PostMessageA(main, PSM_SETCURSEL, *++keys - '0', 0);
        else if (modifier != 0)
            Press(VkKeyScanA(*++keys) & 0xFF, modifier);
        else
            Press(*keys == '~' ? VK_DOWN : *keys == '_' ? VK_SPACE : VkKeyScanA(*keys) & 0xFF);
    }
}

void Mouse(POINT at, DWORD button = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (at.x * 65535 + 65535 / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (at.y * 65535 + 65535 / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    PumpUntil([&] { POINT p; return GetCursorPos(&p) && p.x == at.x && p.y == at.y; }, 500);
    if (button == 0)
        return;
    in.mi.dwFlags = button;
    SendInput(1, &in, sizeof in);
    in.mi.dwFlags = button << 1; // the matching button-up flag
    SendInput(1, &in, sizeof in);
}

void Focus(HWND hwnd)
{
    SetForegroundWindow(hwnd);
    PumpUntil([&] { return GetForegroundWindow() == hwnd; }, 1000);
}

std::vector<HWND> Visible(const char *className)
{
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && ClassOf(w) == className)
            found.push_back(w);
    return found;
}

HWND OnlyMenu()
{
    std::vector<HWND> menus = Visible("#32768");
    return menus.size() == 1 ? menus[0] : NULL;
}

bool MenuShown()
{
    return PumpUntil([] { return !Visible("#32768").empty(); }, 1000);
}

// The row of the menu's highlighted item as seen on the screen, or -1: under
// Wine another process's menu can be seen but not read.
int HighlightRow(HWND menu)
{
    RECT r;
    if (menu == NULL || !GetWindowRect(menu, &r))
        return -1;
    int height = r.bottom - r.top, row = -1;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP column = CreateCompatibleBitmap(screen, 1, height);
    HGDIOBJ old = SelectObject(memory, column);
    BitBlt(memory, 0, 0, 1, height, screen, r.left + 5, r.top, SRCCOPY);
    for (int y = 0; y < height && row < 0; ++y) {
        COLORREF c = GetPixel(memory, 0, y);
        if (c == GetSysColor(COLOR_HIGHLIGHT) || c == GetSysColor(COLOR_MENUHILIGHT))
            row = y;
    }
    SelectObject(memory, old);
    DeleteObject(column);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return row;
}

// The open menu's highlighted row once it is not `from`; -1 if it stays.
int RowOtherThan(int from)
{
    int row = -1;
    PumpUntil([&] { return (row = HighlightRow(OnlyMenu())) >= 0 && row != from; }, 200);
    return row != from ? row : -1;
}

bool SameMenu(HWND menu, const RECT &rect)
{
    RECT now;
    return OnlyMenu() == menu && GetWindowRect(menu, &now) && EqualRect(&now, &rect);
}

// Tries Right on every item of the open menu: a submenu opens and is closed
// again; a menu-bar menu gives way to its neighbour instead, and Left brings
// it back with its first item selected.
void WalkOpenMenu()
{
    int row = HighlightRow(OnlyMenu());
    if (row < 0) {
        Press(VK_DOWN, 0, 0);
        row = RowOtherThan(-1);
    }
    for (int item = 0; item < 25 && row >= 0; ++item) {
        HWND menu = OnlyMenu();
        RECT rect = {}, now;
        GetWindowRect(menu, &rect);
        Press(VK_RIGHT, 0, 0);
        // Moving along the bar shows the next menu as this one goes: only
        // this one still open beside another is a submenu.
        PumpUntil([&] { return Visible("#32768").size() != 1 || !SameMenu(menu, rect); }, 150);
        Pump(50);
        bool stays = IsWindowVisible(menu) && GetWindowRect(menu, &now) && EqualRect(&now, &rect);
        if (stays && Visible("#32768").size() > 1) {
            g_row->submenus++;
            Press(VK_ESCAPE, 0, 0);
            PumpUntil([&] { return SameMenu(menu, rect); }, 300);
        } else if (!stays) {
            Press(VK_LEFT, 0, 0);
            PumpUntil([&] { return SameMenu(OnlyMenu(), rect); }, 300);
            for (int i = 0; i < item; ++i)
                Press(VK_DOWN, 0, 0);
            if (item > 0 && RowOtherThan(-1) != row)
                return;
        }
        Press(VK_DOWN, 0, 0);
        int next = RowOtherThan(row);
        if (next <= row)
            return; // round to the top again
        row = next;
    }
}

// Escape only while a menu is in use: in a dialog it would mean Cancel.
void CloseMenus()
{
    for (int i = 0; i < 5; ++i) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        HWND front = GetForegroundWindow();
        bool inMenu = front != NULL &&
                      GetGUIThreadInfo(GetWindowThreadProcessId(front, NULL), &info) &&
                      (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
        if (!inMenu && Visible("#32768").empty())
            return;
        Press(VK_ESCAPE, 0, 60);
    }
}

// Each menu of the bar in turn (the system menu comes last), until the walk is
// back at the first. The bar is entered as Alt enters it, whichever child has
// the focus (regedit's tree view swallows the Alt key itself).
int WalkMenuBar(HWND main)
{
    RECT first = {};
    int menus = 0;
    for (;; ++menus) {
        Focus(main);
        PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, 0);
        Pump(60);
        for (int r = 0; r < menus; ++r)
            Press(VK_RIGHT, 0, 20);
        Press(VK_DOWN, 0, 0);
        HWND menu = MenuShown() ? OnlyMenu() : NULL;
        RECT r = {};
        if (menu == NULL || !GetWindowRect(menu, &r) || (menus > 0 && EqualRect(&r, &first)) ||
            menus == 12)
            break;
        if (menus == 0)
            first = r;
        WalkOpenMenu();
        CloseMenus();
    }
    CloseMenus();
    return menus;
}

bool RightClickMenu(POINT at, bool walk, RECT *menuRect = NULL)
{
    Mouse(at, MOUSEEVENTF_RIGHTDOWN);
    bool shown = MenuShown();
    if (shown && menuRect != NULL)
        GetWindowRect(Visible("#32768")[0], menuRect);
    if (shown && walk)
        WalkOpenMenu();
    CloseMenus();
    return shown;
}

// Visible descendants of the given class.
std::vector<HWND> Descendants(HWND hwnd, const char *className)
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
bool OpenLists(HWND top)
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
bool HoverToolbars(HWND top)
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
std::vector<HWND> NewWindows(const std::vector<HWND> &before)
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

HWND NewWindow(const std::vector<HWND> &before)
{
    std::vector<HWND> found = NewWindows(before);
    return found.empty() ? NULL : found[0];
}

// Closes the windows opened since before, by Escape first and by WM_CLOSE after that.
void Dismiss(const std::vector<HWND> &before)
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
void WaitResponsive(HWND hwnd)
{
    DWORD_PTR result;
    PumpUntil([&] {
        return !IsWindow(hwnd) ||
               SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
    }, 20000);
}

void OpenDialog(HWND main, const Dialog &d)
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

// Moves hwnd so that a point of its client area lies at a point of the screen.
void PlaceAt(HWND hwnd, POINT client, POINT screen)
{
    RECT wr;
    GetWindowRect(hwnd, &wr);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    SetWindowPos(hwnd, NULL, screen.x - client.x - (origin.x - wr.left),
                 screen.y - client.y - (origin.y - wr.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(150);
}

// Menus opened where the heuristic looks: the middle of the screen and of the
// work area, from the client area and from the menu bar.
int MenusAtTheMiddle(HWND main)
{
    RECT screen, work, client;
    GetWindowRect(GetDesktopWindow(), &screen);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetClientRect(main, &client);
    const POINT middles[2] = {{(screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2},
                              {(work.left + work.right) / 2, (work.top + work.bottom) / 2}};
    int shown = 0;
    for (POINT m : middles) {
        PlaceAt(main, POINT{client.right / 2, client.bottom / 2}, m);
        Focus(main);
        RECT r = {};
        shown += RightClickMenu(m, false, &r);
        if (g_aim && r.right > r.left) {
            g_step = "context menu centred";
            Focus(main);
            shown += RightClickMenu({m.x - (r.right - r.left) / 2, m.y - (r.bottom - r.top) / 2},
                                    false);
            g_step = "menus at the middle";
        }
        if (GetMenu(main) != NULL) {
            PlaceAt(main, POINT{12, -GetSystemMetrics(SM_CYMENU) / 2}, m);
            Focus(main);
            Mouse(m, MOUSEEVENTF_LEFTDOWN); // the bar's first menu, under the pointer
            if (MenuShown()) {
                ++shown;
                for (int i = 0; i < 3; ++i)
                    Press(VK_RIGHT, 0, 120);
            }
            CloseMenus();
        }
    }
    return shown;
}

// Closes every window the program opened (and any of the started process,
// title bar or not), answering "save?" with no, then ends the processes that
// are still there, unless they were there before the program (the desktop's
// explorer.exe may own a window the program asked for).
void CloseProgram(const std::vector<HWND> &before, DWORD started,
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

} // namespace

int main(int argc, char **argv)
{
    g_aim = argc > 1 && strcmp(argv[1], "--aim") == 0;
    std::vector<std::string> only(argv + 1 + g_aim, argv + argc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZentrovaSweepNotify";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                  wc.hInstance, NULL);
    ScanAll(); // what already sits where a splash would go is no finding of this run
    size_t already = g_atPlacement.size();
    g_hooked = true;
    if (notify == NULL || !ZentrovaSetHooks(notify, kKilled, kAux)) {
        fprintf(stderr, "sweep: the hook could not be installed\n");
        return 100;
    }
    DWORD start = GetTickCount();
    std::vector<Row> rows;
    rows.reserve(sizeof kPrograms / sizeof kPrograms[0]);
    for (const Program &p : kPrograms) {
        if (!only.empty() && std::find(only.begin(), only.end(), p.name) == only.end())
            continue;
        rows.push_back(Row());
        g_row = &rows.back();
        g_row->program = p.name;
        Sweep(p);
        Pump(300);
        ScanAll();
        printf("swept %s\n", p.name);
        fflush(stdout);
    }
    g_row = NULL;
    ZentrovaRemoveHooks();

    printf("\n| program | window kinds tried | menus | dialogs | tooltips | lists | moved |\n"
           "|---|---|---|---|---|---|---|\n");
    int total[kKinds] = {};
    for (const Row &r : rows) {
        std::string tried = r.tried;
        if (r.submenus > 0)
            tried += " (" + std::to_string(r.submenus) + " submenus)";
        printf("| %s | %s%s | %d | %d | %d | %d | %d |\n", r.program.c_str(), r.note.c_str(),
               tried.c_str(), r.seen[kMenu], r.seen[kDialog], r.seen[kTooltip], r.seen[kList],
               r.moved);
        for (int k = 0; k < kKinds; ++k)
            total[k] += r.seen[k];
    }
    for (const std::string &m : g_moved)
        printf("moved: %s\n", m.c_str());
    for (int k = 0; k < kKinds; ++k)
        if (total[k] == 0)
            printf("sweep: no %s window was shown, so none was put to the test\n", kKindClass[k]);
    printf("%zu window(s) off-screen before the sweep; %d kill report(s); %zu moved window(s) "
           "found; %lu s\n",
           already, g_kills, g_moved.size(), (unsigned long)(GetTickCount() - start) / 1000);
    // A kill whose window was not found counts too.
    return (int)std::max(g_moved.size(), (size_t)g_kills);
}
