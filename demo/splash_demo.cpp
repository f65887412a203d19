// An application that starts up the way many do: a splash screen while it
// loads, then its main window. It watches what becomes of the splash screen
// and of the runner's tray icon, and writes that down in plain words, ending
// with a line "ready" once its main window is up.
//   zentrova_splash_demo.exe REPORT_FILE [HOLD_MS]
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop_probe.h"

#define SPLASH_CLASS "ZentrovaSplashDemoSplash"
#define MAIN_CLASS "ZentrovaSplashDemoMain"
#define MAIN_TITLE "Splash Demo"

enum {
    kSplashWidth = 400,
    kSplashHeight = 300,
    kMainWidth = 480,
    kMainHeight = 240,
    kRunnerWaitMs = 10000,
    kTrayWaitMs = 5000,
    kShownMs = 300,     // how long the splash is up before it is looked at
    kFlashWaitMs = 600, // within the second the icon stays red
    kLoadingMs = 2000,
    kDefaultHoldMs = 4000,
    kIconPixels = 20,   // fewer is a stray pixel, not an icon
};

HINSTANCE g_hInstance;
HBRUSH g_splashBrush;
HFONT g_titleFont;
FILE *g_report;
RECT g_createdRect; // before anything had a chance to move it
char g_summary[2048];

// One line to the report file and to the main window's text.
static void Report(const char *format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(g_report, "%s\n", line);
    fflush(g_report);
    size_t used = strlen(g_summary);
    snprintf(g_summary + used, sizeof g_summary - used, "%s\r\n", line);
}

// Dispatches messages for the given time; false once the application is told to quit.
static bool PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return false;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return true;
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

static bool WaitForRunner()
{
    DWORD start = GetTickCount();
    do {
        if (!FindTopLevel("ZentrovaRunnerClass", "ZentrovaRunner").empty())
            return true;
        PumpFor(100);
    } while (GetTickCount() - start < kRunnerWaitMs);
    return false;
}

static bool IsRed(const TrayColours &c) { return c.red > kIconPixels && c.yellow == 0; }
static bool IsYellow(const TrayColours &c) { return c.yellow > kIconPixels && c.red == 0; }

// Samples the notification area until wanted() holds or ms have passed; the last sample.
static TrayColours WaitForTray(bool (*wanted)(const TrayColours &), DWORD ms)
{
    DWORD start = GetTickCount();
    TrayColours c = SampleTray();
    while (!wanted(c) && GetTickCount() - start < ms) {
        PumpFor(50);
        c = SampleTray();
    }
    return c;
}

static const char *TrayWord(const TrayColours &c)
{
    if (IsRed(c))
        return "red";
    if (IsYellow(c))
        return "yellow";
    if (c.red == 0 && c.yellow == 0)
        return "not there";
    return "part red, part yellow";
}

static bool SameSize(const RECT &a, const RECT &b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

static bool OnScreen(const RECT &r)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT overlap;
    return IntersectRect(&overlap, &r, &screen) != 0;
}

static HWND AddStatic(HWND parent, const char *text, DWORD style, int x, int y, int w, int h,
                      HFONT font)
{
    HWND child = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                 parent, NULL, g_hInstance, NULL);
    if (child != NULL)
        SendMessageA(child, WM_SETFONT, (WPARAM)font, FALSE);
    return child;
}

static LRESULT OnSplashCreate(HWND hwnd)
{
    GetWindowRect(hwnd, &g_createdRect);
    // Pictures and words only, as splash screens have.
    HFONT plain = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    AddStatic(hwnd, "", SS_ETCHEDFRAME, 12, 12, kSplashWidth - 24, kSplashHeight - 24, plain);
    AddStatic(hwnd, "Splash Demo", SS_CENTER, 20, 90, kSplashWidth - 40, 60, g_titleFont);
    AddStatic(hwnd, "Splash Demo is starting...", SS_CENTER, 20, 200, kSplashWidth - 40, 20,
              plain);
    return 0;
}

static LRESULT OnSplashCtlColorStatic(HDC dc)
{
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(24, 40, 88));
    return (LRESULT)g_splashBrush;
}

static LRESULT CALLBACK SplashWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnSplashCreate(hwnd);
    case WM_CTLCOLORSTATIC:
        return OnSplashCtlColorStatic((HDC)wParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static LRESULT OnMainCreate(HWND hwnd)
{
    char text[sizeof g_summary + 64];
    snprintf(text, sizeof text, "Splash Demo is up and running. While it started:\r\n\r\n%s",
             g_summary);
    RECT client;
    GetClientRect(hwnd, &client);
    AddStatic(hwnd, text, SS_LEFT, 16, 16, client.right - 32, client.bottom - 32,
              (HFONT)GetStockObject(DEFAULT_GUI_FONT));
    return 0;
}

static LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnMainCreate(hwnd);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static bool RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SplashWndProc;
    wc.hInstance = g_hInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_APPSTARTING);
    wc.hbrBackground = g_splashBrush;
    wc.lpszClassName = SPLASH_CLASS;
    if (!RegisterClassA(&wc))
        return false;
    wc.lpfnWndProc = MainWndProc;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = MAIN_CLASS;
    return RegisterClassA(&wc) != 0;
}

