// The tray menu's "Left on screen" and the rules made from it: windows shown
// in the middle of a screen that stayed there, treated as splash screens from
// then on, with the fixture showing the windows of real toolkits.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "runner_harness.h"
#include "splash_rules.h"

namespace {

// dotnet/winforms and electron, as the corpus has them: neither is moved by
// its shape alone.
const char kWinForms[] =
    "work WindowsForms10.Window.8.app.0.141b42a_r6_ad1 06000000 10000 400 300 "
    "WindowsForms10.Window.8.app.0.141b42a_r6_ad1 0 WindowsForms10.STATIC.app.0.141b42a_r6_ad1 0";
const char kElectron[] = "work Chrome_WidgetWin_1 00C20000 0 400 300 Chrome_RenderWidgetHostHWND 0";
const char kElectronWider[] =
    "work Chrome_WidgetWin_1 00C20000 0 401 300 Chrome_RenderWidgetHostHWND 0";
const char kStopTreating[] = "Bring back and stop treating as splash screen";

class LeftOnScreen : public RunnerTest {
protected:
    void StartRunner()
    {
        main_ = StartWithIcon(&runner_);
        ASSERT_TRUE(main_ != NULL);
    }

    void RestartRunner()
    {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        ASSERT_EQ(0, WaitForExit(runner_.process, 10000));
        StartRunner();
    }

    FixtureRect Show(Fixture *f, const char *shape)
    {
        FixtureRect w = FixtureWindow(f, std::string("window ") + shape);
        EXPECT_TRUE(w.ok) << shape;
        return w;
    }

    // The entries of a submenu of the tray menu, with the choices of entry
    // `choicesOf` after them, indented.
    std::vector<std::string> Listed(const char *submenu, int choicesOf = -1)
    {
        PumpMessagesFor(300); // posted reports reach the runner
        std::vector<std::string> texts;
        bool inside = false;
        int entry = -1;
        for (const MenuItem &item : ReadTrayMenu(main_, runner_.processId)) {
            if (item.depth == 0)
                inside = item.text == submenu;
            else if (inside && item.depth == 1 && ++entry >= 0)
                texts.push_back(item.text);
            else if (inside && item.depth == 2 && entry == choicesOf)
                texts.push_back("  " + item.text);
        }
        return texts;
    }

    // From Quit up to the submenu (4: Left on screen, 5: Moved windows), the
    // entry, and its choice.
    bool Choose(int ups, int entry, int choice)
    {
        std::vector<WPARAM> keys(ups, VK_UP);
        keys.push_back(VK_RIGHT);
        keys.insert(keys.end(), entry, VK_DOWN);
        keys.push_back(VK_RIGHT);
        keys.insert(keys.end(), choice, VK_DOWN);
        keys.push_back(VK_RETURN);
        return PressInTrayMenu(main_, runner_.processId, keys);
    }

    bool BecomesMoved(Fixture *f, int id, bool moved)
    {
        DWORD start = GetTickCount();
        do {
            if (Moved(FixtureWindow(f, "rect " + std::to_string(id))) == moved)
                return true;
            PumpMessagesFor(50);
        } while (GetTickCount() - start < Patient(5000));
        return false;
    }

    // Rules stored as the runner stores them, for this build's fixture.
    static void StoreRules(const std::vector<std::string> &texts, DWORD count)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRulesKey, 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        for (size_t i = 0; i < texts.size(); ++i)
            RegSetValueExA(key, ("splash" + std::to_string(i)).c_str(), 0, REG_SZ,
                           (const BYTE *)texts[i].c_str(), (DWORD)texts[i].size() + 1);
        RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&count, sizeof count);
        RegCloseKey(key);
    }

    static std::string ElectronRule(int width = 400)
    {
        return std::to_string(width) + "x300|Chrome_WidgetWin_1|" +
               BuiltProgram("zentrova_fixture.exe");
    }

    Runner runner_;
    HWND main_ = NULL;
    Fixture other_;
};

} // namespace

