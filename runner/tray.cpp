#include "tray.h"

#include <shellapi.h>

#include "companion.h"
#include "config_dialog.h"
#include "left_on_screen.h"
#include "moved_windows.h"
#include "pause.h"
#include "resource.h"
#include "runner.h"
#include "sign_in.h"

#define TRAY_ICON_ID 101
#define IDT_FLASH 1
#define FLASH_MS 1000

#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the basic notification record");
static_assert(sizeof(MENUITEMINFOA) == 48, "the menu item record");
#endif

// The runner's one notification-area record; hIcon is the icon shown, owned here.
static NOTIFYICONDATAA g_nid;

// A small icon of the size the system draws small icons at, which grows with
// the display's scaling; without a size of its own the shell would stretch it.
static HICON LoadTrayIcon(UINT iconId)
{
    int width = GetSystemMetrics(SM_CXSMICON), height = GetSystemMetrics(SM_CYSMICON);
    if (width <= 0 || height <= 0)
        width = height = 16;
    return (HICON)LoadImageA(g_hInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, width, height,
                             LR_DEFAULTCOLOR);
}

// The icon and the tooltip shown outside a flash.
static UINT RestingIcon()
{
    return IsPaused() ? IDI_TRAY_PAUSED : IDI_TRAY_NORMAL;
}

static const char *TrayTip()
{
    return IsPaused() ? RUNNER_TITLE " (paused)" : RUNNER_TITLE;
}

void TrayAdd(UINT iconId)
{
    if (!g_showTrayIcon)
        return;
    g_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    g_nid.hWnd = g_hwndMain;
    g_nid.uID = TRAY_ICON_ID;
    g_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_nid.uCallbackMessage = WM_TRAYNOTIFY;
    g_nid.hIcon = LoadTrayIcon(iconId);
    lstrcpynA(g_nid.szTip, TrayTip(), sizeof g_nid.szTip);
    Shell_NotifyIconA(NIM_ADD, &g_nid);
}

void TraySetIcon(UINT iconId)
{
    if (!g_showTrayIcon)
        return;
    HICON old = g_nid.hIcon;
    g_nid.uFlags = NIF_ICON;
    g_nid.hIcon = LoadTrayIcon(iconId);
    Shell_NotifyIconA(NIM_MODIFY, &g_nid);
    if (old != NULL)
        DestroyIcon(old);
}

void TrayShowResting()
{
    if (g_flashTimer != 0) {
        KillTimer(g_hwndMain, g_flashTimer);
        g_flashTimer = 0;
    }
    if (!g_showTrayIcon)
        return;
    lstrcpynA(g_nid.szTip, TrayTip(), sizeof g_nid.szTip);
    TraySetIcon(RestingIcon());
    g_nid.uFlags = NIF_TIP;
    Shell_NotifyIconA(NIM_MODIFY, &g_nid);
}

void TrayRemove()
{
    if (!g_showTrayIcon)
        return;
    g_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    g_nid.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &g_nid);
    if (g_nid.hIcon != NULL) {
        DestroyIcon(g_nid.hIcon);
        g_nid.hIcon = NULL;
    }
}

void TrayRestore()
{
    if (!g_showTrayIcon || g_nid.hIcon == NULL)
        return;
    g_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconA(NIM_ADD, &g_nid);
}

void OnSplashKilled()
{
    TraySetIcon(IDI_TRAY_KILLED);
    // A burst of kills keeps the icon red until a second after the last.
    if (g_flashTimer != 0) {
        KillTimer(g_hwndMain, g_flashTimer);
        g_flashTimer = 0;
    }
    g_flashTimer = SetTimer(g_hwndMain, IDT_FLASH, FLASH_MS, NULL);
    if (g_showTrayIcon)
        NoteMovedWindows();
}

void OnFlashTimer(HWND hwnd, UINT_PTR timerId)
{
    if (timerId != g_flashTimer || !g_showTrayIcon)
        return;
    TraySetIcon(RestingIcon());
    KillTimer(hwnd, timerId);
    g_flashTimer = 0;
}

HMENU BuildTrayMenu()
{
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return NULL;
    MENUITEMINFOA about = {};
    about.cbSize = sizeof about;
    about.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    about.fType = MFT_STRING;
    about.fState = MFS_DEFAULT; // drawn bold
    about.wID = IDM_ABOUT;
    about.dwTypeData = (LPSTR) "About...";
    InsertMenuItemA(menu, 0, TRUE, &about);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, IDM_CONFIG, "Config...");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMovedWindowsMenu(menu);
    AppendLeftOnScreenMenu(menu);
    AppendMenuA(menu, MF_STRING | (SignInIsOn() ? MF_CHECKED : MF_UNCHECKED), IDM_SIGN_IN,
                "Start at sign-in");
    AppendMenuA(menu, MF_STRING | (IsPaused() ? MF_CHECKED : MF_UNCHECKED), IDM_PAUSE, "Pause");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(menu, MF_STRING, IDM_QUIT, "Quit");
    return menu;
}

static void ShowTrayMenu(HWND hwnd)
{
    HMENU menu = BuildTrayMenu();
    if (menu == NULL)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(hwnd);
    UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN, cursor.x, cursor.y,
                                        0, hwnd, NULL);
    PostMessageA(hwnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
    switch (command) {
    case IDM_ABOUT:
        ShowAbout();
        break;
    case IDM_CONFIG:
        ShowConfigDialog();
        break;
    case IDM_SIGN_IN:
        ToggleSignIn();
        break;
    case IDM_PAUSE:
        TogglePause();
        break;
    case IDM_QUIT:
        PostMessageA(hwnd, WM_DESTROY, 0, 0);
        break;
    default:
        if (!OnLeftOnScreenCommand(command))
            OnMovedWindowsCommand(command);
        break;
    }
}

void OnTrayNotify(HWND hwnd, UINT iconId, UINT mouseMessage)
{
    if (iconId != TRAY_ICON_ID || !g_showTrayIcon)
        return;
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        ShowAbout();
        break;
    case WM_RBUTTONDOWN:
        ShowTrayMenu(hwnd);
        break;
    }
}

void ShowAbout()
{
    char text[512];
    wsprintfA(text, "%s%s",
              "Zentrova v1.4\n"
              "Made by Orbelline\n"
              "www.orbelline.com\n"
              "\n",
              CompanionNote());
    MessageBoxA(NULL, text, "About...", MB_ICONINFORMATION);
}
