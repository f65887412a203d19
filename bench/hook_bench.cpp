// What Zentrova's WH_CALLWNDPROC hook costs each WM_MOVE it sees, next to no
// hook and a hook that only passes the message on, for three kinds of window.
// With --calls, what the platform calls behind those costs take one by one;
// with --marks, each call framed by marker requests, so that a wineserver
// trace tells how many server round trips each one makes.
#include <windows.h>

#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ignore_list.h"
#include "splash_shape.h"
#include "zentrova.h"

enum { kCaptioned, kOffCentre, kSplash, kKinds };
enum { kNoHook, kEmptyHook, kZentrova, kSetups };

enum {
    kDefaultRounds = 7,
    kMaxRounds = 51,
    kSlices = 6, // per round; a multiple of kSetups, so each setup takes each turn alike
    kListSize = 100,
    kSplashWidth = 400,
    kSplashHeight = 300,
};

static const char *const g_kindNames[kKinds] = {"captioned", "off-centre popup", "ignored splash"};
static const char *const g_setupNames[kSetups] = {"no hook", "empty hook", "Zentrova"};

static const UINT kMsgKilled = WM_APP + 0x51;
static const UINT kMsgAux = WM_USER + 1;
static const char kWindowClass[] = "ZentrovaBenchWindow";
static const char kNotifyClass[] = "ZentrovaBenchNotify";

static HWND g_windows[kKinds];
static RECT g_startRects[kKinds];
static HWND g_splashChild;
static HWND g_notify;
static unsigned g_killedCount;
static char g_exePath[MAX_PATH];
static char g_listLast[MAX_PATH]; // what the list holds at its last index
static HMODULE g_emptyModule;
static HOOKPROC g_emptyProc;
static HHOOK g_emptyHook;
static bool g_zentrovaInstalled;
static double g_ticksPerSecond;

// ---- The ignore-list key as it was before the run, put back afterwards ----

enum { kSavedValues = 512, kSavedNameSize = 256, kSavedDataSize = 1024 };

struct SavedValue {
    char name[kSavedNameSize];
    DWORD type;
    DWORD size;
    BYTE data[kSavedDataSize];
};

static SavedValue g_saved[kSavedValues];
static DWORD g_savedCount;
static bool g_keySaved;      // the key's state was recorded, so it must be put back
static bool g_keyExisted;
static bool g_vendorExisted; // Software\Orbelline
static bool g_productExisted; // Software\Orbelline\Zentrova

static const char kVendorKey[] = "Software\\Orbelline";
static const char kProductKey[] = "Software\\Orbelline\\Zentrova";

static bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Records the user's list so that it can be restored exactly; false when it
// holds something this program could not put back.
static bool SaveIgnoreKey()
{
    g_vendorExisted = KeyExists(kVendorKey);
    g_productExisted = KeyExists(kProductKey);
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        g_keyExisted = false;
        g_keySaved = true;
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        fprintf(stderr, "bench: cannot open HKCU\\%s (error %ld)\n", IGNORE_LIST_KEY, rc);
        return false;
    }
    DWORD subkeys = 0;
    bool ok = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL,
                               NULL, NULL) == ERROR_SUCCESS &&
              subkeys == 0;
    g_savedCount = 0;
    for (DWORD i = 0; ok; ++i) {
        if (i == kSavedValues) {
            ok = false;
            break;
        }
        SavedValue *v = &g_saved[i];
        DWORD nameSize = sizeof v->name;
        v->size = sizeof v->data;
        rc = RegEnumValueA(key, i, v->name, &nameSize, NULL, &v->type, v->data, &v->size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            ok = false;
        else
            g_savedCount = i + 1;
    }
    RegCloseKey(key);
    if (!ok) {
        fprintf(stderr, "bench: HKCU\\%s holds more than this program can restore; "
                        "run it in a prefix of its own\n", IGNORE_LIST_KEY);
        return false;
    }
    g_keyExisted = true;
    g_keySaved = true;
    return true;
}

