// Starting and watching ZentrovaRunner.exe from outside, as a user sees it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "desktop_probe.h"
#include "fixture_client.h"
#include "menu_probe.h"


const UINT WM_TRAYNOTIFY = WM_USER + 2;
const UINT kTrayIconId = 101;

struct Runner {
    HANDLE process;
    DWORD processId;
};

// Where the fixture's window ended up: wholly above and left of the screen.
inline bool Moved(const FixtureRect &w)
{
    return w.ok && w.rect.right < 0 && w.rect.bottom < 0;
}

// The user's ignore list and splash rules, under HKEY_CURRENT_USER.
const char kKey[] = "Software\\Orbelline\\Zentrova\\Ignorees";
const char kRulesKey[] = "Software\\Orbelline\\Zentrova\\Splashes";

// Every test starts and ends with no ignore list, so none leaks into the next.
class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A runner left over from elsewhere would take part in every check.
        ASSERT_TRUE(FindTopLevel("ZentrovaRunnerClass", "ZentrovaRunner").empty());
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kRulesKey);
    }

    void TearDown() override
    {
        for (Runner &r : runners_) {
            if (WaitForSingleObject(r.process, 0) == WAIT_TIMEOUT) {
                for (HWND hwnd : FindTopLevel("ZentrovaRunnerClass", NULL, r.processId))
                    PostMessageA(hwnd, WM_CLOSE, 0, 0);
                if (WaitForExit(r.process, 5000) == -1)
                    TerminateProcess(r.process, 1);
            }
            CloseHandle(r.process);
        }
        if (fixture_.process != NULL)
            StopFixture(&fixture_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kRulesKey);
    }

    Runner Start(const char *arguments = "")
    {
        std::string line = "\"" + BuiltProgram("ZentrovaRunner.exe") + "\" " + arguments;
        Runner r = {StartProgram(line), 0};
        EXPECT_TRUE(r.process != NULL);
        if (r.process != NULL) {
            r.processId = GetProcessId(r.process);
            runners_.push_back(r);
        }
        return r;
    }

    // Starts the runner and waits for its main window and its normal icon.
    HWND StartWithIcon(Runner *r)
    {
        *r = Start();
        HWND main = MainWindow(*r);
        EXPECT_TRUE(main != NULL && WaitForTray(Normal, 10000)) << "the runner did not come up";
        return main;
    }

    // The runner's main window, once it exists.
    HWND MainWindow(const Runner &r, DWORD timeoutMs = 10000)
    {
        DWORD start = GetTickCount();
        do {
            std::vector<HWND> found =
                FindTopLevel("ZentrovaRunnerClass", "ZentrovaRunner", r.processId);
            if (!found.empty())
                return found[0];
            PumpMessagesFor(50);
        } while (GetTickCount() - start < Patient(timeoutMs));
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(r.process, &code);
        ADD_FAILURE() << "no runner window after " << Patient(timeoutMs) << " ms; the runner "
                      << (code == STILL_ACTIVE ? std::string("is still running")
                                               : "exited with " + std::to_string(code));
        return NULL;
    }

    // Samples the notification area until it shows what is asked for.
    bool WaitForTray(bool (*shows)(const TrayColours &), DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        do {
            if (shows(SampleTray()))
                return true;
            PumpMessagesFor(50);
        } while (GetTickCount() - start < Patient(timeoutMs));
        return false;
    }

    static bool Normal(const TrayColours &c) { return c.yellow > 20 && c.red == 0; }
    static bool Killed(const TrayColours &c) { return c.red > 20 && c.yellow == 0; }
    static bool Paused(const TrayColours &c) { return c.grey > 20 && c.red == 0 && c.yellow == 0; }
    static bool Empty(const TrayColours &c) { return c.red == 0 && c.yellow == 0 && c.grey == 0; }

    // Shows a splash window in the fixture; true when it was moved off-screen.
    bool SplashSuppressed()
    {
        if (fixture_.process == NULL && !StartFixture(&fixture_))
            return false;
        FixtureRect w = FixtureWindow(&fixture_, "show splash");
        return w.ok && w.rect.right < 0 && w.rect.bottom < 0;
    }

    std::vector<Runner> runners_;
    Fixture fixture_;
};

