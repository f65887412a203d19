// Uses the programs that ship with Wine as a person would, with the hook
// installed as the runner installs it, and reports every window the hook
// moved off-screen. None of these programs shows a splash screen, so every
// move is a false positive; the exit code counts them.
// Usage: zentrova_sweep [--aim] [program...]
//   --aim     also puts windows exactly where the heuristic takes them: context
//             menus centred on the screen and the work area, and the clock
//             without its title bar centred on the screen
//   program   sweeps only the programs named (as in the table)
#include "sweep.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "zentrova.h"

const Program kPrograms[] = {
    {"notepad", "notepad.exe",
     {{"Open", "^o"}, {"Save As", "%fa"}, {"Page Setup", "%ft"}, {"Print", "^p"},
      {"Font", "%ef"}, {"Find", "^f"}, {"Replace", "^h"}, {"About", "%ha"}}},
    {"wordpad", "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"",
     {{"Open", "^o"}, {"Save As", "%fa"}, {"Print", "^p"}, {"Font", "%of"}, {"Paragraph", "%op"},
      {"Tabs", "%ot"}, {"Date and time", "%id"}, {"Options", "%vo"}, {"About", "%ha"}}},
    {"regedit", "regedit.exe",
     {{"Import (Open)", "%ri"}, {"Export (Save As)", "%re"}, {"Find", "^f"}, {"About", "%ha"}}},
    {"winecfg", "winecfg.exe", {{"Add application (Open)", "#0%c"}, {"Colour", "#3%e~%o_"}}},
    {"winemine", "winemine.exe", {{"Custom", "%gc"}, {"Fastest Times", "%gf"}, {"About", "%ha"}}},
    {"taskmgr", "taskmgr.exe", {{"Run", "%fn"}, {"About", "%ha"}}},
    {"winefile", "winefile.exe", {{"Run", "%fr"}, {"Font", "%of"}, {"About", "%ha"}}},
    {"control", "control.exe", {{"About", "%ha"}}},
    {"clock", "clock.exe", {{"About", "%ha"}}, "%pw"},
    {"progman", "progman.exe", {{"New", "%fn"}, {"Execute", "%fe"}, {"About", "%ha"}}},
    {"oleview", "oleview.exe",
     {{"View TypeLib (Open)", "%fv"}, {"System Configuration", "%fs"}, {"About", "%ha"}}},
    {"uninstaller", "uninstaller.exe", {}},
    {"winhlp32", "winhlp32.exe", {{"Open", "%fo"}, {"About", "%ha"}}},
    {"hh", "hh.exe", {}},
    {"msinfo32", "msinfo32.exe", {}},
    {"wineconsole", "wineconsole.exe cmd", {}},
    {"explorer", "explorer.exe", {}},
    {"view", "view.exe", {{"Open", "%fo"}}},
    {"winver", "winver.exe", {}},
};

int main(int argc, char **argv)
{
    g_aim = argc > 1 && strcmp(argv[1], "--aim") == 0;
    std::vector<std::string> only(argv + 1 + g_aim, argv + argc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZentrovaSweepNotify";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                  wc.hInstance, NULL);
    ScanAll(); // what already sits where a splash would go is no finding of this run
    size_t already = g_atPlacement.size();
    g_hooked = true;
    if (notify == NULL || !ZentrovaSetHooks(notify, kKilled, kAux)) {
        fprintf(stderr, "sweep: the hook could not be installed\n");
        return 100;
    }
    DWORD start = GetTickCount();
    std::vector<Row> rows;
    rows.reserve(sizeof kPrograms / sizeof kPrograms[0]);
    for (const Program &p : kPrograms) {
        if (!only.empty() && std::find(only.begin(), only.end(), p.name) == only.end())
            continue;
        rows.push_back(Row());
        g_row = &rows.back();
        g_row->program = p.name;
        Sweep(p);
        Pump(300);
        ScanAll();
        printf("swept %s\n", p.name);
        fflush(stdout);
    }
    g_row = NULL;
    ZentrovaRemoveHooks();

    printf("\n| program | window kinds tried | menus | dialogs | tooltips | lists | moved |\n"
           "|---|---|---|---|---|---|---|\n");
    int total[kKinds] = {};
    for (const Row &r : rows) {
        std::string tried = r.tried;
        if (r.submenus > 0)
            tried += " (" + std::to_string(r.submenus) + " submenus)";
        printf("| %s | %s%s | %d | %d | %d | %d | %d |\n", r.program.c_str(), r.note.c_str(),
               tried.c_str(), r.seen[kMenu], r.seen[kDialog], r.seen[kTooltip], r.seen[kList],
               r.moved);
        for (int k = 0; k < kKinds; ++k)
            total[k] += r.seen[k];
    }
    for (const std::string &m : g_moved)
        printf("moved: %s\n", m.c_str());
    for (int k = 0; k < kKinds; ++k)
        if (total[k] == 0)
            printf("sweep: no %s window was shown, so none was put to the test\n", kKindClass[k]);
    printf("%zu window(s) off-screen before the sweep; %d kill report(s); %zu moved window(s) "
           "found; %lu s\n",
           already, g_kills, g_moved.size(), (unsigned long)(GetTickCount() - start) / 1000);
    // A kill whose window was not found counts too.
    return (int)std::max(g_moved.size(), (size_t)g_kills);
}