static bool RestoreIgnoreKey()
{
    if (!g_keySaved)
        return true;
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    bool ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    if (g_keyExisted) {
        HKEY key;
        ok = RegCreateKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, NULL, &key, NULL) == ERROR_SUCCESS;
        for (DWORD i = 0; ok && i < g_savedCount; ++i) {
            const SavedValue *v = &g_saved[i];
            ok = RegSetValueExA(key, v->name, 0, v->type, v->data, v->size) == ERROR_SUCCESS;
        }
        if (ok)
            RegCloseKey(key);
    } else {
        // Only the keys this run created go; a key with subkeys is refused by the call.
        if (!g_productExisted)
            RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
        if (!g_vendorExisted)
            RegDeleteKeyA(HKEY_CURRENT_USER, kVendorKey);
    }
    if (!ok)
        fprintf(stderr, "bench: could not restore HKCU\\%s\n", IGNORE_LIST_KEY);
    else
        g_keySaved = false;
    return ok;
}

static void GetListEntry(unsigned index, char *buffer, unsigned size, void *)
{
    if (index == kListSize - 1)
        lstrcpynA(buffer, g_listLast, (int)size);
    else
        wsprintfA(buffer, "C:\\Program Files\\Bench Vendor %02u\\Application %02u.exe", index,
                  index);
}

// A fresh list of kListSize entries whose last one is last; the key is
// emptied first so that it holds exactly the count and the entries.
static bool WriteBenchList(const char *last)
{
    lstrcpynA(g_listLast, last, sizeof g_listLast);
    LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        return false;
    return WriteIgnoreList(kListSize, GetListEntry, NULL);
}

// ---- Windows ----

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

static void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static bool SameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static void PrintRect(FILE *out, const char *what, const RECT &r)
{
    fprintf(out, "%s (%ld,%ld)-(%ld,%ld)", what, (long)r.left, (long)r.top, (long)r.right,
           (long)r.bottom);
}

// Made and shown before any hook exists, so they start where they were put.
static bool CreateWindows()
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
    int splashX = (screen.left + screen.right) / 2 - kSplashWidth / 2;
    int splashY = (screen.top + screen.bottom) / 2 - kSplashHeight / 2;
    g_windows[kCaptioned] = CreateWindowExA(0, kWindowClass, "Zentrova bench: captioned",
                                            WS_OVERLAPPEDWINDOW, 60, 60, 320, 240, NULL, NULL,
                                            instance, NULL);
    g_windows[kOffCentre] = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 10, 10, 200, 100, NULL,
                                            NULL, instance, NULL);
    g_windows[kSplash] = CreateWindowExA(0, kWindowClass, "", WS_POPUP, splashX, splashY,
                                         kSplashWidth, kSplashHeight, NULL, NULL, instance, NULL);
    if (g_notify == NULL || g_windows[kCaptioned] == NULL || g_windows[kOffCentre] == NULL ||
        g_windows[kSplash] == NULL)
        return false;
    g_splashChild = CreateWindowExA(0, "Static", "Loading...", WS_CHILD | WS_VISIBLE, 20, 20, 200,
                                    20, g_windows[kSplash], NULL, instance, NULL);
    if (g_splashChild == NULL)
        return false;
    for (int k = 0; k < kKinds; ++k) {
        ShowWindow(g_windows[k], SW_SHOWNOACTIVATE);
        UpdateWindow(g_windows[k]);
    }
    PumpPending();
    for (int k = 0; k < kKinds; ++k)
        GetWindowRect(g_windows[k], &g_startRects[k]);

    // Each kind is what it is only by its geometry: check it rather than trust it.
    const RECT &s = g_startRects[kSplash];
    const RECT &o = g_startRects[kOffCentre];
    bool splashCentred = s.left + s.right == screen.left + screen.right &&
                         s.top + s.bottom == screen.top + screen.bottom &&
                         s.right - s.left == kSplashWidth && s.bottom - s.top == kSplashHeight;
    bool popupPlaced = o.left == 10 && o.top == 10 && o.right == 210 && o.bottom == 110;
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

