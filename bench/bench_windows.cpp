// The windows the benchmark sends WM_MOVE to, and the three hook setups.
#include "bench.h"

#include <string.h>

#include "hook.h"
#include "splash_rules.h"
#include "zentrova.h"

const char *const g_kindNames[kKinds] = {"captioned", "off-centre popup", "ignored splash",
                                         "captioned, shown", "popup, 2nd monitor"};
const char *const g_setupNames[kSetups] = {"no hook", "empty hook", "Zentrova"};

static const UINT kMsgKilled = WM_APP + 0x51;
static const UINT kMsgAux = WM_USER + 1;
static const char kWindowClass[] = "ZentrovaBenchWindow";
static const char kNotifyClass[] = "ZentrovaBenchNotify";

int g_kindCount = kKinds - 1;
HWND g_windows[kKinds];
RECT g_startRects[kKinds];
HWND g_splashChild;
unsigned g_killedCount;
static HWND g_notify;
static HMODULE g_emptyModule;
static HOOKPROC g_emptyProc;
static HHOOK g_emptyHook;
static bool g_zentrovaInstalled;

static LRESULT CALLBACK BenchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgKilled) {
        g_killedCount++;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool SameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintRect(FILE *out, const char *what, const RECT &r)
{
    fprintf(out, "%s (%ld,%ld)-(%ld,%ld)", what, (long)r.left, (long)r.top, (long)r.right,
           (long)r.bottom);
}

HWND CreateSplashShaped(HWND *child)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    int x = (screen.left + screen.right) / 2 - kSplashWidth / 2;
    int y = (screen.top + screen.bottom) / 2 - kSplashHeight / 2;
    HWND splash = CreateWindowExA(0, kWindowClass, "", WS_POPUP, x, y, kSplashWidth,
                                  kSplashHeight, NULL, NULL, instance, NULL);
    if (splash == NULL)
        return NULL;
    *child = CreateWindowExA(0, "Static", "Loading...", WS_CHILD | WS_VISIBLE, 20, 20, 200, 20,
                             splash, NULL, instance, NULL);
    if (*child != NULL)
        return splash;
    DestroyWindow(splash);
    return NULL;
}

static BOOL CALLBACK NoteSecondMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY) != 0)
        return TRUE;
    *(RECT *)context = info.rcMonitor;
    return FALSE;
}

// An off-centre popup near the top left corner of a monitor other than the
// primary; null when there is none.
static HWND CreateOnSecondMonitor(HINSTANCE instance, POINT *corner)
{
    RECT second = {0, 0, 0, 0};
    EnumDisplayMonitors(NULL, NULL, NoteSecondMonitor, (LPARAM)&second);
    if (second.right == second.left)
        return NULL;
    corner->x = second.left + 10;
    corner->y = second.top + 10;
    return CreateWindowExA(0, kWindowClass, "", WS_POPUP, corner->x, corner->y, 200, 100, NULL,
                           NULL, instance, NULL);
}

// Made and shown before any hook exists, so they start where they were put.
bool CreateWindows()
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = BenchWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc))
        return false;
    wc.lpfnWndProc = NotifyProc;
    wc.lpszClassName = kNotifyClass;
    if (!RegisterClassA(&wc))
        return false;

    g_notify = CreateWindowExA(0, kNotifyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, instance,
                               NULL);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    g_windows[kCaptioned] = CreateWindowExA(0, kWindowClass, "Zentrova bench: captioned",
                                            WS_OVERLAPPEDWINDOW, 60, 60, 320, 240, NULL, NULL,
                                            instance, NULL);
    g_windows[kOffCentre] = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 10, 10, 200, 100, NULL,
                                            NULL, instance, NULL);
    g_windows[kSplash] = CreateSplashShaped(&g_splashChild);
    g_windows[kShown] = g_windows[kCaptioned];
    POINT corner = {0, 0};
    g_windows[kSecondMonitor] = CreateOnSecondMonitor(instance, &corner);
    g_kindCount = g_windows[kSecondMonitor] != NULL ? kKinds : kKinds - 1;
    if (g_notify == NULL || g_windows[kCaptioned] == NULL || g_windows[kOffCentre] == NULL ||
        g_windows[kSplash] == NULL)
        return false;
    for (int k = 0; k < g_kindCount; ++k) {
        ShowWindow(g_windows[k], SW_SHOWNOACTIVATE);
        UpdateWindow(g_windows[k]);
    }
    PumpPending();
    for (int k = 0; k < g_kindCount; ++k)
        GetWindowRect(g_windows[k], &g_startRects[k]);

    // Each kind is what it is only by its geometry: check it rather than trust it.
    const RECT &s = g_startRects[kSplash];
    const RECT &o = g_startRects[kOffCentre];
    bool splashCentred = s.left + s.right == screen.left + screen.right &&
                         s.top + s.bottom == screen.top + screen.bottom &&
                         s.right - s.left == kSplashWidth && s.bottom - s.top == kSplashHeight;
    bool popupPlaced = o.left == 10 && o.top == 10 && o.right == 210 && o.bottom == 110 &&
                       (g_kindCount < kKinds || (g_startRects[kSecondMonitor].left == corner.x &&
                                                 g_startRects[kSecondMonitor].top == corner.y));
    if (!splashCentred || !popupPlaced) {
        fprintf(stderr, "bench: windows not where they were put: ");
        PrintRect(stderr, "screen", screen);
        PrintRect(stderr, ", splash", s);
        PrintRect(stderr, ", popup", o);
        fprintf(stderr, "\n");
        return false;
    }
    return true;
}

