// ZentrovaRunner.exe end to end, in the prefix's virtual desktop with its
// taskbar: started as a separate process, watched from outside the way a
// user sees it.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "runner_harness.h"


TEST_F(RunnerTest, StartsHiddenAndSuppressesSplashScreensOfOtherProcesses)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    EXPECT_FALSE(IsWindowVisible(main));
    SharedRecord record = {};
    ASSERT_TRUE(ReadSharedRecord(&record));
    EXPECT_EQ((DWORD)(ULONG_PTR)main, record.hwndNotify);
    EXPECT_NE(0u, record.hHook);
    EXPECT_EQ(1027u, record.uMsgKilled);
    EXPECT_EQ(1025u, record.uMsgAux);
    EXPECT_TRUE(SplashSuppressed());
}

TEST_F(RunnerTest, TrayIconFlashesRedUntilASecondAfterTheLastKill)
{
    Runner runner = Start();
    ASSERT_TRUE(MainWindow(runner) != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000)) << "no normal icon in the notification area";

    ASSERT_TRUE(SplashSuppressed());
    DWORD first = GetTickCount();
    EXPECT_TRUE(WaitForTray(Killed, 400)) << "not red after a kill";
    DWORD elapsed = GetTickCount() - first;
    if (elapsed < 500)
        PumpMessagesFor(500 - elapsed);
    // Taken before the kill: the fixture's answer comes after the runner's
    // timer has started, later still when emulated.
    DWORD second = GetTickCount();
    ASSERT_TRUE(SplashSuppressed());

    // A second past the first kill, the second one keeps it red.
    PumpMessagesFor(700);
    EXPECT_TRUE(Killed(SampleTray())) << "normal again before a second after the last kill";
    ASSERT_TRUE(WaitForTray(Normal, 3000)) << "never normal again";
    EXPECT_GE(GetTickCount() - second, 900u);
}

TEST_F(RunnerTest, DoubleClickShowsTheAboutBoxAndASingleClickNothing)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONUP);
    EXPECT_TRUE(WaitForWindow("#32770", NULL, runner.processId, 500) == NULL);
    // Another icon's events are not ours.
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId + 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitForWindow("#32770", NULL, runner.processId, 500) == NULL);

    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    HWND about = WaitForWindow("#32770", "About...", runner.processId, 5000);
    ASSERT_TRUE(about != NULL);
    EXPECT_TRUE(GetWindow(about, GW_OWNER) == NULL);
    std::string text;
    for (HWND child = GetWindow(about, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT)) {
        std::string t = WindowText(child);
        if (t.compare(0, 8, "Zentrova") == 0)
            text = t;
    }
    EXPECT_EQ(0u, text.find("Zentrova v1.4\n")) << text;
    size_t second = text.find('\n') + 1, third = text.find('\n', second) + 1;
    EXPECT_NE(std::string::npos, text.substr(second, third - second).find("Orbelline")) << text;
    EXPECT_EQ(text.size() - 2, text.find('\n', third)) << "three lines and a blank one: " << text;
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForWindow("#32770", "About...", runner.processId, 0) == NULL ||
                (PumpMessagesFor(500), !IsWindow(about)));
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(runner.process, 300))
        << "the runner outlives its About box";
}

TEST_F(RunnerTest, RightClickMenuOpensAtTheCursorAndQuitEndsTheRunnerCleanly)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    // The pointer moves asynchronously under X: wait until it is there.
    POINT at = {};
    for (int i = 0; i < 40 && (at.x != 600 || at.y != 500); ++i) {
        SetCursorPos(600, 500);
        PumpMessagesFor(50);
        GetCursorPos(&at);
    }
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = WaitForWindow("#32768", NULL, runner.processId, 5000);
    ASSERT_TRUE(menu != NULL) << "no popup menu";
    RECT r;
    GetWindowRect(menu, &r);
    EXPECT_EQ(600, r.left);
    EXPECT_NEAR(500, r.bottom, 1) << "the menu's bottom edge is at the cursor";

    // Quit is the last item: up from nothing selected, then Enter.
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    EXPECT_TRUE(WaitForTray(Empty, 5000)) << "the icon stayed behind";
    SharedRecord record = {};
    if (ReadSharedRecord(&record)) {
        EXPECT_EQ(0u, record.hwndNotify | record.hHook | record.uMsgAux | record.uMsgKilled);
    }
}

