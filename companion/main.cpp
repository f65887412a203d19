// Zentrova64.exe: the 32-bit runner's companion on 64-bit Windows. A hook
// reaches only programs of its own bitness, so this program holds the hook
// over 64-bit programs, through Zentrova64.dll, and reports each kill to the
// runner's window, so the same tray icon flashes. It shows nothing: no tray
// icon, no visible window. Started by the runner as
//   Zentrova64.exe RUNNER_WINDOW KILLED_MESSAGE AUX_MESSAGE   (decimal numbers)
// Missing or bad arguments end it at once, with nothing installed. It ends,
// removing its hook, when the runner's window goes or sends it WM_CLOSE; it
// ends without removing it when a later companion has replaced its hook.
#include <windows.h>

#include "companion_rules.h"
#include "library_names.h"
#include "zentrova.h"

#define IDT_WATCH 1
// How often the runner's window and the shared record are looked at.
#define WATCH_MS 250

// The runner's window, which receives the kills.
static HWND g_runner;
// Who the shared record named once this companion's hook was installed.
static RecordOwner g_mine;
// A read-only view of the shared record that Zentrova64.dll keeps; null when none.
static const volatile uint32_t *g_record;

static RecordOwner RecordedOwner()
{
    RecordOwner owner = {g_record[0], g_record[1]};
    return owner;
}

// Ends the companion, or keeps it, as the runner and the record say.
static void EndOrKeep(HWND hwnd, bool runnerAlive)
{
    switch (NextCompanionStep(runnerAlive, RecordedOwner(), g_mine)) {
    case kCompanionKeep:
        return;
    case kCompanionRemoveAndEnd:
        ZentrovaRemoveHooks();
        break;
    case kCompanionEnd:
        break;
    }
    DestroyWindow(hwnd);
}

static void OnWatchTimer(HWND hwnd, UINT_PTR timerId)
{
    if (timerId == IDT_WATCH)
        EndOrKeep(hwnd, IsWindow(g_runner) != FALSE);
}

// The runner stops its companion.
static void OnClose(HWND hwnd)
{
    EndOrKeep(hwnd, false);
}

static LRESULT CALLBACK CompanionWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        OnWatchTimer(hwnd, wParam);
        return 0;
    case WM_CLOSE:
        OnClose(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, IDT_WATCH);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static const volatile uint32_t *MapRecord()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ZENTROVA_MAPPING_NAME);
    if (mapping == NULL)
        return NULL;
    // The view keeps the mapping alive without the handle.
    void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4 * sizeof(uint32_t));
    CloseHandle(mapping);
    return (const volatile uint32_t *)view;
}

// Installs the hook for the runner; false when it is not installed, or not
// this companion's.
static bool InstallHook(const CompanionArguments &arguments)
{
    g_record = MapRecord();
    if (g_record == NULL || !ZentrovaSetHooks(g_runner, arguments.killedMessage,
                                              arguments.auxMessage))
        return false;
    g_mine = RecordedOwner();
    // Replaced already by a companion started just after: not ours to remove.
    return g_mine.window == arguments.runnerWindow;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR lpCmdLine, int)
{
    CompanionArguments arguments;
    if (!ParseCompanionArguments(lpCmdLine, &arguments))
        return 0;
    g_runner = (HWND)(LONG_PTR)(int32_t)arguments.runnerWindow; // widened with sign
    if (!IsWindow(g_runner))
        return 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = CompanionWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = COMPANION_CLASS;
    if (!RegisterClassA(&wc))
        return 0;
    char title[16];
    FormatCompanionTitle(arguments.runnerWindow, title);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, COMPANION_CLASS, title, WS_POPUP, 0, 0, 0, 0,
                                NULL, NULL, instance, NULL);
    if (hwnd == NULL)
        return 0;
    if (!InstallHook(arguments)) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (SetTimer(hwnd, IDT_WATCH, WATCH_MS, NULL) == 0) {
        EndOrKeep(hwnd, false);
        return 0;
    }

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
