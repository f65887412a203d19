// What the sweep finds: every window the hook moved, told by the place it
// was moved to, and how many windows of each kind it showed.
#include "sweep.h"

#include <tlhelp32.h>

#include <cstdio>

#include "splash_shape.h"
#include "virtual_screen.h"

const char *const kKindClass[kKinds] = {"#32768", "#32770", "tooltips_class32", "ComboLBox"};
std::string g_step;
Row *g_row;
bool g_aim;
bool g_hooked;
std::set<HWND> g_atPlacement;
std::vector<std::string> g_moved;
int g_kills;
static std::set<HWND> g_shown; // windows of a counted kind visible at the last look

std::string ClassOf(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Every process, by id, with its executable's name.
std::map<DWORD, std::string> Processes()
{
    std::map<DWORD, std::string> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        found[entry.th32ProcessID] = entry.szExeFile;
    CloseHandle(snapshot);
    return found;
}

std::string ExeOf(DWORD pid)
{
    std::map<DWORD, std::string> all = Processes();
    return all.count(pid) ? all[pid] : "?";
}

// Where TryKillSplash puts a window of this size, in its parent's coordinates.
static bool AtKillPlacement(HWND hwnd)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return false;
    HWND parent = GetAncestor(hwnd, GA_PARENT);
    if (parent != NULL && parent != GetDesktopWindow())
        MapWindowPoints(NULL, parent, (POINT *)&r, 2);
    Rect32 placed = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    Placement target = OffscreenPlacement(&placed, &all);
    return r.left == target.x && r.top == target.y;
}

// Reads nothing that takes a message: the hooked thread may be waiting.
static void RecordIfMoved(HWND hwnd)
{
    if (!AtKillPlacement(hwnd) || !g_atPlacement.insert(hwnd).second || !g_hooked)
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r;
    GetWindowRect(hwnd, &r);
    std::string children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        children += (children.empty() ? "" : " ") + ClassOf(c);
    char detail[1024];
    snprintf(detail, sizeof detail,
             "%s: %s, class %s, style %08lx, exstyle %08lx, %ldx%ld, children [%s], during %s",
             g_row != NULL ? g_row->program.c_str() : "-", ExeOf(pid).c_str(),
             ClassOf(hwnd).c_str(), (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
             (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), r.right - r.left, r.bottom - r.top,
             children.c_str(), g_step.c_str());
    g_moved.push_back(detail);
    if (g_row != NULL)
        g_row->moved++;
    printf("MOVED %s\n", detail);
    fflush(stdout);
}

static void ScanTree(HWND hwnd)
{
    RecordIfMoved(hwnd);
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        ScanTree(c);
}

// Every window, children included: TryKillSplash moves children too.
void ScanAll()
{
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT))
        ScanTree(w);
}

// The frequent look, at top-level windows only.
void Look()
{
    std::set<HWND> now;
    for (HWND w = GetTopWindow(NULL); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
        RecordIfMoved(w);
        if (g_row == NULL || !IsWindowVisible(w))
            continue;
        std::string name = ClassOf(w);
        for (int k = 0; k < kKinds; ++k)
            if (name == kKindClass[k] && now.insert(w).second && !g_shown.count(w))
                g_row->seen[k]++;
    }
    g_shown = now;
}

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kKilled)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    DWORD start = GetTickCount();
    ++g_kills;
    ScanAll();
    printf("kill report handled in %lu ms\n", (unsigned long)(GetTickCount() - start));
    return 0;
}
