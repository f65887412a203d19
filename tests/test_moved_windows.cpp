// The tray menu's "Moved windows": what the runner lists of the windows the
// library moved, and bringing one back, with real splash screens of the
// fixture program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "runner_harness.h"

namespace {

const char kFixtureName[] = "zentrova_fixture.exe";

class MovedWindows : public RunnerTest {
protected:
    void StartRunner()
    {
        main_ = StartWithIcon(&runner_);
        ASSERT_TRUE(main_ != NULL);
        ASSERT_TRUE(StartFixture(&fixture_));
    }

    // Shows a splash screen in the fixture and checks that it was moved.
    int ShowMovedSplash()
    {
        FixtureRect w = FixtureWindow(&fixture_, "show splash");
        EXPECT_TRUE(Moved(w));
        return w.id;
    }

    // The texts of the "Moved windows" submenu, greyed ones in brackets.
    std::vector<std::string> Listed()
    {
        std::vector<std::string> texts;
        bool inside = false;
        for (const MenuItem &item : ReadTrayMenu(main_, runner_.processId)) {
            if (item.depth == 0)
                inside = item.text == "Moved windows";
            else if (inside && item.depth == 1)
                texts.push_back((item.state & MFS_GRAYED) ? "[" + item.text + "]" : item.text);
        }
        return texts;
    }

    // Bring back (or, with allow, Bring back and always allow this program)
    // on the entry-th entry of the submenu.
    bool Choose(int entry, bool allow)
    {
        std::vector<WPARAM> keys(5, VK_UP); // from Quit up to Moved windows
        keys.push_back(VK_RIGHT);
        keys.insert(keys.end(), entry, VK_DOWN);
        keys.push_back(VK_RIGHT);
        if (allow)
            keys.push_back(VK_DOWN);
        keys.push_back(VK_RETURN);
        return PressInTrayMenu(main_, runner_.processId, keys);
    }

    // Where a window of the splash's size lands when brought back.
    static RECT Centred(const RECT &moved)
    {
        RECT area;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        int width = moved.right - moved.left, height = moved.bottom - moved.top;
        int x = area.left + (area.right - area.left - width) / 2;
        int y = area.top + (area.bottom - area.top - height) / 2;
        return RECT{x, y, x + width, y + height};
    }

    // Waits for the fixture's window id to be at place.
    bool ArrivesAt(int id, const RECT &place)
    {
        DWORD start = GetTickCount();
        do {
            FixtureRect w = FixtureWindow(&fixture_, "rect " + std::to_string(id));
            if (w.ok && EqualRect(&w.rect, &place))
                return true;
            PumpMessagesFor(50);
        } while (GetTickCount() - start < 5000);
        return false;
    }

    Runner runner_;
    HWND main_ = NULL;
};

} // namespace

TEST_F(MovedWindows, BringBackPutsTheWindowInTheMiddleForGood)
{
    StartRunner();
    EXPECT_EQ(std::vector<std::string>{"[(none)]"}, Listed());
    int id = ShowMovedSplash();
    EXPECT_EQ(std::vector<std::string>{std::string(kFixtureName) + " - Starting"}, Listed());

    FixtureRect moved = FixtureWindow(&fixture_, "rect " + std::to_string(id));
    ASSERT_TRUE(Choose(0, false));
    RECT centred = Centred(moved.rect);
    ASSERT_TRUE(ArrivesAt(id, centred)) << "not brought back to the middle of the work area";
    EXPECT_EQ(moved.hwnd, GetForegroundWindow()) << "not brought to the front";

    // Still centred within the library's tolerance, yet left where it is.
    FixtureRect nudged = FixtureWindow(&fixture_, "move " + std::to_string(id) + " 1 0");
    ASSERT_TRUE(nudged.ok);
    EXPECT_EQ(centred.left + 1, nudged.rect.left) << "moved away again";
    EXPECT_EQ(std::vector<std::string>{"[(none)]"}, Listed());
    EXPECT_TRUE(Moved(FixtureWindow(&fixture_, "show splash"))) << "the next splash was spared";
}