static HWND CreateCentred(DWORD exStyle, const char *className, const char *title, DWORD style,
                          int width, int height)
{
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, NULL, NULL,
                           g_hInstance, NULL);
}

static void ReportPlacement(const RECT &before, const RECT &after, bool open)
{
    const char *state = open ? "still open" : "no longer open";
    if (OnScreen(after)) {
        Report("After it was shown it was at (%ld,%ld)-(%ld,%ld), still on screen: not "
               "suppressed.",
               after.left, after.top, after.right, after.bottom);
        return;
    }
    Report("After it was shown it was at (%ld,%ld)-(%ld,%ld): moved off-screen, %s, %s.",
           after.left, after.top, after.right, after.bottom,
           SameSize(after, g_createdRect) ? "same size" : "size changed", state);
    if (!OnScreen(before))
        Report("It was moved as soon as it was created, before it was shown.");
}

static void ReportTray(bool runner, const TrayColours &before, const TrayColours &flash,
                       const TrayColours &after, DWORD afterMs, bool moved)
{
    if (FindWindowA("Shell_TrayWnd", NULL) == NULL) {
        Report("Tray icon: this desktop has no taskbar to show it.");
        return;
    }
    if (!runner && !IsRed(flash) && !IsYellow(flash)) {
        Report("Tray icon: none in the notification area.");
        return;
    }
    if (IsRed(flash) && IsYellow(after)) {
        Report("Tray icon: %s before, red right after the %s, yellow again %lu.%lu s later.",
               TrayWord(before), moved ? "move" : "splash screen was shown",
               (unsigned long)afterMs / 1000, (unsigned long)afterMs % 1000 / 100);
        return;
    }
    Report("Tray icon: %s before, %s right after the splash screen was shown, %s %lu.%lu s later.",
           TrayWord(before), TrayWord(flash), TrayWord(after), (unsigned long)afterMs / 1000,
           (unsigned long)afterMs % 1000 / 100);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    g_hInstance = hInstance;
    if (__argc < 2 || __argc > 3)
        return 2;
    DWORD holdMs = __argc == 3 ? (DWORD)strtoul(__argv[2], NULL, 10) : (DWORD)kDefaultHoldMs;
    g_report = fopen(__argv[1], "w");
    if (g_report == NULL)
        return 2;

    g_splashBrush = CreateSolidBrush(RGB(24, 40, 88));
    g_titleFont = CreateFontA(-40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, "Arial");
    if (!RegisterClasses()) {
        Report("Could not register the window classes.");
        fclose(g_report);
        return 1;
    }

    bool runner = WaitForRunner();
    if (runner)
        Report("ZentrovaRunner is running.");
    else
        Report("No ZentrovaRunner was running (waited %d s): nothing to move the splash screen.",
               kRunnerWaitMs / 1000);
    TrayColours before = runner ? WaitForTray(IsYellow, kTrayWaitMs) : SampleTray();

    HWND splash = CreateCentred(WS_EX_TOOLWINDOW, SPLASH_CLASS, MAIN_TITLE, WS_POPUP,
                                kSplashWidth, kSplashHeight);
    if (splash == NULL) {
        Report("Could not create the splash screen.");
        fclose(g_report);
        return 1;
    }
    const RECT &c = g_createdRect;
    Report("Splash screen created centred at (%ld,%ld)-(%ld,%ld).", c.left, c.top, c.right,
           c.bottom);
    RECT beforeShow, shown;
    GetWindowRect(splash, &beforeShow);
    ShowWindow(splash, SW_SHOWNORMAL);
    UpdateWindow(splash);
    DWORD shownAt = GetTickCount();
    PumpFor(kShownMs);
    GetWindowRect(splash, &shown);
    ReportPlacement(beforeShow, shown, IsWindow(splash) && IsWindowVisible(splash));

    TrayColours flash = WaitForTray(IsRed, runner ? kFlashWaitMs : 0);
    DWORD flashAt = GetTickCount();
    DWORD loaded = GetTickCount() - shownAt;
    if (loaded < kLoadingMs)
        PumpFor(kLoadingMs - loaded);
    TrayColours after = WaitForTray(IsYellow, runner ? kTrayWaitMs - kLoadingMs : 0);
    ReportTray(runner, before, flash, after, GetTickCount() - flashAt, !OnScreen(shown));
    DestroyWindow(splash);

    HWND main = CreateCentred(0, MAIN_CLASS, MAIN_TITLE, WS_OVERLAPPEDWINDOW, kMainWidth,
                              kMainHeight);
    if (main == NULL) {
        Report("Could not create the main window.");
        fclose(g_report);
        return 1;
    }
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    SetForegroundWindow(main);
    PumpFor(200);
    Report("Main window shown.");
    fprintf(g_report, "ready\n");
    fclose(g_report);

    if (PumpFor(holdMs))
        DestroyWindow(main);
    DeleteObject(g_titleFont);
    DeleteObject(g_splashBrush);
    return 0;
}
