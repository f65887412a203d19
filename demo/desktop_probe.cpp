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

// A copy of part of the screen as 32-bit pixels, top row first.
struct ScreenCopy {
    HDC memory;
    HBITMAP dib;
    HGDIOBJ old;
    const DWORD *pixels;
    RECT area;
};

static bool CopyScreen(const RECT &area, ScreenCopy *copy)
{
    copy->area = area;
    int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(NULL);
    copy->memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    copy->dib = CreateDIBSection(copy->memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (copy->dib != NULL) {
        copy->old = SelectObject(copy->memory, copy->dib);
        BitBlt(copy->memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        copy->pixels = (const DWORD *)bits;
    }
    ReleaseDC(NULL, screen);
    if (copy->dib == NULL)
        DeleteDC(copy->memory);
    return copy->dib != NULL;
}

static void ReleaseScreenCopy(ScreenCopy *copy)
{
    SelectObject(copy->memory, copy->old);
    DeleteObject(copy->dib);
    DeleteDC(copy->memory);
}

// The notification area is at the right of the taskbar; window buttons and
// the start button, with pictures of their own, are on the left.
static bool TrayArea(RECT *area)
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    if (taskbar == NULL || !GetWindowRect(taskbar, area))
        return false;
    if (area->right - 160 > area->left)
        area->left = area->right - 160;
    return true;
}

static bool IsIconColour(DWORD pixel, TrayColours *colours)
{
    DWORD rgb = pixel & 0xFFFFFF;
    colours->yellow += rgb == 0xFFFF00;
    colours->red += rgb == 0xFF0000;
    colours->grey += rgb == 0x989898;
    return rgb == 0xFFFF00 || rgb == 0xFF0000 || rgb == 0x989898;
}

TrayColours SampleTray()
{
    TrayColours colours = {0, 0, 0};
    RECT area;
    ScreenCopy copy;
    if (!TrayArea(&area) || !CopyScreen(area, &copy))
        return colours;
    int count = (area.right - area.left) * (area.bottom - area.top);
    for (int i = 0; i < count; ++i)
        IsIconColour(copy.pixels[i], &colours);
    ReleaseScreenCopy(&copy);
    return colours;
}

bool FindTrayIcon(POINT *centre)
{
    RECT area;
    ScreenCopy copy;
    if (!TrayArea(&area) || !CopyScreen(area, &copy))
        return false;
    int width = area.right - area.left, height = area.bottom - area.top;
    long sumX = 0, sumY = 0, n = 0;
    TrayColours colours = {0, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (IsIconColour(copy.pixels[y * width + x], &colours)) {
                sumX += x;
                sumY += y;
                ++n;
            }
    ReleaseScreenCopy(&copy);
    if (n == 0)
        return false;
    centre->x = area.left + (int)(sumX / n);
    centre->y = area.top + (int)(sumY / n);
    return true;
}

std::string TrayTooltip()
{
    POINT icon;
    if (!FindTrayIcon(&icon))
        return "";
    // Off the icon first, so that the tooltip is shown afresh.
    SetCursorPos(icon.x - 40, icon.y);
    Sleep(300);
    SetCursorPos(icon.x, icon.y);
    for (int i = 0; i < 30; ++i) {
        Sleep(100);
        for (HWND tip : FindTopLevel("tooltips_class32", NULL))
            if (IsWindowVisible(tip))
                return WindowText(tip);
    }
    return "";
}

bool SaveScreenBmp(const RECT &area, const char *path)
{
    ScreenCopy copy;
    if (!CopyScreen(area, &copy))
        return false;
    int width = area.right - area.left, height = area.bottom - area.top;
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    bool ok = false;
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written;
        ok = WriteFile(out, &file, sizeof file, &written, NULL) &&
             WriteFile(out, &info, sizeof info, &written, NULL);
        std::string row(stride, '\0');
        for (int y = height - 1; ok && y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                DWORD p = copy.pixels[y * width + x];
                row[x * 3] = (char)(p & 0xFF);
                row[x * 3 + 1] = (char)((p >> 8) & 0xFF);
                row[x * 3 + 2] = (char)((p >> 16) & 0xFF);
            }
            ok = WriteFile(out, row.data(), stride, &written, NULL) != FALSE;
        }
        CloseHandle(out);
    }
    ReleaseScreenCopy(&copy);
    return ok;
}

bool ReadSharedRecord(SharedRecord *record, const char *mappingName)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName);
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