TEST_F(MovedWindows, AlwaysAllowAddsTheProgramOnceAfterTheEntriesThere)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    const char other[] = "C:\\Other\\other.exe";
    DWORD one = 1;
    RegSetValueExA(key, "num", 0, REG_DWORD, (const BYTE *)&one, sizeof one);
    RegSetValueExA(key, "ignoree0", 0, REG_SZ, (const BYTE *)other, sizeof other);
    StartRunner();
    int first = ShowMovedSplash();
    int second = ShowMovedSplash();

    ASSERT_TRUE(Choose(0, true)); // the newest: the second
    FixtureRect moved = FixtureWindow(&fixture_, "rect " + std::to_string(second));
    ASSERT_TRUE(ArrivesAt(second, Centred(moved.rect)));
    ASSERT_TRUE(Choose(0, true)); // now the first, of the same program
    moved = FixtureWindow(&fixture_, "rect " + std::to_string(first));
    ASSERT_TRUE(ArrivesAt(first, Centred(moved.rect)));

    DWORD count = 0, size = sizeof count;
    char path[MAX_PATH] = "";
    DWORD pathSize = sizeof path;
    RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &size);
    RegQueryValueExA(key, "ignoree1", NULL, NULL, (BYTE *)path, &pathSize);
    RegCloseKey(key);
    EXPECT_EQ(2u, count) << "the program stored twice, or the list lost an entry";
    EXPECT_STRCASEEQ(BuiltProgram(kFixtureName).c_str(), path);
    FixtureRect next = FixtureWindow(&fixture_, "show splash");
    EXPECT_TRUE(next.ok && !Moved(next)) << "an allowed program's splash was moved";
}

TEST_F(MovedWindows, ListsTheTenNewestThatStillExistWithTheirTextsMadeSafe)
{
    StartRunner();
    const std::string longText(300, 'x');
    const std::string prefix = std::string(kFixtureName) + " - ";
    // Twelve windows, one of them destroyed, the titles set after the move: the
    // menu reads them when it opens.
    const struct {
        std::string title;
        std::string entry; // "" when the window is destroyed or too old to be listed
    } windows[] = {
        {"Splash 0", ""}, {"Splash 1", prefix + "Splash 1"}, {"Splash 2", prefix + "Splash 2"},
        {"Splash 3", prefix + "Splash 3"}, {"Splash 4", prefix + "Splash 4"},
        {"Splash 5", ""}, // destroyed by its program
        {"Splash 6", prefix + "Splash 6"}, {"Splash 7", prefix + "Splash 7"},
        {"Splash 8", prefix + "Splash 8"}, {"", kFixtureName},
        {longText, prefix + std::string(60, 'x') + "..."}, {"Tom & Jerry", prefix + "Tom && Jerry"},
    };
    std::vector<std::string> expected;
    for (const auto &w : windows) {
        int id = ShowMovedSplash();
        ASSERT_TRUE(FixtureWindow(&fixture_, "title " + std::to_string(id) + " " + w.title).ok);
        if (w.title == "Splash 5") {
            ASSERT_EQ("ok", FixtureCommand(&fixture_, "destroy " + std::to_string(id)));
        }
        if (!w.entry.empty())
            expected.insert(expected.begin(), w.entry);
    }
    EXPECT_EQ(expected, Listed());
}

TEST_F(MovedWindows, AProgramAllowedWhileTheDialogIsOpenSurvivesItsOk)
{
    StartRunner();
    ShowMovedSplash();
    ASSERT_TRUE(ChooseFromTrayMenu(main_, runner_.processId, 2)); // Config...
    HWND dialog = WaitForWindow("#32770", "Configuration..", runner_.processId, 10000);
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(Choose(0, true));
    PumpMessagesFor(500);
    ClickButton(dialog, IDOK);
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < 5000)
        PumpMessagesFor(50);
    char path[MAX_PATH] = "";
    DWORD size = sizeof path, count = 0, countSize = sizeof count;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key));
    RegQueryValueExA(key, "num", NULL, NULL, (BYTE *)&count, &countSize);
    RegQueryValueExA(key, "ignoree0", NULL, NULL, (BYTE *)path, &size);
    RegCloseKey(key);
    EXPECT_EQ(1u, count) << "the dialog's OK dropped it";
    EXPECT_STRCASEEQ(BuiltProgram(kFixtureName).c_str(), path);
}