static void DestroyWindows()
{
    for (int k = 0; k < kKinds; ++k) {
        if (g_windows[k] != NULL)
            DestroyWindow(g_windows[k]);
        g_windows[k] = NULL;
    }
    if (g_notify != NULL)
        DestroyWindow(g_notify);
    g_notify = NULL;
}

// ---- Hook setups ----

static bool LoadEmptyHook()
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

static bool InstallSetup(int setup)
{
    if (setup == kEmptyHook) {
        g_emptyHook = SetWindowsHookExA(WH_CALLWNDPROC, g_emptyProc, g_emptyModule, 0);
        return g_emptyHook != NULL;
    }
    if (setup == kZentrova) {
        g_zentrovaInstalled = ZentrovaSetHooks(g_notify, kMsgKilled, kMsgAux) != FALSE;
        return g_zentrovaInstalled;
    }
    return true;
}

static void RemoveSetups()
{
    if (g_emptyHook != NULL)
        UnhookWindowsHookEx(g_emptyHook);
    g_emptyHook = NULL;
    if (g_zentrovaInstalled)
        ZentrovaRemoveHooks();
    g_zentrovaInstalled = false;
}

// ---- Timing ----

static LONGLONG Ticks()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

static double SecondsBetween(LONGLONG start, LONGLONG end)
{
    return (double)(end - start) / g_ticksPerSecond;
}

static LPARAM MovePosition(int kind)
{
    return MAKELPARAM((WORD)g_startRects[kind].left, (WORD)g_startRects[kind].top);
}

static double TimeSends(int kind, unsigned count)
{
    HWND hwnd = g_windows[kind];
    LPARAM position = MovePosition(kind);
    LONGLONG start = Ticks();
    for (unsigned i = 0; i < count; ++i)
        SendMessageA(hwnd, WM_MOVE, 0, position);
    return SecondsBetween(start, Ticks());
}

// How many repetitions make a round of about targetSeconds.
static unsigned CalibrateCount(double (*timeOf)(int, unsigned), int which, double targetSeconds)
{
    unsigned count = 8;
    for (;;) {
        double seconds = timeOf(which, count);
        if (seconds >= targetSeconds / 8 || count >= (1u << 28)) {
            double scaled = seconds > 0 ? count * (targetSeconds / seconds) : count;
            if (scaled < count)
                scaled = count;
            if (scaled > (double)(1u << 30))
                scaled = (double)(1u << 30);
            return (unsigned)scaled;
        }
        count *= 4;
    }
}

