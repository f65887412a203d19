// Takes the user guide's pictures of the real runner: starts it beside this
// program, opens its About box, menu and configuration dialog the way a user
// would, and saves each scene as a BMP file. Usage: zentrova_screenshots OUTDIR
// For the Moved windows menu it runs a copy of itself as OUTDIR\photoview.exe
// with "-splash", which shows a splash screen for the runner to move; for Left
// on screen one as OUTDIR\lander.exe with "-stays", whose splash screen has a
// button and stays.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "desktop_probe.h"

namespace {

const UINT WM_TRAYNOTIFY = WM_USER + 2;
const UINT kTrayIconId = 101;
const char kKey[] = "Software\\Orbelline\\Zentrova\\Ignorees";
const char *const kEntries[] = {
    "C:\\Program Files\\Acme Studio\\studio.exe",
    "C:\\Program Files\\PhotoView\\photoview.exe",
    "C:\\Games\\Lunar Lander\\lander.exe",
    "D:\\Tools\\Mapper\\MAPPER.EXE",
};

std::string g_outDir;
DWORD g_runnerId;

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

HWND WaitForVisible(const char *className, const char *title)
{
    for (int i = 0; i < 200; ++i) {
        for (HWND hwnd : FindTopLevel(className, title, g_runnerId))
            if (IsWindowVisible(hwnd))
                return hwnd;
        Pump(50);
    }
    return NULL;
}

bool Save(const RECT &area, const char *name)
{
    std::string path = g_outDir + "\\" + name + ".bmp";
    bool ok = SaveScreenBmp(area, path.c_str());
    printf("%s %s\n", ok ? "saved" : "could not save", path.c_str());
    return ok;
}

RECT Grown(HWND hwnd, int margin)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    InflateRect(&r, margin, margin);
    IntersectRect(&r, &r, &screen);
    return r;
}

void StoreExampleList()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    DWORD n = sizeof kEntries / sizeof kEntries[0];
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&n, sizeof n);
    for (DWORD i = 0; i < n; ++i) {
        char name[32];
        snprintf(name, sizeof name, "ignoree%lu", (unsigned long)i);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)kEntries[i],
                       (DWORD)strlen(kEntries[i]) + 1);
    }
    RegCloseKey(key);
}

HWND OpenMenuAt(HWND main, POINT at)
{
    // The pointer moves asynchronously under X: wait until it is there.
    for (int i = 0; i < 20; ++i) {
        SetCursorPos(at.x, at.y);
        Pump(50);
        POINT now;
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y)
            break;
    }
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = WaitForVisible("#32768", NULL);
    Pump(300);
    return menu;
}

void Choose(HWND menu, int downs)
{
    if (downs == 0)
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    for (int i = 0; i < downs; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// The stand-in program's splash screen, shown until its input closes.
int ShowSplash()
{
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    int x = (screen.left + screen.right) / 2 - 150, y = (screen.top + screen.bottom) / 2 - 100;
    HWND splash = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "PhotoView",
                                  WS_POPUP | SS_BLACKRECT, x, y, 300, 200, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ShowWindow(splash, SW_SHOWNOACTIVATE);
    char c;
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, NULL) && got == 1) {
    }
    return 0;
}

// A splash screen with a button, which no rule of its shape takes: made at
// the side, given its button, then centred.
int ShowStayingSplash()
{
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    int x = (screen.left + screen.right) / 2 - 160, y = (screen.top + screen.bottom) / 2 - 110;
    HINSTANCE instance = GetModuleHandleA(NULL);
    HWND splash = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "Lunar Lander",
                                  WS_POPUP | SS_GRAYRECT, 0, 0, 320, 220, NULL, NULL, instance,
                                  NULL);
    CreateWindowExA(0, "Button", "Skip intro", WS_CHILD | WS_VISIBLE, 110, 170, 100, 30, splash,
                    NULL, instance, NULL);
    SetWindowPos(splash, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(splash, SW_SHOWNOACTIVATE);
    char c;
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, NULL) && got == 1) {
    }
    return 0;
}