TEST_F(RunnerTest, NoIconStopsARunningRunnerAndExitsAtOnce)
{
    Runner first = Start();
    ASSERT_TRUE(MainWindow(first) != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    Runner stopper = Start("-NOICONS");
    EXPECT_EQ(0, WaitForExit(stopper.process, 5000));
    EXPECT_EQ(0, WaitForExit(first.process, 5000));
    EXPECT_TRUE(WaitForTray(Empty, 5000));
    EXPECT_TRUE(FindTopLevel("ZentrovaRunnerClass", NULL).empty());
}

TEST_F(RunnerTest, NoIconWithoutARunnerStartsASilentOneThatTheSameSwitchStops)
{
    Runner silent = Start("-noicon");
    ASSERT_TRUE(MainWindow(silent) != NULL);
    EXPECT_TRUE(SplashSuppressed());
    PumpMessagesFor(300);
    EXPECT_TRUE(Empty(SampleTray())) << "a silent runner shows an icon";
    // Tray events are ignored without an icon.
    PostMessageA(MainWindow(silent), WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitForWindow("#32770", NULL, silent.processId, 500) == NULL);

    Runner stopper = Start("-noicon");
    EXPECT_EQ(0, WaitForExit(stopper.process, 5000));
    EXPECT_EQ(0, WaitForExit(silent.process, 5000));
}

// An uninstaller runs -quit and then takes the files away: by the time it
// has ended, every runner it found must have ended too.
TEST_F(RunnerTest, QuitStopsEveryRunningRunnerBeforeItEnds)
{
    Runner first = Start();
    ASSERT_TRUE(MainWindow(first) != NULL);
    Runner second = Start();
    ASSERT_TRUE(MainWindow(second) != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    Runner stopper = Start("-QUITTING");
    EXPECT_EQ(0, WaitForExit(stopper.process, 15000));
    EXPECT_EQ(0, WaitForExit(first.process, 0)) << "still running when -quit ended";
    EXPECT_EQ(0, WaitForExit(second.process, 0)) << "still running when -quit ended";
    EXPECT_TRUE(FindTopLevel("ZentrovaRunnerClass", NULL).empty());
    EXPECT_TRUE(WaitForTray(Empty, 5000));
    SharedRecord record = {};
    if (ReadSharedRecord(&record)) {
        EXPECT_EQ(0u, record.hwndNotify | record.hHook | record.uMsgAux | record.uMsgKilled);
    }
}

TEST_F(RunnerTest, QuitWithoutARunnerStartsNone)
{
    Runner quit = Start("-quit");
    EXPECT_EQ(0, WaitForExit(quit.process, 5000));
    EXPECT_TRUE(FindTopLevel("ZentrovaRunnerClass", NULL).empty());
    ASSERT_TRUE(StartFixture(&fixture_));
    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ASSERT_TRUE(splash.ok);
    EXPECT_GT(splash.rect.right, 0) << "moved: a hook is in place";
}

TEST_F(RunnerTest, ASwitchAnywhereButAtTheStartIsNotOne)
{
    for (const char *line : {"x -noicon", "x -quit"}) {
        Runner plain = Start(line);
        HWND main = MainWindow(plain);
        ASSERT_TRUE(main != NULL) << line;
        EXPECT_TRUE(WaitForTray(Normal, 10000)) << line << ": started without its icon";
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, WaitForExit(plain.process, 5000)) << line;
    }
}

TEST_F(RunnerTest, TwoPlainStartsReportKillsToTheLaterOne)
{
    Runner earlier = Start();
    HWND earlierWindow = MainWindow(earlier);
    ASSERT_TRUE(earlierWindow != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    Runner later = Start();
    HWND laterWindow = MainWindow(later);
    ASSERT_TRUE(laterWindow != NULL);
    ASSERT_TRUE(WaitForTray([](const TrayColours &c) { return c.yellow > 0; }, 5000));
    int oneIcon = SampleTray().yellow;
    PumpMessagesFor(500);
    SharedRecord record = {};
    ASSERT_TRUE(ReadSharedRecord(&record));
    EXPECT_EQ((DWORD)(ULONG_PTR)laterWindow, record.hwndNotify);

    ASSERT_TRUE(SplashSuppressed());
    // One icon red, the other still normal.
    PumpMessagesFor(300);
    TrayColours both = SampleTray();
    EXPECT_GT(both.red, 20);
    EXPECT_GT(both.yellow, 20);
    EXPECT_LE(both.yellow, oneIcon);
}

TEST_F(RunnerTest, AddsItsIconAgainWhenTheShellRestarts)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    // A restarted shell has forgotten every icon.
    NOTIFYICONDATAA gone = {};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = main;
    gone.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
    ASSERT_TRUE(WaitForTray(Empty, 5000));
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitForTray(Normal, 5000)) << "the icon did not come back";

    // And in the state it was in: red during a flash.
    ASSERT_TRUE(SplashSuppressed());
    ASSERT_TRUE(WaitForTray(Killed, 400));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
    PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitForTray([](const TrayColours &c) { return c.red > 20; }, 500));
}