static double Median(const double *values, int n)
{
    double sorted[kMaxRounds];
    for (int i = 0; i < n; ++i) {
        int j = i;
        for (; j > 0 && sorted[j - 1] > values[i]; --j)
            sorted[j] = sorted[j - 1];
        sorted[j] = values[i];
    }
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

static void MinMax(const double *values, int n, double *low, double *high)
{
    *low = *high = values[0];
    for (int i = 1; i < n; ++i) {
        if (values[i] < *low)
            *low = values[i];
        if (values[i] > *high)
            *high = values[i];
    }
}

// ---- The hooked-message table ----

// Messages per slice; a round sends kSlices of them to each window under each setup.
static unsigned g_sliceCounts[kSetups][kKinds];
static double g_ns[kSetups][kKinds][kMaxRounds];

static bool InstallOrSay(int setup)
{
    if (InstallSetup(setup))
        return true;
    fprintf(stderr, "bench: could not install the %s setup (error %lu)\n", g_setupNames[setup],
            GetLastError());
    return false;
}

// Other processes take the CPU in spells of tens of milliseconds to seconds.
// A round's messages go out in slices, the setups taking turns in rotating
// order, so that such a spell lands on every column alike instead of on one.
static bool MeasureMessages(int rounds)
{
    const double kRoundSeconds = 0.4;
    // Also warms up every path before anything counts.
    for (int setup = 0; setup < kSetups; ++setup) {
        if (!InstallOrSay(setup))
            return false;
        for (int kind = 0; kind < kKinds; ++kind) {
            unsigned count = CalibrateCount(TimeSends, kind, kRoundSeconds);
            g_sliceCounts[setup][kind] = count >= kSlices ? count / kSlices : 1;
        }
        RemoveSetups();
        PumpPending();
    }
    for (int round = 0; round < rounds; ++round) {
        double seconds[kSetups][kKinds] = {};
        for (int slice = 0; slice < kSlices; ++slice) {
            for (int turn = 0; turn < kSetups; ++turn) {
                int setup = (turn + slice + round) % kSetups;
                if (!InstallOrSay(setup))
                    return false;
                for (int kind = 0; kind < kKinds; ++kind)
                    seconds[setup][kind] += TimeSends(kind, g_sliceCounts[setup][kind]);
                RemoveSetups();
                PumpPending();
            }
        }
        for (int setup = 0; setup < kSetups; ++setup)
            for (int kind = 0; kind < kKinds; ++kind)
                g_ns[setup][kind][round] =
                    seconds[setup][kind] * 1e9 / (g_sliceCounts[setup][kind] * kSlices);
    }
    return true;
}

// None of the three may have moved: the captioned and the off-centre windows
// are no splash screens, and the splash's executable is on the list.
static bool CheckNothingMoved()
{
    bool ok = true;
    for (int kind = 0; kind < kKinds; ++kind) {
        RECT now;
        GetWindowRect(g_windows[kind], &now);
        if (!SameRect(now, g_startRects[kind])) {
            fprintf(stderr, "bench: FAILED: the %s window moved during the run: ",
                    g_kindNames[kind]);
            PrintRect(stderr, "from", g_startRects[kind]);
            PrintRect(stderr, " to", now);
            fprintf(stderr, "\n");
            ok = false;
        }
    }
    if (g_killedCount != 0) {
        fprintf(stderr, "bench: FAILED: Zentrova reported %u kills during the run\n",
                g_killedCount);
        ok = false;
    }
    return ok;
}

// The measured hook was Zentrova's, live, and only the list kept the splash
// where it was: with the program off the list the same message moves it.
static bool CheckHookWasLive()
{
    if (!WriteBenchList("C:\\Program Files\\Bench Vendor 99\\Not This Program.exe"))
        return false;
    if (!InstallOrSay(kZentrova))
        return false;
    SendMessageA(g_windows[kSplash], WM_MOVE, 0, MovePosition(kSplash));
    RemoveSetups();
    RECT now;
    GetWindowRect(g_windows[kSplash], &now);
    Rect32 shape = {0, 0, kSplashWidth, kSplashHeight};
    Placement target = OffscreenPlacement(&shape);
    bool moved = now.left == target.x && now.top == target.y &&
                 now.right - now.left == kSplashWidth && g_killedCount == 1;
    if (!moved) {
        fprintf(stderr, "bench: FAILED: with the program off the list, the splash was not moved "
                        "and reported (kills %u, ",
                g_killedCount);
        PrintRect(stderr, "now", now);
        fprintf(stderr, ")\n");
    }
    return moved;
}

static void PrintMessageTable(int rounds)
{
    double median[kSetups][kKinds];
    for (int setup = 0; setup < kSetups; ++setup)
        for (int kind = 0; kind < kKinds; ++kind)
            median[setup][kind] = Median(g_ns[setup][kind], rounds);

    printf("\nns per WM_MOVE sent to a window of this process, median of %d rounds\n"
           "(messages per round calibrated for 0.4 s per figure, sent in %d slices\n"
           "with the setups taking turns)\n\n",
           rounds, kSlices);
    printf("%-18s %12s %12s %12s %16s\n", "window kind", "no hook", "empty hook", "Zentrova",
           "Zentrova/empty");
    for (int kind = 0; kind < kKinds; ++kind)
        printf("%-18s %12.0f %12.0f %12.0f %15.2fx\n", g_kindNames[kind],
               median[kNoHook][kind], median[kEmptyHook][kind], median[kZentrova][kind],
               median[kZentrova][kind] / median[kEmptyHook][kind]);

    printf("\nspread over the rounds, ns (min..max), and messages per round\n\n");
    for (int kind = 0; kind < kKinds; ++kind) {
        printf("%-18s", g_kindNames[kind]);
        for (int setup = 0; setup < kSetups; ++setup) {
            double low, high;
            MinMax(g_ns[setup][kind], rounds, &low, &high);
            printf("  %9.0f..%-9.0f n=%-8u", low, high, g_sliceCounts[setup][kind] * kSlices);
        }
        printf("\n");
    }
    for (int kind = 0; kind < kKinds; ++kind)
        if (median[kEmptyHook][kind] <= median[kNoHook][kind])
            printf("warning: the empty hook cost nothing on the %s window: was it called?\n",
                   g_kindNames[kind]);
    printf("\nchecks: no window moved during the runs, no kill reported; off the list, the "
           "splash was moved\n");
    printf("ratios: captioned %.2fx, off-centre popup %.2fx\n",
           median[kZentrova][kCaptioned] / median[kEmptyHook][kCaptioned],
           median[kZentrova][kOffCentre] / median[kEmptyHook][kOffCentre]);
}

// ---- Platform calls one by one ----

static volatile LONG_PTR g_sink;
static HANDLE g_snapshot;

static void CallGetStyle()
{
    g_sink += GetWindowLongA(g_windows[kOffCentre], GWL_STYLE);
}

static void CallOwnRect()
{
    RECT r;
    GetWindowRect(g_windows[kOffCentre], &r);
    g_sink += r.left;
}

static void CallDesktopWindow()
{
    g_sink += (LONG_PTR)GetDesktopWindow();
}

static void CallScreenRect()
{
    RECT r;
    GetWindowRect(GetDesktopWindow(), &r);
    g_sink += r.right;
}

static void CallScreenClientRect()
{
    RECT r;
    GetClientRect(GetDesktopWindow(), &r);
    g_sink += r.right;
}

static void CallWorkArea()
{
    RECT r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    g_sink += r.bottom;
}

static void CallScreenMetrics()
{
    g_sink += GetSystemMetrics(SM_CXSCREEN) + GetSystemMetrics(SM_CYSCREEN);
}

static void CallPrimaryMonitorInfo()
{
    POINT origin = {0, 0};
    MONITORINFO info;
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    g_sink += info.rcWork.bottom;
}

static void CallClassName()
{
    char name[256];
    g_sink += GetClassNameA(g_windows[kSplash], name, sizeof name);
}

static void CallChildWalk()
{
    for (HWND child = GetWindow(g_windows[kSplash], GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT))
        g_sink += (LONG_PTR)child;
}

static void CallChildClassName()
{
    char name[256];
    g_sink += GetClassNameA(g_splashChild, name, sizeof name);
}

static void CallChildStyle()
{
    g_sink += GetWindowLongA(g_splashChild, GWL_STYLE);
}

static void CallChildText()
{
    char text[256];
    g_sink += GetWindowTextA(g_splashChild, text, sizeof text);
}

static void CallModulePath()
{
    char path[MAX_PATH];
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(g_windows[kSplash], GWLP_HINSTANCE);
    g_sink += GetModuleFileNameA(instance, path, sizeof path);
}

static void CallThreadProcessId()
{
    DWORD processId = 0;
    GetWindowThreadProcessId(g_windows[kSplash], &processId);
    g_sink += processId;
}

static void CallSnapshot()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot != INVALID_HANDLE_VALUE)
        CloseHandle(snapshot);
    g_sink += (LONG_PTR)snapshot;
}

