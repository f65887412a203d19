#include "config_dialog.h"

#include <windows.h>

#include <commdlg.h>
#include <stddef.h>

#include "ascii.h"
#include "ignore_list.h"
#include "resource.h"
#include "runner.h"
#include "text_limits.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the file-open record every Windows takes");
#endif

// The open dialog, or null; a second request only raises it.
static HWND g_hwndConfig;

static bool AddListEntry(const char *path, void *context)
{
    SendMessageA((HWND)context, LB_ADDSTRING, 0, (LPARAM)path);
    return true;
}

// Copies list entry index into buffer, but only when it fits; otherwise the
// buffer is left as it was.
static void GetListEntry(unsigned index, char *buffer, unsigned size, void *context)
{
    HWND list = (HWND)context;
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || (unsigned long)length >= size)
        return;
    SendMessageA(list, LB_GETTEXT, index, (LPARAM)buffer);
}

static bool ListHolds(HWND list, const char *path)
{
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    char entry[kPathSize];
    for (LRESULT i = 0; i < count; ++i) {
        entry[0] = 0;
        GetListEntry((unsigned)i, entry, sizeof entry, list);
        if (AsciiEqualNoCase(entry, path))
            return true;
    }
    return false;
}

static void AddUnlessListed(HWND list, const char *path)
{
    if (!ListHolds(list, path))
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)path);
}

static BOOL OnInitDialog(HWND hwnd)
{
    ReadIgnoreList(AddListEntry, GetDlgItem(hwnd, IDC_IGNORE_LIST));
    return TRUE;
}

static void OnOk(HWND hwnd)
{
    HWND list = GetDlgItem(hwnd, IDC_IGNORE_LIST);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR)
        count = 0;
    WriteIgnoreList((unsigned)count, GetListEntry, list);
    // Closed as after a save even when the registry refused it.
    EndDialog(hwnd, 1);
}

static void OnAddApp(HWND hwnd)
{
    char path[kPathSize] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = "Executable files (*.exe)\0*.exe\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "Select executable..";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn))
        return;
    AddUnlessListed(GetDlgItem(hwnd, IDC_IGNORE_LIST), path);
}

static void OnRemoveApp(HWND hwnd)
{
    HWND list = GetDlgItem(hwnd, IDC_IGNORE_LIST);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        SendMessageA(list, LB_DELETESTRING, (WPARAM)selected, 0);
}

// Acts on button clicks only (control id with notification code 0).
static BOOL OnCommand(HWND hwnd, WPARAM wParam)
{
    switch (wParam) {
    case IDOK:
        OnOk(hwnd);
        return TRUE;
    case IDCANCEL: // also the close box and Esc
        EndDialog(hwnd, 0);
        return TRUE;
    case IDC_ADD_APP:
        OnAddApp(hwnd);
        return TRUE;
    case IDC_REMOVE_APP:
        OnRemoveApp(hwnd);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK ConfigDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    g_hwndConfig = hwnd;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(hwnd);
    case WM_COMMAND:
        return OnCommand(hwnd, wParam);
    }
    return FALSE;
}

void ShowConfigDialog()
{
    if (g_hwndConfig != NULL) {
        BringWindowToTop(g_hwndConfig);
        return;
    }
    DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), NULL, ConfigDlgProc, 0);
    g_hwndConfig = NULL;
}

void ConfigDialogAddEntry(const char *path)
{
    if (g_hwndConfig != NULL)
        AddUnlessListed(GetDlgItem(g_hwndConfig, IDC_IGNORE_LIST), path);
}
