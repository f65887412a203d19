// The tray menu's two check items, driven as a user drives them: Start at
// sign-in against the current user's Run key, and Pause against the hook and
// the tray icon.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "runner_harness.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool Checked(const MenuItem &item)
{
    return (item.state & MFS_CHECKED) != 0;
}

// The Run value, or "(absent)".
std::string RunValue()
{
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(absent)";
    LONG rc = RegQueryValueExA(key, "Zentrova", NULL, NULL, (BYTE *)value, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? value : "(absent)";
}

void SetRunValue(const std::string &value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    if (value == "(absent)")
        RegDeleteValueA(key, "Zentrova");
    else
        RegSetValueExA(key, "Zentrova", 0, REG_SZ, (const BYTE *)value.c_str(),
                       (DWORD)value.size() + 1);
    RegCloseKey(key);
}

class SignInAndPause : public RunnerTest {
protected:
    void TearDown() override
    {
        SetRunValue("(absent)");
        RunnerTest::TearDown();
    }

    bool HookInstalled()
    {
        SharedRecord record = {};
        return ReadSharedRecord(&record) && record.hHook != 0;
    }
};

} // namespace

TEST_F(SignInAndPause, StartAtSignInFollowsAndSetsTheRunValue)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    const std::string ours = "\"" + BuiltProgram("ZentrovaRunner.exe") + "\"";
    const struct {
        std::string before;
        bool checked;
        std::string after;
    } cases[] = {
        {"(absent)", false, ours},
        {ours, true, "(absent)"},
        {"\"C:\\Old place\\ZentrovaRunner.exe\"", false, ours}, // someone else's: replaced
    };
    for (const auto &c : cases) {
        SetRunValue(c.before);
        EXPECT_EQ(c.checked, Checked(TrayMenuItem(ReadTrayMenu(main, runner.processId),
                                                  "Start at sign-in")))
            << c.before;
        ASSERT_TRUE(PressInTrayMenu(main, runner.processId, {VK_UP, VK_UP, VK_UP, VK_RETURN}));
        DWORD start = GetTickCount();
        while (RunValue() == c.before && GetTickCount() - start < 5000)
            PumpMessagesFor(50);
        EXPECT_STRCASEEQ(c.after.c_str(), RunValue().c_str()) << c.before;
        EXPECT_NE(c.checked, Checked(TrayMenuItem(ReadTrayMenu(main, runner.processId),
                                                  "Start at sign-in")))
            << c.before;
    }
}

TEST_F(SignInAndPause, PauseRemovesTheHookGreysTheIconAndQuitLeavesNothing)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    ASSERT_TRUE(StartFixture(&fixture_));
    const std::vector<WPARAM> pause = {VK_UP, VK_UP, VK_RETURN};

    ASSERT_TRUE(PressInTrayMenu(main, runner.processId, pause));
    EXPECT_TRUE(WaitForTray(Paused, 5000)) << "the icon is not greyed";
    EXPECT_EQ("ZentrovaRunner (paused)", TrayTooltip());
    EXPECT_FALSE(HookInstalled());
    EXPECT_TRUE(Checked(TrayMenuItem(ReadTrayMenu(main, runner.processId), "Pause")));
    EXPECT_FALSE(Moved(FixtureWindow(&fixture_, "show splash"))) << "moved while paused";

    // Resumed, and paused again during the red flash: the flash ends grey.
    ASSERT_TRUE(PressInTrayMenu(main, runner.processId, pause));
    EXPECT_TRUE(WaitForTray(Normal, 5000));
    EXPECT_EQ("ZentrovaRunner", TrayTooltip());
    EXPECT_TRUE(HookInstalled());
    EXPECT_TRUE(Moved(FixtureWindow(&fixture_, "show splash")));
    ASSERT_TRUE(PressInTrayMenu(main, runner.processId, pause));
    EXPECT_TRUE(WaitForTray(Paused, 5000));
    PumpMessagesFor(1500);
    EXPECT_TRUE(Paused(SampleTray())) << "the end of the flash showed the normal icon";

    ASSERT_TRUE(ChooseFromTrayMenu(main, runner.processId, 0)); // Quit
    EXPECT_EQ(0, WaitForExit(runner.process, 10000));
    EXPECT_TRUE(WaitForTray(Empty, 5000));
    EXPECT_FALSE(HookInstalled());
    EXPECT_FALSE(Moved(FixtureWindow(&fixture_, "show splash"))) << "a hook outlived the runner";
}