static void CallModuleWalk()
{
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(g_snapshot, &module); more;
         more = Module32Next(g_snapshot, &module))
        g_sink += module.th32ProcessID;
}

static void CallOpenCloseKey()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        g_sink++;
    }
}

static HKEY g_listKey;

static void CallQueryEntry()
{
    char path[MAX_PATH];
    DWORD size = sizeof path;
    g_sink += RegQueryValueExA(g_listKey, "ignoree99", NULL, NULL, (BYTE *)path, &size);
}

static void CallQueryInfoKey()
{
    DWORD values = 0;
    g_sink += RegQueryInfoKeyA(g_listKey, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL,
                               NULL, NULL);
}

static void CallIsIgnored()
{
    g_sink += IsIgnored(g_exePath, "");
}

static void CallSendNoHook()
{
    SendMessageA(g_windows[kCaptioned], WM_MOVE, 0, MovePosition(kCaptioned));
}

static void CallNextHookOutsideChain()
{
    g_sink += CallNextHookEx(NULL, HC_ACTION, 0, 0);
}

struct PlatformCall {
    const char *name;
    void (*call)();
};

enum {
    kStyle,
    kOwnRect,
    kDesktopWindow,
    kScreenRect,
    kScreenClientRect,
    kWorkArea,
    kScreenMetrics,
    kMonitorInfo,
    kClassName,
    kChildWalk,
    kChildClassName,
    kChildStyle,
    kChildText,
    kModulePath,
    kThreadProcessId,
    kSnapshot,
    kModuleWalk,
    kOpenCloseKey,
    kQueryEntry,
    kQueryInfoKey,
    kIsIgnored,
    kSendNoHook,
    kNextHook,
    kCalls
};

