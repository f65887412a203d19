// The user's splash rules from plain facts: their stored text however it was
// left, which window a rule names, and which windows shown are offered as
// splash screens that stayed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_window.h"
#include "left_list.h"
#include "splash_rules.h"

namespace {

SplashRule Rule(int width, int height, const char *className, const char *path)
{
    SplashRule r = {};
    r.width = width;
    r.height = height;
    strcpy(r.className, className);
    strcpy(r.path, path);
    return r;
}

} // namespace

TEST(RuleText, StoresAndReadsBackWhatTheRuleHolds)
{
    const SplashRule rules[] = {
        Rule(480, 320, "WindowsForms10.Window.8.app.0.141b42a_r6_ad1", "C:\\Apps\\Tool.exe"),
        Rule(1, 1, "a|b", "C:\\x.exe"), // a class may hold the separator; a path may not
        Rule(32767, 9, std::string(256, 'c').c_str(), ("C:\\" + std::string(255, 'p')).c_str()),
    };
    for (const SplashRule &rule : rules) {
        char text[kRuleTextSize];
        ASSERT_TRUE(FormatRuleText(&rule, text, sizeof text)) << rule.className;
        SplashRule read = {};
        ASSERT_TRUE(ParseRuleText(text, sizeof text, &read)) << text;
        EXPECT_EQ(rule.width, read.width);
        EXPECT_EQ(rule.height, read.height);
        EXPECT_STREQ(rule.className, read.className);
        EXPECT_STREQ(rule.path, read.path);
    }
    char small[8];
    EXPECT_FALSE(FormatRuleText(&rules[0], small, sizeof small)) << "does not fit";
    SplashRule barred = Rule(1, 1, "c", "C:\\a|b.exe");
    char text[kRuleTextSize];
    EXPECT_FALSE(FormatRuleText(&barred, text, sizeof text));
}

TEST(RuleText, AnythingButAWholeRuleIsPassedOver)
{
    const char *const damaged[] = {
        "", "x|c|p", "0x10|c|p", "10x0|c|p", "-5x5|c|p", "10x10c|p", "10x10||p", "10x10|c|",
        "10x10|c", "1234567890x1|c|p", "10 x10|c|p", "10x10",
    };
    for (const char *text : damaged) {
        SplashRule rule = Rule(7, 7, "kept", "kept");
        EXPECT_FALSE(ParseRuleText(text, kRuleTextSize, &rule)) << text;
        EXPECT_STREQ("kept", rule.className) << "touched by " << text;
    }
    // Longer than a class or a path may be, and a buffer with no terminator.
    std::string longClass = "1x1|" + std::string(kRuleClassSize, 'c') + "|p";
    std::string longPath = "1x1|c|" + std::string(kPathSize, 'p');
    SplashRule rule;
    EXPECT_FALSE(ParseRuleText(longClass.c_str(), kRuleTextSize + 10, &rule));
    EXPECT_FALSE(ParseRuleText(longPath.c_str(), kRuleTextSize + 10, &rule));
    char unterminated[12];
    memcpy(unterminated, "10x10|c|p.ex", sizeof unterminated);
    EXPECT_FALSE(ParseRuleText(unterminated, sizeof unterminated, &rule));
}

TEST(RuleNamesWindow, BySizeClassAndEitherPathWholeAndAsciiCaseAside)
{
    const SplashRule rule = Rule(400, 300, "SplashForm", "C:\\Program Files\\App\\APP.EXE");
    const struct {
        const char *what;
        Rect32 rect;
        const char *className, *modulePath, *exePath;
        bool named;
    } cases[] = {
        {"the module", {10, 10, 410, 310}, "splashform", "c:\\program files\\app\\app.exe", "", true},
        {"the executable", {0, 0, 400, 300}, "SPLASHFORM", "C:\\lib.dll", "C:\\Program Files\\App\\App.exe", true},
        {"another size", {0, 0, 400, 301}, "SplashForm", "C:\\Program Files\\App\\APP.EXE", "", false},
        {"another class", {0, 0, 400, 300}, "SplashForm2", "C:\\Program Files\\App\\APP.EXE", "", false},
        {"another program", {0, 0, 400, 300}, "SplashForm", "C:\\Other\\APP.EXE", "C:\\Other\\APP.EXE", false},
        {"a folder of it", {0, 0, 400, 300}, "SplashForm", "C:\\Program Files\\App", "", false},
        {"no paths", {0, 0, 400, 300}, "SplashForm", "", "", false},
    };
    for (const auto &c : cases) {
        WindowFacts facts = {};
        facts.windowRect = c.rect;
        strcpy(facts.className, c.className);
        strcpy(facts.modulePath, c.modulePath);
        strcpy(facts.exePath, c.exePath);
        EXPECT_EQ(c.named, RuleNamesWindow(&rule, &facts)) << c.what;
    }
}

