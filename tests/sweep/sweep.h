// The false-positive sweep's parts: what it finds (findings.cpp), the real
// input it drives programs with (input.cpp), their menus (menus.cpp), and
// each program from its start to its close (programs.cpp).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

const UINT kKilled = WM_APP + 0x5E;
const UINT kAux = WM_USER + 1;

// Windows without a title bar that people open all the time, counted as they
// become visible: the proof that the sweep really showed them.
enum { kMenu, kDialog, kTooltip, kList, kKinds };
extern const char *const kKindClass[kKinds];

// keys: ^x Ctrl+x, %x Alt+x, #n property page n, ~ Down, _ Space, others typed.
struct Dialog {
    const char *name, *keys;
};
struct Program {
    const char *name, *command;
    Dialog dialogs[9];
    const char *aimKeys = nullptr; // with --aim: takes the title bar away
};

struct Row {
    std::string program, tried, note;
    int seen[kKinds] = {};
    int submenus = 0;
    int moved = 0;
};

// ---- What the sweep finds (findings.cpp) ----

extern std::string g_step;
extern Row *g_row; // the program being swept
extern bool g_aim;
extern bool g_hooked; // before the hook, windows where a splash would go are only remembered
extern std::set<HWND> g_atPlacement;
extern std::vector<std::string> g_moved;
extern int g_kills;

std::string ClassOf(HWND hwnd);
std::map<DWORD, std::string> Processes();
std::string ExeOf(DWORD pid);
void ScanAll();
void Look();
// The notify window's procedure: each kill report starts a scan.
LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Input (input.cpp) ----

void Pump(DWORD ms);

template <class Done> bool PumpUntil(Done done, DWORD ms)
{
    for (DWORD start = GetTickCount(); !done(); Pump(15))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

void Press(WORD vk, WORD modifier = 0, DWORD settleMs = 40);
// keys as in Dialog: ^x Ctrl+x, %x Alt+x, #n property page n, ~ Down, _ Space.
void Type(HWND main, const char *keys);
void Mouse(POINT at, DWORD button = 0);
void Focus(HWND hwnd);
// Visible top-level windows of the class.
std::vector<HWND> Visible(const char *className);

// ---- Menus (menus.cpp) ----

bool MenuShown();
void CloseMenus();
int WalkMenuBar(HWND main);
bool RightClickMenu(POINT at, bool walk, RECT *menuRect = NULL);
// Moves hwnd so that a point of its client area lies at a point of the screen.
void PlaceAt(HWND hwnd, POINT client, POINT screen);
int MenusAtTheMiddle(HWND main);

// ---- A program from start to close (programs.cpp) ----

void Sweep(const Program &program);