static const PlatformCall g_calls[kCalls] = {
    {"GetWindowLongA(own window, GWL_STYLE)", CallGetStyle},
    {"GetWindowRect(own window)", CallOwnRect},
    {"GetDesktopWindow()", CallDesktopWindow},
    {"GetWindowRect(GetDesktopWindow())", CallScreenRect},
    {"GetClientRect(GetDesktopWindow())", CallScreenClientRect},
    {"SystemParametersInfoA(SPI_GETWORKAREA)", CallWorkArea},
    {"GetSystemMetrics(SM_CXSCREEN) + (SM_CYSCREEN)", CallScreenMetrics},
    {"MonitorFromPoint + GetMonitorInfoA (primary)", CallPrimaryMonitorInfo},
    {"GetClassNameA(own window)", CallClassName},
    {"GetWindow GW_CHILD + GW_HWNDNEXT (1 child)", CallChildWalk},
    {"GetClassNameA(own child)", CallChildClassName},
    {"GetWindowLongA(own child, GWL_STYLE)", CallChildStyle},
    {"GetWindowTextA(own child)", CallChildText},
    {"GetWindowLongPtrA(HINSTANCE) + GetModuleFileNameA", CallModulePath},
    {"GetWindowThreadProcessId(own window)", CallThreadProcessId},
    {"CreateToolhelp32Snapshot(MODULE) + CloseHandle", CallSnapshot},
    {"Module32First/Next over one snapshot", CallModuleWalk},
    {"RegOpenKeyExA + RegCloseKey (list key)", CallOpenCloseKey},
    {"RegQueryValueExA(one entry)", CallQueryEntry},
    {"RegQueryInfoKeyA(list key)", CallQueryInfoKey},
    {"IsIgnored: 100 entries, match at the last", CallIsIgnored},
    {"SendMessageA(WM_MOVE, own window), no hook", CallSendNoHook},
    {"CallNextHookEx outside any hook chain", CallNextHookOutsideChain},
};