TEST(LeftOnScreen, OffersShownWindowsInTheMiddleOfAScreenThatLookLikeNoSystemWindow)
{
    const MonitorRects second = {{1024, 0, 2304, 720}, {1024, 0, 2304, 690}};
    const Rect32 centred = {312, 234, 712, 534}, onSecond = {1464, 210, 1864, 510};
    const struct {
        const char *what;
        uint32_t style;
        Rect32 rect;
        const char *className;
        bool offered;
    } cases[] = {
        {"a popup with a progress bar", kPopup, centred, "TSplashProgress", true},
        {"a window with a title bar", kStyleCaption, centred, "Chrome_WidgetWin_1", true},
        {"on the second monitor", kPopup, onSecond, "wxWindowNR", true},
        {"a caption-less dialog", kPopup, centred, "#32770", true},
        {"a dialog or message box with a title bar", kStyleCaption | kPopup, centred, "#32770", false},
        {"a menu", kPopup, centred, "#32768", false},
        {"a tooltip", kPopup, centred, "tooltips_class32", false},
        {"a child window", kStyleChild, centred, "Static", false},
        {"off centre", kPopup, {10, 10, 410, 310}, "Splash", false},
        {"covering the screen", kPopup, kScreen, "Game", false},
        {"covering the second monitor", kPopup, second.monitor, "Game", false},
    };
    for (const auto &c : cases) {
        FakeWindow w;
        w.className = c.className;
        w.monitors.push_back(second);
        FactSource source = {&w,              FakeReadWorkArea, FakeReadClassName, FakeWalkChildren,
                             FakeReadExStyle, FakeReadMonitors, FakeReadOwned};
        WindowFacts facts;
        InitWindowFacts(&facts, c.style, &c.rect, &w.screen);
        EXPECT_EQ(c.offered, MayBeLeftOnScreen(&facts, &source)) << c.what;
        EXPECT_LE(w.classNameReads, 1) << c.what;
        EXPECT_EQ(0, w.childWalks + w.exStyleReads + w.ownerReads) << c.what << ": asked for more";
    }
}

TEST(LeftList, KeepsTheTenNewestOnceEachAndMakesTheirRules)
{
    LeftList list = {};
    for (uint64_t w = 1; w <= kLeftShown + 2; ++w) {
        LeftEntry entry = {};
        entry.window = w;
        entry.width = (int32_t)w;
        entry.height = 2;
        strcpy(entry.className, "Splash");
        strcpy(entry.path, "C:\\App.exe");
        LeftListAdd(&list, &entry);
        LeftListAdd(&list, &entry); // reported twice: listed once
    }
    ASSERT_EQ((unsigned)kLeftShown, list.count);
    EXPECT_EQ(kLeftShown + 2u, LeftListNewest(&list, 0)->window);
    EXPECT_EQ(3u, LeftListNewest(&list, kLeftShown - 1)->window) << "the two oldest went";
    EXPECT_TRUE(LeftListNewest(&list, kLeftShown) == nullptr);

    LeftListRemove(&list, 1);
    EXPECT_EQ(kLeftShown - 1u, list.count);
    EXPECT_EQ(kLeftShown + 2u, LeftListNewest(&list, 0)->window);
    EXPECT_EQ(kLeftShown + 0u, LeftListNewest(&list, 1)->window);

    SplashRule rule;
    RuleFromEntry(LeftListNewest(&list, 0), &rule);
    EXPECT_EQ(kLeftShown + 2, rule.width);
    EXPECT_EQ(2, rule.height);
    EXPECT_STREQ("Splash", rule.className);
    EXPECT_STREQ("C:\\App.exe", rule.path);
}
