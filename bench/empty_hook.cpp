// The floor any hook of Zentrova's kind pays (WH_CALLWNDPROC, or
// WH_CALLWNDPROCRET for 64-bit programs): a procedure that only passes the
// message on. Built like Zentrova.dll (own entry point, no C runtime) so that
// the two libraries differ only in what their procedures do.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" __attribute__((dllexport)) LRESULT CALLBACK EmptyCallWndProc(int code, WPARAM wParam,
                                                                        LPARAM lParam)
{
    // The system ignores the handle passed here.
    return CallNextHookEx(NULL, code, wParam, lParam);
}
