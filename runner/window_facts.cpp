#include "window_facts.h"

bool ProgramPath(HWND hwnd, char *path)
{
    typedef BOOL(WINAPI * QueryImageName)(HANDLE, DWORD, LPSTR, PDWORD);
    QueryImageName query = (QueryImageName)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    path[0] = 0;
    DWORD processId = 0;
    if (query == NULL || GetWindowThreadProcessId(hwnd, &processId) == 0)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == NULL)
        return false;
    DWORD size = kPathSize;
    bool ok = query(process, 0, path, &size) && size < kPathSize;
    CloseHandle(process);
    path[ok ? size : 0] = 0;
    return ok;
}


bool WindowRule(HWND hwnd, SplashRule *rule)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r) || !ProgramPath(hwnd, rule->path) ||
        GetClassNameA(hwnd, rule->className, sizeof rule->className) <= 0)
        return false;
    rule->className[sizeof rule->className - 1] = 0;
    rule->width = r.right - r.left;
    rule->height = r.bottom - r.top;
    return true;
}
