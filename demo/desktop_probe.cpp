#include "desktop_probe.h"

#include <cstring>

namespace {

struct FindRequest {
    const char *className;
    const char *title;
    DWORD processId;
    std::vector<HWND> *found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    FindRequest *request = (FindRequest *)param;
    char name[256];
    if (GetClassNameA(hwnd, name, sizeof name) == 0 || strcmp(name, request->className) != 0)
        return TRUE;
    if (request->title != NULL &&
        (GetWindowTextA(hwnd, name, sizeof name) < 0 || strcmp(name, request->title) != 0))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (request->processId == 0 || request->processId == processId)
        request->found->push_back(hwnd);
    return TRUE;
}

} // namespace

std::vector<HWND> FindTopLevel(const char *className, const char *title, DWORD processId)
{
    std::vector<HWND> found;
    FindRequest request = {className, title, processId, &found};
    EnumWindows(CollectWindow, (LPARAM)&request);
    return found;
}

TrayColours SampleTray()
{
    TrayColours colours = {0, 0};
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    RECT bar;
    if (taskbar == NULL || !GetWindowRect(taskbar, &bar))
        return colours;
    // The notification area is at the right; window buttons and the start
    // button, with pictures of their own, are on the left.
    int x = bar.right - 160 > bar.left ? bar.right - 160 : bar.left;
    int width = bar.right - x, height = bar.bottom - bar.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (dib != NULL) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, x, bar.top, SRCCOPY);
        GdiFlush();
        const DWORD *pixel = (const DWORD *)bits;
        for (int i = 0; i < width * height; ++i) {
            DWORD rgb = pixel[i] & 0xFFFFFF;
            colours.yellow += rgb == 0xFFFF00;
            colours.red += rgb == 0xFF0000;
        }
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return colours;
}

bool ReadSharedRecord(SharedRecord *record)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "ZentrovaShellHookMappedData");
    if (mapping == NULL)
        return false;
    const DWORD *view = (const DWORD *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 16);
    if (view != NULL) {
        record->hwndNotify = view[0];
        record->hHook = view[1];
        record->uMsgAux = view[2];
        record->uMsgKilled = view[3];
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return view != NULL;
}

std::string WindowText(HWND hwnd)
{
    char text[2048] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 3000,
                        &length);
    text[sizeof text - 1] = 0;
    return text;
}
