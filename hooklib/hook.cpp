#include "hook.h"

#include "classifier.h"
#include "rule_table.h"
#include "screen_cache.h"

// This library's module, as the loader passed it in.
static HINSTANCE g_hInstance;
// This process's handle on the shared mapping, or null.
static HANDLE g_hMapping;
// This process's view of the shared record, or null when it could not be had.
static volatile ShellHookMappedData *g_shared;

// Handles are 32-bit values even in 64-bit processes; they widen with sign.
static HANDLE HandleFromWord(uint32_t word)
{
    return (HANDLE)(LONG_PTR)(int32_t)word;
}

static uint32_t WordFromHandle(HANDLE handle)
{
    return (uint32_t)(ULONG_PTR)handle;
}

static void MapSharedRecord()
{
    g_shared = (volatile ShellHookMappedData *)MapViewOfFile(
        g_hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ShellHookMappedData));
}

static void OnProcessAttach(HINSTANCE instance)
{
    g_hInstance = instance;
    g_hMapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, ZENTROVA_MAPPING_NAME);
    if (g_hMapping != NULL) {
        MapSharedRecord();
        return;
    }
    g_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                    sizeof(ShellHookMappedData), ZENTROVA_MAPPING_NAME);
    if (g_hMapping == NULL)
        return;
    // Another process may have created it since the open failed, and a runner
    // may already have filled it in: only a record this call made is cleared.
    bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    MapSharedRecord();
    if (g_shared != NULL && created) {
        g_shared->hwndNotify = 0;
        g_shared->hHook = 0;
        g_shared->uMsgAux = 0;
        g_shared->uMsgKilled = 0;
    }
}

static void OnProcessDetach()
{
    CloseRuleTable();
    if (g_shared != NULL) {
        UnmapViewOfFile((LPCVOID)g_shared);
        g_shared = NULL;
    }
    if (g_hMapping != NULL) {
        CloseHandle(g_hMapping);
        g_hMapping = NULL;
    }
}

// The library's entry point; there is no C runtime behind it. The library
// stays loaded even without a shared record, and then examines nothing.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        OnProcessAttach(instance);
    else if (reason == DLL_PROCESS_DETACH)
        OnProcessDetach();
    return TRUE;
}

BOOL WINAPI ZentrovaSetHooks(HWND hwndNotify, UINT uMsgKilled, UINT uMsgAux)
{
    ZentrovaRemoveHooks();
    if (g_shared == NULL)
        return FALSE;
    HHOOK hook = SetWindowsHookExA(kHookType, kHookType == WH_CALLWNDPROC ? CallWndHookProc
                                                                          : CallWndRetHookProc,
                                   g_hInstance, 0);
    // The hook first and the window last: a hooked thread that sees the
    // window also sees the message numbers that go with it.
    g_shared->hHook = WordFromHandle(hook);
    if (hook != NULL) {
        g_shared->uMsgKilled = uMsgKilled;
        g_shared->uMsgAux = uMsgAux;
        g_shared->hwndNotify = WordFromHandle(hwndNotify);
    }
    return hook != NULL;
}

void WINAPI ZentrovaRemoveHooks(void)
{
    if (g_shared == NULL)
        return;
    // Whichever runner installed the recorded hook, it goes now.
    if (g_shared->hHook != 0)
        UnhookWindowsHookEx((HHOOK)HandleFromWord(g_shared->hHook));
    g_shared->hHook = 0;
    g_shared->hwndNotify = 0;
    g_shared->uMsgAux = 0;
    g_shared->uMsgKilled = 0;
}

// What both hook procedures do with a message.
static void OnHookedMessage(HWND hwnd, UINT message, WPARAM wParam)
{
    if (message == WM_MOVE)
        TryKillSplash(hwnd);
    else if (message == WM_SHOWWINDOW && wParam != 0)
        TryKillSplash(hwnd, true);
    else
        NoteScreenMessage(message, hwnd);
}

static LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    // Even with nothing examined, the hooks after this one still get the
    // message; the system ignores the handle passed then.
    HHOOK hook = g_shared != NULL ? (HHOOK)HandleFromWord(g_shared->hHook) : NULL;
    return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CALLBACK CallWndHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && g_shared != NULL) {
        const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
        OnHookedMessage(call->hwnd, call->message, call->wParam);
    }
    return PassOn(code, wParam, lParam);
}

LRESULT CALLBACK CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && g_shared != NULL) {
        const CWPRETSTRUCT *call = (const CWPRETSTRUCT *)lParam;
        OnHookedMessage(call->hwnd, call->message, call->wParam);
    }
    return PassOn(code, wParam, lParam);
}

uint32_t InstalledHookWord()
{
    return g_shared != NULL ? g_shared->hHook : 0;
}

void NotifyRunner()
{
    if (g_shared == NULL)
        return;
    HWND runner = (HWND)HandleFromWord(g_shared->hwndNotify);
    if (!IsWindow(runner))
        return;
    UINT killed = g_shared->uMsgKilled;
    if (killed == 0)
        return;
    // Synchronous for a live runner, but a hung one must not freeze every
    // application that shows a splash screen.
    DWORD_PTR result;
    SendMessageTimeoutA(runner, killed, 0, 0, SMTO_ABORTIFHUNG, kNotifyTimeoutMs, &result);
}

// Windows of this process reported lately: each is reported once, however
// often it is shown. The runner keeps its own list as well.
enum { kReportedKept = 8 };
static HWND g_reported[kReportedKept];
static volatile LONG g_reportedNext;

void NotifyRunnerLeftOnScreen(HWND hwnd)
{
    if (g_shared == NULL)
        return;
    HWND runner = (HWND)HandleFromWord(g_shared->hwndNotify);
    UINT aux = g_shared->uMsgAux;
    // The runner's own dialogs and menus are no one's splash screens.
    if (runner == NULL || aux == 0 || IsOwnWindow(runner))
        return;
    for (unsigned i = 0; i < kReportedKept; ++i)
        if (g_reported[i] == hwnd)
            return;
    g_reported[(unsigned)InterlockedIncrement(&g_reportedNext) % kReportedKept] = hwnd;
    // Posted, never sent: the runner reads the window's facts when it gets
    // there, and the program does not wait for it.
    PostMessageA(runner, aux, (WPARAM)hwnd, 0);
}