inline HWND WaitForWindow(const char *className, const char *title, DWORD processId,
                          DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND hwnd : FindTopLevel(className, title, processId))
            if (IsWindowVisible(hwnd))
                return hwnd;
        PumpMessagesFor(50);
    } while (GetTickCount() - start < Patient(timeoutMs));
    return NULL;
}


// Clicks a button of a dialog in another process, as the mouse would.
inline void ClickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Opens the runner's tray menu and presses keys in it, one after another.
inline bool PressInTrayMenu(HWND main, DWORD processId, const std::vector<WPARAM> &keys)
{
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = WaitForWindow("#32768", NULL, processId, 5000);
    if (menu == NULL)
        return false;
    for (WPARAM key : keys)
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    return true;
}

// Opens the runner's tray menu and picks an item by keyboard: 'downs' presses
// of Down from nothing selected, or Up once (the last item) when downs is 0.
inline bool ChooseFromTrayMenu(HWND main, DWORD processId, int downs)
{
    std::vector<WPARAM> keys(downs == 0 ? 1 : downs, downs == 0 ? VK_UP : VK_DOWN);
    keys.push_back(VK_RETURN);
    return PressInTrayMenu(main, processId, keys);
}

// One item of the tray menu, as the runner built it.
struct MenuItem {
    int depth; // 0 for the menu's own items, 1 for those of a submenu, ...
    UINT type, state, id;
    std::string text;
};

// Opens the runner's tray menu, reads it from inside the runner's process
// through a hook on its thread, and closes it again.
inline std::vector<MenuItem> ReadTrayMenu(HWND main, DWORD processId)
{
    std::vector<MenuItem> items;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                        kMenuProbeSize, kMenuProbeMapping);
    char *view = mapping != NULL
                     ? (char *)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kMenuProbeSize)
                     : NULL;
    HMODULE probe = LoadLibraryA(BuiltProgram("zentrova_menu_probe.dll").c_str());
    HOOKPROC proc = probe != NULL ? (HOOKPROC)(void *)GetProcAddress(probe, "MenuProbeHook") : NULL;
    HHOOK hook = proc != NULL ? SetWindowsHookExA(WH_CALLWNDPROC, proc, probe,
                                                  GetWindowThreadProcessId(main, NULL))
                              : NULL;
    if (view != NULL && hook != NULL) {
        view[0] = 0;
        HWND menu = NULL;
        if (PressInTrayMenu(main, processId, {})) {
            menu = WaitForWindow("#32768", NULL, processId, 0);
            DWORD start = GetTickCount();
            while (view[0] == 0 && GetTickCount() - start < 5000)
                PumpMessagesFor(20);
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            while (IsWindowVisible(menu) && GetTickCount() - start < 5000)
                PumpMessagesFor(20);
        }
        std::istringstream lines(std::string(view, strnlen(view, kMenuProbeSize)));
        MenuItem item;
        while (lines >> item.depth >> std::hex >> item.type >> item.state >> std::dec >> item.id) {
            lines.get();
            std::getline(lines, item.text);
            items.push_back(item);
        }
    }
    if (hook != NULL)
        UnhookWindowsHookEx(hook);
    if (probe != NULL)
        FreeLibrary(probe);
    if (view != NULL)
        UnmapViewOfFile(view);
    if (mapping != NULL)
        CloseHandle(mapping);
    return items;
}

// The tray menu's item of this text, at the top level; a separator when absent.
inline MenuItem TrayMenuItem(const std::vector<MenuItem> &menu, const char *text)
{
    for (const MenuItem &item : menu)
        if (item.depth == 0 && item.text == text)
            return item;
    return MenuItem{0, MFT_SEPARATOR, 0, 0, ""};
}