// Starts OUTDIR\name, a copy of this program, with a splash screen of the
// kind flag asks for; the process and the pipe that keeps it running, or null.
HANDLE StartCopy(const char *name, const char *flag, HANDLE *keepAlive)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string copy = g_outDir + "\\" + name;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE childIn;
    if (!CopyFileA(self, copy.c_str(), FALSE) || !CreatePipe(&childIn, keepAlive, &inherit, 0))
        return NULL;
    SetHandleInformation(*keepAlive, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + copy + "\" " + flag;
    BOOL started = CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    CloseHandle(childIn);
    if (!started)
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Ends a copy started by StartCopy, if it was, and deletes its file.
void EndCopy(HANDLE process, HANDLE keepAlive, const char *name)
{
    if (process == NULL)
        return;
    CloseHandle(keepAlive);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(process);
    DeleteFileA((g_outDir + "\\" + name).c_str());
}

// The screen area that the open menus cover, with a margin, to the corner.
RECT MenusToCorner(const RECT &screen)
{
    RECT area = screen;
    bool any = false;
    for (HWND menu : FindTopLevel("#32768", NULL, g_runnerId)) {
        if (!IsWindowVisible(menu))
            continue;
        RECT r = Grown(menu, 40);
        if (!any)
            area = r;
        UnionRect(&area, &area, &r);
        any = true;
    }
    area.right = screen.right;
    area.bottom = screen.bottom;
    return area;
}

// Once the copy just started has shown its window and the runner has taken
// note, opens the tray menu, goes ups items up from Quit, opens that submenu
// and its first entry's, and saves the menus as name.
bool SaveSubmenu(HWND main, POINT icon, const RECT &screen, int ups, const char *name)
{
    Pump(1500);
    HWND menu = OpenMenuAt(main, icon);
    if (menu == NULL)
        return false;
    for (int i = 0; i < ups; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
    Pump(300);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
    Pump(500);
    bool saved = Save(MenusToCorner(screen), name);
    for (int i = 0; i < 3; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(300);
    return saved;
}

int Fail(const char *what)
{
    fprintf(stderr, "screenshots: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], "-splash") == 0)
        return ShowSplash();
    if (argc == 2 && strcmp(argv[1], "-stays") == 0)
        return ShowStayingSplash();
    if (argc != 2)
        return Fail("usage: zentrova_screenshots OUTDIR");
    g_outDir = argv[1];
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string runnerPath(self);
    runnerPath = runnerPath.substr(0, runnerPath.find_last_of('\\') + 1) + "ZentrovaRunner.exe";

    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    StoreExampleList();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + runnerPath + "\"";
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return Fail("cannot start the runner");
    g_runnerId = pi.dwProcessId;
    int result = 1;
    HANDLE photoView = NULL, keepPhotoView = NULL, lander = NULL, keepLander = NULL;
    HWND main = NULL;
    POINT icon = {};
    for (int i = 0; i < 200 && (main == NULL || !FindTrayIcon(&icon)); ++i) {
        std::vector<HWND> found = FindTopLevel("ZentrovaRunnerClass", "ZentrovaRunner", g_runnerId);
        main = found.empty() ? NULL : found[0];
        Pump(50);
    }
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    HWND about = NULL, menu = NULL, dialog = NULL;
    if (main == NULL || !FindTrayIcon(&icon)) {
        Fail("the runner shows no tray icon");
        goto done;
    }

    // The whole desktop: the About box open, and the menu over the icon.
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    about = WaitForVisible("#32770", "About...");
    if (about == NULL) {
        Fail("no About box");
        goto done;
    }
    Pump(500); // painted
    Save(Grown(about, 0), "about");
    menu = OpenMenuAt(main, icon);
    if (menu == NULL) {
        Fail("no tray menu");
        goto done;
    }
    Save(screen, "desktop");
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(300);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    Pump(300);

    // The menu with a moved splash screen's entry open under Moved windows,
    // then with one that stayed open under Left on screen.
    photoView = StartCopy("photoview.exe", "-splash", &keepPhotoView);
    if (photoView == NULL || !SaveSubmenu(main, icon, screen, 5, "tray-menu")) {
        Fail("no Moved windows with photoview.exe's splash screen");
        goto done;
    }
    lander = StartCopy("lander.exe", "-stays", &keepLander);
    if (lander == NULL || !SaveSubmenu(main, icon, screen, 4, "left-on-screen")) {
        Fail("no Left on screen with lander.exe's splash screen");
        goto done;
    }

    // The configuration dialog with the example list, one entry selected.
    menu = OpenMenuAt(main, icon);
    if (menu == NULL) {
        Fail("no tray menu");
        goto done;
    }
    Choose(menu, 2);
    dialog = WaitForVisible("#32770", "Configuration..");
    if (dialog == NULL) {
        Fail("no configuration dialog");
        goto done;
    }
    SendMessageA(GetDlgItem(dialog, 1000), LB_SETCURSEL, 1, 0);
    Pump(300);
    Save(Grown(dialog, 0), "config-dialog");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Pump(300);
    result = 0;

done:
    menu = OpenMenuAt(main, icon);
    if (menu != NULL)
        Choose(menu, 0); // Quit
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    EndCopy(photoView, keepPhotoView, "photoview.exe");
    EndCopy(lander, keepLander, "lander.exe");
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    return result;
}
