// The hook procedures in a copy of the library that has no shared record:
// linked into this test program, whose entry point never ran the library's.
#include <gtest/gtest.h>

#include <windows.h>

#include "hook.h"

namespace {

int g_laterHookCalls;
HHOOK g_laterHook;

LRESULT CALLBACK LaterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && ((CWPSTRUCT *)lParam)->message == WM_SHOWWINDOW)
        ++g_laterHookCalls;
    return CallNextHookEx(g_laterHook, code, wParam, lParam);
}

LRESULT CALLBACK LaterRetHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && ((CWPRETSTRUCT *)lParam)->message == WM_SHOWWINDOW)
        ++g_laterHookCalls;
    return CallNextHookEx(g_laterHook, code, wParam, lParam);
}

// Each bitness installs one of them; both are built into each.
struct HookKind {
    int type;
    HOOKPROC ours, later;
};
const HookKind kKinds[] = {{WH_CALLWNDPROC, CallWndHookProc, LaterHook},
                           {WH_CALLWNDPROCRET, CallWndRetHookProc, LaterRetHook}};

} // namespace

TEST(HookWithoutRecord, ExaminesNothingAndPassesEveryMessageOn)
{
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    int cx = (screen.left + screen.right) / 2, cy = (screen.top + screen.bottom) / 2;
    HWND splash = CreateWindowExA(0, "Static", "", WS_POPUP, cx - 200, cy - 150, 400, 300, NULL,
                                  NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(splash != NULL);

    for (const HookKind &kind : kKinds) {
        // Hooks are called newest first: ours, then the one installed before it.
        g_laterHookCalls = 0;
        g_laterHook = SetWindowsHookExA(kind.type, kind.later, NULL, GetCurrentThreadId());
        HHOOK ours = SetWindowsHookExA(kind.type, kind.ours, NULL, GetCurrentThreadId());
        ASSERT_TRUE(g_laterHook != NULL && ours != NULL);
        SendMessageA(splash, WM_SHOWWINDOW, TRUE, 0);
        UnhookWindowsHookEx(ours);
        UnhookWindowsHookEx(g_laterHook);

        EXPECT_EQ(1, g_laterHookCalls) << kind.type << ": the rest of the hook chain was cut off";
        RECT r;
        GetWindowRect(splash, &r);
        EXPECT_EQ(cx - 200, r.left) << kind.type << ": examined without a shared record";
    }
    DestroyWindow(splash);
}
