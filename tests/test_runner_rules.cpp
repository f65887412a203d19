// What the tray menu lists and how the sign-in value is recognised, from
// plain facts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "moved_list.h"
#include "run_value.h"

TEST(MovedList, ListsTheNewestFirstForgetsTheOldestAndNotesAWindowOnce)
{
    MovedList list = {};
    for (uint64_t w = 1; w <= kMovedCapacity + 2; ++w)
        MovedListAdd(&list, w);
    MovedListAdd(&list, kMovedCapacity); // already noted: stays where it was
    uint64_t newest[kMovedShown];
    ASSERT_EQ((unsigned)kMovedShown, MovedListNewest(&list, newest, kMovedShown));
    for (unsigned i = 0; i < kMovedShown; ++i)
        EXPECT_EQ(kMovedCapacity + 2 - i, newest[i]) << i;
    EXPECT_EQ((unsigned)kMovedCapacity, list.count);
    EXPECT_EQ(3u, list.windows[0]) << "the two oldest are forgotten";

    MovedListKeep(&list, [](uint64_t w, void *) { return w % 2 == 0; }, NULL);
    ASSERT_EQ(3u, MovedListNewest(&list, newest, 3));
    EXPECT_EQ((std::vector<uint64_t>{34, 32, 30}), std::vector<uint64_t>(newest, newest + 3));
}

TEST(MovedList, EntryTextNamesTheProgramAndTheWindowSafely)
{
    // The end-to-end tests show a plain text, none, '&' and 300 characters.
    const struct {
        const char *exe;
        std::string text;
        std::string entry;
    } cases[] = {
        {"C:\\R&D\\a&b.exe", "Save & go", "a&&b.exe - Save && go"},
        {"C:\\Apps\\tool.exe", "two\tcolumns\nlines", "tool.exe - two columns lines"},
        {"C:\\Apps\\tool.exe", std::string(60, '&'), "tool.exe - " + std::string(120, '&')},
        {"", "Splash", "(unknown program) - Splash"},
        {"D:/unix/style.exe", "", "style.exe"},
    };
    for (const auto &c : cases) {
        char out[kMovedEntrySize];
        FormatMovedEntry(out, sizeof out, c.exe, c.text.c_str());
        EXPECT_EQ(c.entry, out) << c.exe << " / " << c.text;
    }
    // A short buffer is filled, terminated, and holds no half of a "&&".
    char small[8];
    FormatMovedEntry(small, sizeof small, "abcdef&x.exe", "");
    EXPECT_STREQ("abcdef", small);
}

TEST(MovedList, BringsAWindowBackToTheMiddleOfTheWorkArea)
{
    const Rect32 area = {0, 0, 1024, 738};
    const struct {
        int32_t width, height, x, y;
    } cases[] = {{400, 300, 312, 219}, {1024, 738, 0, 0}, {2000, 100, 0, 319}};
    for (const auto &c : cases) {
        Placement p = CentredPlacement(&area, c.width, c.height);
        EXPECT_EQ(c.x, p.x) << c.width;
        EXPECT_EQ(c.y, p.y) << c.width;
        EXPECT_EQ(c.width, p.width);
        EXPECT_EQ(c.height, p.height);
    }
}

TEST(RunValue, QuotesThePathAndRecognisesOnlyValuesThatStartIt)
{
    const char path[] = "C:\\Program Files\\Zentrova\\ZentrovaRunner.exe";
    char value[300];
    ASSERT_TRUE(FormatRunValue(value, sizeof value, path));
    EXPECT_STREQ("\"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe\"", value);
    EXPECT_FALSE(FormatRunValue(value, sizeof path + 1, path)) << "no room for both quotes";
    EXPECT_STREQ("", value);

    const struct {
        const char *value;
        bool ours;
    } cases[] = {
        {"\"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe\"", true},
        {"\"c:\\program files\\zentrova\\zentrovarunner.EXE\" -noicon", true},
        {"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe", true},
        {"\"C:\\Old\\ZentrovaRunner.exe\"", false},
        {"\"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe", false},
        {"\"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe.bak\"", false},
        {"\"C:\\Program Files\\Zentrova\\ZentrovaRunner.exe\"x", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.ours, RunValueStarts(c.value, path)) << c.value;
}