static double TimeCall(int which, unsigned count)
{
    void (*call)() = g_calls[which].call;
    LONGLONG start = Ticks();
    for (unsigned i = 0; i < count; ++i)
        call();
    return SecondsBetween(start, Ticks());
}

static double g_callNs[kCalls][kMaxRounds];
static unsigned g_callCounts[kCalls];

// The list key and a module snapshot that some calls work on.
static bool OpenCallSubjects()
{
    if (RegOpenKeyExA(HKEY_CURRENT_USER, IGNORE_LIST_KEY, 0, KEY_READ, &g_listKey) !=
        ERROR_SUCCESS)
        return false;
    g_snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (g_snapshot == INVALID_HANDLE_VALUE) {
        RegCloseKey(g_listKey);
        return false;
    }
    return true;
}

static void CloseCallSubjects()
{
    CloseHandle(g_snapshot);
    RegCloseKey(g_listKey);
}

static bool MeasureCalls(int rounds)
{
    if (!OpenCallSubjects())
        return false;
    const double kRoundSeconds = 0.2;
    for (int round = -1; round < rounds; ++round) {
        for (int c = 0; c < kCalls; ++c) {
            if (round < 0) {
                g_callCounts[c] = CalibrateCount(TimeCall, c, kRoundSeconds);
            } else {
                unsigned n = g_callCounts[c];
                g_callNs[c][round] = TimeCall(c, n) * 1e9 / n;
            }
        }
        PumpPending();
    }
    CloseCallSubjects();
    return true;
}

static void PrintCallTable(int rounds)
{
    double median[kCalls];
    printf("\nns per platform call in this process, no hook installed, median of %d rounds\n\n",
           rounds);
    printf("%-52s %12s %21s\n", "call", "ns/call", "min..max");
    for (int c = 0; c < kCalls; ++c) {
        double low, high;
        median[c] = Median(g_callNs[c], rounds);
        MinMax(g_callNs[c], rounds, &low, &high);
        printf("%-52s %12.0f %10.0f..%-10.0f\n", g_calls[c].name, median[c], low, high);
    }
    // What each window kind makes the library call, added up from the medians.
    double captioned = median[kStyle];
    double screen = median[kOwnRect] + median[kDesktopWindow] + median[kScreenRect];
    double popup = captioned + screen + median[kWorkArea];
    double splash = captioned + screen + median[kClassName] + median[kChildWalk] +
                    median[kChildClassName] + median[kChildStyle] + median[kChildText] +
                    median[kModulePath] + median[kThreadProcessId] + median[kSnapshot] +
                    median[kModuleWalk] + median[kIsIgnored];
    printf("\nthe library's calls per message, summed from the medians above:\n");
    printf("  captioned:        %10.0f ns  (style)\n", captioned);
    printf("  off-centre popup: %10.0f ns  (style, own rect, screen rect, work area)\n", popup);
    printf("  ignored splash:   %10.0f ns  (style, rects, class, child, owner, snapshot, "
           "list)\n", splash);
}

// ---- Server requests, counted from a wineserver trace ----

// A named open that finds nothing: one request that stands out in a trace of
// the wineserver (-d1), and frames what the thread asks between two of them.
static void Mark(const char *label)
{
    char name[160];
    wsprintfA(name, "zentrova-bench-mark:%s", label);
    HANDLE h = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (h != NULL)
        CloseHandle(h);
}

static void MarkedCall(const char *label, void (*call)())
{
    // Once unmarked: whatever a first call sets up is not what each call costs.
    call();
    Mark(label);
    call();
    Mark("end");
}

static int g_markedKind;

static void SendToMarkedKind()
{
    SendMessageA(g_windows[g_markedKind], WM_MOVE, 0, MovePosition(g_markedKind));
}

