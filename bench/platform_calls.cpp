// What the platform calls behind the hook's work cost one by one (--calls),
// and each call and hooked message once between marker requests (--marks).
#include "bench.h"

#include <tlhelp32.h>

#include "ignore_list.h"

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

bool MeasureCalls(int rounds)
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

void PrintCallTable(int rounds)
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
    // The screen's rectangle is kept in the process: the work area, read to
    // check that it still holds, stands in for it.
    double captioned = median[kStyle];
    double kept = captioned + median[kThreadProcessId] + median[kOwnRect] + median[kWorkArea];
    double popup = kept + median[kWorkArea];
    double splash = kept + median[kClassName] + median[kChildWalk] + median[kChildClassName] +
                    median[kChildStyle] + median[kChildText] + median[kOpenCloseKey] +
                    median[kQueryEntry] + median[kModulePath] + median[kThreadProcessId] +
                    median[kSnapshot] + median[kModuleWalk] + median[kIsIgnored];
    printf("\nthe library's calls per message, summed from the medians above:\n");
    printf("  captioned:        %10.0f ns  (style)\n", captioned);
    printf("  off-centre popup: %10.0f ns  (style, process, own rect, work area twice)\n", popup);
    printf("  ignored splash:   %10.0f ns  (style, process, rect, work area, class, child, "
           "list's count, owner, snapshot, list)\n", splash);
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
    WPARAM wParam;
    UINT message = KindMessage(g_markedKind, &wParam);
    SendMessageA(g_windows[g_markedKind], message, wParam,
                 message == WM_MOVE ? MovePosition(g_markedKind) : 0);
}

// A splash off the list goes at its first message, so each of the two sends
// has a window of its own, made before the hook. No list at all: the case of
// most users.
static bool MarkMovedSplash()
{
    HWND child, first = CreateSplashShaped(&child), second = CreateSplashShaped(&child);
    bool ok = first != NULL && second != NULL &&
              RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY) == ERROR_SUCCESS &&
              InstallSetup(kZentrova);
    if (ok) {
        SendMessageA(first, WM_MOVE, 0, 0);
        Mark("WM_MOVE, Zentrova, splash off an empty list (moved)");
        SendMessageA(second, WM_MOVE, 0, 0);
        Mark("end");
    }
    RemoveSetups();
    DestroyWindow(first);
    DestroyWindow(second);
    return ok;
}

bool RunMarked()
{
    if (!OpenCallSubjects())
        return false;
    for (int c = 0; c < kCalls; ++c)
        MarkedCall(g_calls[c].name, g_calls[c].call);
    CloseCallSubjects();
    for (int setup = 0; setup < kSetups; ++setup) {
        if (!InstallSetup(setup))
            return false;
        for (int kind = 0; kind < g_kindCount; ++kind) {
            char label[96];
            wsprintfA(label, "WM_MOVE, %s, %s window", g_setupNames[setup], g_kindNames[kind]);
            g_markedKind = kind;
            MarkedCall(label, SendToMarkedKind);
        }
        RemoveSetups();
    }
    if (!MarkMovedSplash())
        return false;
    printf("marked: each call and each hooked message once, between named opens\n");
    return true;
}
