// Menus walked as a person walks them: the bar's, the system menu, context
// menus, and menus opened in the middle of the screen.
#include "sweep.h"

static HWND OnlyMenu()
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
static int HighlightRow(HWND menu)
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
static int RowOtherThan(int from)
{
    int row = -1;
    PumpUntil([&] { return (row = HighlightRow(OnlyMenu())) >= 0 && row != from; }, 200);
    return row != from ? row : -1;
}

static bool SameMenu(HWND menu, const RECT &rect)
{
    RECT now;
    return OnlyMenu() == menu && GetWindowRect(menu, &now) && EqualRect(&now, &rect);
}

// Tries Right on every item of the open menu: a submenu opens and is closed
// again; a menu-bar menu gives way to its neighbour instead, and Left brings
// it back with its first item selected.
static void WalkOpenMenu()
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

bool RightClickMenu(POINT at, bool walk, RECT *menuRect)
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