static bool RunMarked()
{
    if (!OpenCallSubjects())
        return false;
    for (int c = 0; c < kCalls; ++c)
        MarkedCall(g_calls[c].name, g_calls[c].call);
    CloseCallSubjects();
    for (int setup = 0; setup < kSetups; ++setup) {
        if (!InstallSetup(setup))
            return false;
        for (int kind = 0; kind < kKinds; ++kind) {
            char label[96];
            wsprintfA(label, "WM_MOVE, %s, %s window", g_setupNames[setup], g_kindNames[kind]);
            g_markedKind = kind;
            MarkedCall(label, SendToMarkedKind);
        }
        RemoveSetups();
    }
    printf("marked: each call and each hooked message once, between named opens\n");
    return true;
}

// ---- Program ----

static int g_exitCode;

static void Cleanup()
{
    RemoveSetups();
    if (!RestoreIgnoreKey())
        g_exitCode = 1;
    DestroyWindows();
}

static int Usage()
{
    fprintf(stderr, "usage: zentrova_hook_bench [--calls | --marks] [--rounds N]\n"
                    "  default: ns per hooked WM_MOVE for no hook, an empty hook and Zentrova\n"
                    "  --calls: ns per platform call behind the hook's work instead\n"
                    "  --marks: each call and hooked message once between marker requests,\n"
                    "           for counting the wineserver requests in a server trace\n"
                    "  --rounds N: rounds per figure, 1..%d (default %d; 5 with --calls)\n",
            kMaxRounds, kDefaultRounds);
    return 2;
}

int main(int argc, char **argv)
{
    bool calls = false;
    bool marks = false;
    int rounds = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--calls") == 0 && !marks) {
            calls = true;
        } else if (strcmp(argv[i], "--marks") == 0 && !calls) {
            marks = true;
        } else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = atoi(argv[++i]);
            if (rounds < 1 || rounds > kMaxRounds)
                return Usage();
        } else {
            return Usage();
        }
    }
    if (rounds == 0)
        rounds = calls ? 5 : kDefaultRounds;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerSecond = (double)frequency.QuadPart;
    DWORD n = GetModuleFileNameA(NULL, g_exePath, sizeof g_exePath);
    // The library reads entries of fewer than 260 bytes.
    if (n == 0 || n >= 259) {
        fprintf(stderr, "bench: this program's path is too long for an ignore-list entry\n");
        return 1;
    }

    if (!SaveIgnoreKey())
        return 1;
    bool ok = CreateWindows() && LoadEmptyHook() && WriteBenchList(g_exePath);
    // The list must do what the measurement assumes before anything is timed.
    ok = ok && IsIgnored(g_exePath, "") &&
         !IsIgnored("C:\\Program Files\\Bench Vendor 99\\Not This Program.exe", "");
    if (!ok) {
        fprintf(stderr, "bench: could not set up the windows, the empty hook or the list\n");
        g_exitCode = 1;
        Cleanup();
        return g_exitCode;
    }

    RECT screen, workArea;
    GetWindowRect(GetDesktopWindow(), &screen);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    PrintRect(stdout, "screen", screen);
    PrintRect(stdout, ", work area", workArea);
    printf(", ignore list of %d entries ending with this program\n", kListSize);
    fflush(stdout);

    if (marks) {
        if (!RunMarked()) {
            fprintf(stderr, "bench: could not run the marked calls\n");
            g_exitCode = 1;
        }
    } else if (calls) {
        if (!MeasureCalls(rounds)) {
            fprintf(stderr, "bench: could not open the list key or take a module snapshot\n");
            g_exitCode = 1;
        } else {
            PrintCallTable(rounds);
        }
    } else if (!MeasureMessages(rounds)) {
        g_exitCode = 1;
    } else if (!CheckNothingMoved() || !CheckHookWasLive()) {
        g_exitCode = 1;
    } else {
        PrintMessageTable(rounds);
    }
    Cleanup();
    fflush(stdout);
    return g_exitCode;
}
