// A thread hook the tests put on the runner's thread: as the tray menu opens,
// it writes the whole menu, submenus included, into shared memory that the
// test reads (menus cannot be read from another process). One line an item:
//   DEPTH TYPE STATE ID TEXT        (TYPE, STATE in hex)
#include <windows.h>

#include <cstdio>

#include "menu_probe.h"

namespace {

void Write(HMENU menu, int depth, char *out, size_t size, size_t *used)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && *used < size; ++i) {
        char text[1024] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, i, TRUE, &item))
            continue;
        int n = snprintf(out + *used, size - *used, "%d %x %x %u %s\n", depth, item.fType,
                         item.fState, item.hSubMenu != NULL ? 0 : item.wID, text);
        *used = n > 0 ? *used + n : size;
        if (item.hSubMenu != NULL)
            Write(item.hSubMenu, depth + 1, out, size, used);
    }
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam,
                                                                 LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code >= 0 && call->message == WM_INITMENUPOPUP && HIWORD(call->lParam) == 0) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMenuProbeMapping);
        char *view = mapping != NULL ? (char *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0,
                                                             kMenuProbeSize)
                                     : NULL;
        // Only the first popup, the menu itself; its submenus are in it.
        if (view != NULL && view[0] == 0) {
            size_t used = 0;
            Write((HMENU)call->wParam, 0, view, kMenuProbeSize - 1, &used);
        }
        if (view != NULL)
            UnmapViewOfFile(view);
        if (mapping != NULL)
            CloseHandle(mapping);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