void DestroyWindows()
{
    g_windows[kShown] = NULL; // the captioned window, once
    for (int k = 0; k < kKinds; ++k) {
        if (g_windows[k] != NULL)
            DestroyWindow(g_windows[k]);
        g_windows[k] = NULL;
    }
    if (g_notify != NULL)
        DestroyWindow(g_notify);
    g_notify = NULL;
}

UINT KindMessage(int kind, WPARAM *wParam)
{
    *wParam = kind == kShown ? TRUE : 0;
    return kind == kShown ? WM_SHOWWINDOW : WM_MOVE;
}

bool StoreBenchRules(unsigned count)
{
    // Kept for the whole run: the table lives while a handle does.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                        sizeof(SplashRuleTable), ZENTROVA_RULES_MAPPING_NAME);
    SplashRuleTable *table =
        mapping != NULL ? (SplashRuleTable *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0,
                                                          sizeof(SplashRuleTable))
                        : NULL;
    if (table == NULL || count > kMaxSplashRules)
        return false;
    for (unsigned i = 0; i < count; ++i) {
        table->rules[i].width = 123 + (int32_t)i;
        table->rules[i].height = 45;
        lstrcpynA(table->rules[i].className, kWindowClass, kRuleClassSize);
        lstrcpynA(table->rules[i].path, g_exePath, kPathSize);
    }
    table->count = count;
    return true;
}

// ---- Hook setups ----

bool LoadEmptyHook()
{
    char path[MAX_PATH];
    lstrcpynA(path, g_exePath, sizeof path);
    char *slash = strrchr(path, '\\');
    if (slash == NULL)
        return false;
    slash[1] = 0;
    if (strlen(path) + sizeof "zentrova_empty_hook.dll" > sizeof path)
        return false;
    strcat(path, "zentrova_empty_hook.dll");
    g_emptyModule = LoadLibraryA(path);
    if (g_emptyModule == NULL) {
        fprintf(stderr, "bench: cannot load %s (error %lu)\n", path, GetLastError());
        return false;
    }
    g_emptyProc = (HOOKPROC)(void *)GetProcAddress(g_emptyModule, "EmptyCallWndProc");
    if (g_emptyProc == NULL) {
        fprintf(stderr, "bench: %s exports no EmptyCallWndProc\n", path);
        return false;
    }
    return true;
}

bool InstallSetup(int setup)
{
    if (setup == kEmptyHook) {
        // On the chain this bitness's library hooks, for a like comparison.
        g_emptyHook = SetWindowsHookExA(kHookType, g_emptyProc, g_emptyModule, 0);
        return g_emptyHook != NULL;
    }
    if (setup == kZentrova) {
        g_zentrovaInstalled = ZentrovaSetHooks(g_notify, kMsgKilled, kMsgAux) != FALSE;
        return g_zentrovaInstalled;
    }
    return true;
}

void RemoveSetups()
{
    if (g_emptyHook != NULL)
        UnhookWindowsHookEx(g_emptyHook);
    g_emptyHook = NULL;
    if (g_zentrovaInstalled)
        ZentrovaRemoveHooks();
    g_zentrovaInstalled = false;
}

bool InstallOrSay(int setup)
{
    if (InstallSetup(setup))
        return true;
    fprintf(stderr, "bench: could not install the %s setup (error %lu)\n", g_setupNames[setup],
            GetLastError());
    return false;
}
