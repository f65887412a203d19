// Real keyboard and mouse input, and the message pumping that goes with it.
#include "sweep.h"

#include <commctrl.h>

#include <algorithm>

void Pump(DWORD ms)
{
    for (DWORD start = GetTickCount();;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Look();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, std::min<DWORD>(20, ms - elapsed), QS_ALLINPUT);
    }
}

void Press(WORD vk, WORD modifier, DWORD settleMs)
{
    const WORD keys[4] = {modifier, vk, vk, modifier};
    INPUT in[4] = {};
    UINT n = 0;
    for (int i = 0; i < 4; ++i)
        if (keys[i] != 0) {
            in[n].type = INPUT_KEYBOARD;
            in[n].ki.wVk = keys[i];
            in[n++].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
    SendInput(n, in, sizeof in[0]);
    Pump(settleMs);
}

void Type(HWND main, const char *keys)
{
    for (; *keys; ++keys, Pump(150)) {
        WORD modifier = *keys == '^' ? VK_CONTROL : *keys == '%' ? VK_MENU : 0;
        if (*keys == '#') // Wine's property sheets ignore Ctrl+Tab; a click on the tab does this
            PostMessageA(main, PSM_SETCURSEL, *++keys - '0', 0);
        else if (modifier != 0)
            Press(VkKeyScanA(*++keys) & 0xFF, modifier);
        else
            Press(*keys == '~' ? VK_DOWN : *keys == '_' ? VK_SPACE : VkKeyScanA(*keys) & 0xFF);
    }
}

void Mouse(POINT at, DWORD button)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (at.x * 65535 + 65535 / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (at.y * 65535 + 65535 / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    PumpUntil([&] { POINT p; return GetCursorPos(&p) && p.x == at.x && p.y == at.y; }, 500);
    if (button == 0)
        return;
    in.mi.dwFlags = button;
    SendInput(1, &in, sizeof in);
    in.mi.dwFlags = button << 1; // the matching button-up flag
    SendInput(1, &in, sizeof in);
}

void Focus(HWND hwnd)
{
    SetForegroundWindow(hwnd);
    PumpUntil([&] { return GetForegroundWindow() == hwnd; }, 1000);
}

std::vector<HWND> Visible(const char *className)
{
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && ClassOf(w) == className)
            found.push_back(w);
    return found;
}