TEST_F(LeftOnScreen, TreatAsSplashScreenMovesItNowAndItsKindFromThenOn)
{
    StartRunner();
    ASSERT_TRUE(StartFixture(&fixture_));
    FixtureRect winForms = Show(&fixture_, kWinForms);
    FixtureRect electron = Show(&fixture_, kElectron);
    EXPECT_FALSE(Moved(winForms) || Moved(electron));
    const std::string name = "zentrova_fixture.exe";
    EXPECT_EQ((std::vector<std::string>{name, name}), Listed("Left on screen"));

    ASSERT_TRUE(Choose(4, 0, 0)); // the newest: the Electron window
    EXPECT_TRUE(BecomesMoved(&fixture_, electron.id, true)) << "not moved at once";
    EXPECT_TRUE(WaitForTray(Killed, 5000));
    EXPECT_EQ(std::vector<std::string>{name}, Listed("Left on screen"));
    EXPECT_EQ((std::vector<std::string>{name, "  Bring back", "  Bring back and always allow this program",
                                        std::string("  ") + kStopTreating}),
              Listed("Moved windows", 0));

    // From a new process: moved before it is shown; another size, or another
    // program, stays.
    ASSERT_TRUE(StartFixture(&other_));
    EXPECT_TRUE(Moved(Show(&other_, kElectron)));
    EXPECT_FALSE(Moved(Show(&other_, kElectronWider)));
    StopFixture(&other_);
    std::string copy = BuiltProgram("otherapp.exe");
    ASSERT_TRUE(CopyFileA(BuiltProgram("zentrova_fixture.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(StartFixture(&other_, "\"" + copy + "\""));
    EXPECT_FALSE(Moved(Show(&other_, kElectron))) << "another program's window was taken";
    StopFixture(&other_);
    DeleteFileA(copy.c_str());

    RestartRunner();
    ASSERT_TRUE(StartFixture(&other_));
    EXPECT_TRUE(Moved(Show(&other_, kElectron))) << "the rule was lost with the runner";
    StopFixture(&other_);
}

TEST_F(LeftOnScreen, TheIgnoreListWinsAndStopTreatingForgetsTheRule)
{
    StoreRules({ElectronRule()}, 1);
    StartRunner();
    ASSERT_TRUE(StartFixture(&fixture_));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    std::string path = BuiltProgram("zentrova_fixture.exe");
    DWORD one = 1;
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&one, sizeof one);
    RegSetValueExA(key, "ignoree0", 0, REG_SZ, (const BYTE *)path.c_str(), (DWORD)path.size() + 1);
    RegCloseKey(key);
    EXPECT_FALSE(Moved(Show(&fixture_, kElectron))) << "the ignore list did not win";
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);

    FixtureRect moved = Show(&fixture_, kElectron);
    ASSERT_TRUE(Moved(moved));
    ASSERT_EQ(4u, Listed("Moved windows", 0).size());
    ASSERT_TRUE(Choose(5, 0, 2));
    EXPECT_TRUE(BecomesMoved(&fixture_, moved.id, false)) << "not brought back";
    PumpMessagesFor(300);
    EXPECT_FALSE(Moved(Show(&fixture_, kElectron))) << "the rule was not forgotten";
    DWORD count = 7, size = sizeof count;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRulesKey, 0, KEY_READ, &key));
    RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &size);
    RegCloseKey(key);
    EXPECT_EQ(0u, count);
}

TEST_F(LeftOnScreen, TheThirtyThirdRuleIsRefusedAndNothingStoredIsLost)
{
    std::vector<std::string> rules;
    for (int i = 0; i < 32; ++i)
        rules.push_back(ElectronRule(100 + i));
    StoreRules(rules, 32);
    StartRunner();
    ASSERT_TRUE(StartFixture(&fixture_));
    FixtureRect winForms = Show(&fixture_, kWinForms);
    ASSERT_EQ(1u, Listed("Left on screen").size());
    ASSERT_TRUE(Choose(4, 0, 0));
    HWND box = WaitForWindow("#32770", "Zentrova", runner_.processId, 5000);
    ASSERT_TRUE(box != NULL) << "no word that the list is full";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(BecomesMoved(&fixture_, winForms.id, true));

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRulesKey, 0, KEY_READ, &key));
    DWORD count = 0, size = sizeof count;
    RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &size);
    EXPECT_EQ(32u, count);
    for (int i = 0; i < 33; ++i) {
        char text[600] = "";
        DWORD bytes = sizeof text;
        LONG rc = RegQueryValueExA(key, ("splash" + std::to_string(i)).c_str(), NULL, NULL,
                                   (BYTE *)text, &bytes);
        if (i < 32)
            EXPECT_EQ(rules[i], text) << i;
        else
            EXPECT_NE(ERROR_SUCCESS, rc) << "a 33rd was stored";
    }
    RegCloseKey(key);
}

TEST_F(LeftOnScreen, DamagedStoredRulesLeaveASafeListAndTheGoodRules)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRulesKey, 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &key, NULL));
    DWORD huge = 0xFFFFFFFF;
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&huge, sizeof huge);
    std::vector<BYTE> junk(5000, 0xFF);
    RegSetValueExA(key, "splash0", 0, REG_BINARY, junk.data(), (DWORD)junk.size());
    std::string unterminated(kRuleTextSize, 'x');
    RegSetValueExA(key, "splash1", 0, REG_SZ, (const BYTE *)unterminated.data(),
                   (DWORD)unterminated.size());
    RegSetValueExA(key, "splash2", 0, REG_SZ, (const BYTE *)"400x300||", 10);
    std::string good = ElectronRule();
    RegSetValueExA(key, "splash3", 0, REG_SZ, (const BYTE *)good.c_str(), (DWORD)good.size() + 1);
    RegCloseKey(key);

    DWORD start = GetTickCount();
    StartRunner();
    EXPECT_LT(GetTickCount() - start, Patient(10000)) << "the runner stalled on the rules";
    ASSERT_TRUE(StartFixture(&fixture_));
    EXPECT_TRUE(Moved(Show(&fixture_, kElectron))) << "the good rule was lost among the bad";
    EXPECT_FALSE(Moved(Show(&fixture_, kWinForms)));
    EXPECT_FALSE(Listed("Left on screen").empty()) << "the menu did not open";
}
