#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_window.h"
#include "monitor_layout.h"
#include "splash_shape.h"

TEST(SplashShape, WorkedExampleIsMovedWithItsSizeKept)
{
    FakeWindow w;
    w.children = {kStatic};
    Rect32 rect = {312, 234, 712, 534};
    EXPECT_TRUE(Classify(&w, kPopup, rect));
    Placement p = OffscreenPlacement(&rect, &kScreen);
    EXPECT_EQ(-850, p.x);
    EXPECT_EQ(-650, p.y);
    EXPECT_EQ(400, p.width);
    EXPECT_EQ(300, p.height);
}

// The table's windows sit on the screen above; unless a case says otherwise
// they have no title bar and carry WS_POPUP.
struct ShapeCase {
    const char *what;
    uint32_t style;
    Rect32 rect;
    const char *className;
    std::vector<Child> children;
    bool splash;
};

TEST(SplashShape, DecidesByCentringStyleClassAndChildren)
{
    const Rect32 both = CentredAt(512, 384, 400, 300);
    const Rect32 onlyH = CentredAt(512, 100, 400, 100);
    const Rect32 onlyV = CentredAt(200, 384, 300, 300);
    const ShapeCase cases[] = {
        {"no children at all", kPopup, both, "Splash", {}, true},
        {"title bar", kPopup | kBorder | kDlgFrame, both, "Splash", {}, false},
        {"border bit alone is a title bar", kPopup | kBorder, both, "Splash", {}, false},
        {"dialog-frame bit alone too", kPopup | kDlgFrame, both, "Splash", {}, false},
        {"title bar beats a splash class", kBorder, onlyH, "TSplashForm", {}, false},
        {"exactly the screen", kPopup, kScreen, "Splash", {}, false},
        {"exactly the work area", kPopup, kWorkArea, "Splash", {}, false},
        {"not a popup", 0, both, "Splash", {}, false},
        {"3 px right of centre", kPopup, CentredAt(515, 384, 400, 300), "S", {}, true},
        {"3 px left and up", kPopup, CentredAt(509, 381, 400, 300), "S", {}, true},
        {"4 px right of centre", kPopup, CentredAt(516, 384, 400, 300), "S", {}, false},
        {"centred on the work area only", kPopup, CentredAt(512, 369, 400, 300), "S", {}, true},
        {"4 px off both centres vertically", kPopup, CentredAt(512, 388, 400, 300), "S", {}, false},
        {"centred vertically only", kPopup, onlyV, "Splash", {}, false},
        {"vertically only, splash class", kPopup, onlyV, "TSplash", {}, false},
        {"statics only", kPopup, both, "S", {kStatic, kStatic}, true},
        {"statics and a disabled button", kPopup, both, "S", {kStatic, kStatic, kDisabledButton}, true},
        {"an enabled button", kPopup, both, "S", {kStatic, kStatic, kEnabledButton}, false},
        {"enabled button, splash class", kPopup, both, "TSplashForm", {kEnabledButton}, true},
        {"enabled button, other splash class", kPopup, both, "tdlgsplashX", {kEnabledButton}, true},
        {"splash class is a prefix", kPopup, both, "TSplas", {kEnabledButton}, false},
        {"dialog with static and image", kPopup, both, "#32770", {kStatic, kSplashImage}, true},
        {"image without the dialog class", kPopup, both, "S", {kStatic, kSplashImage}, false},
        {"dialog with three children", kPopup, both, "#32770", {kStatic, kSplashImage, kStatic}, false},
        {"dialog with three statics", kPopup, both, "#32770", {kStatic, kStatic, kStatic}, true},
        {"dialog class is no splash class", kPopup, both, "#32770", {kEnabledButton}, false},
        {"horizontally only, splash class, no popup", 0, onlyH, "TSplashForm", {kEnabledButton}, true},
        {"horizontally only, Maya frame", 0, onlyH, "S", {kMayaFrame}, true},
        {"horizontally only, Maya frame, popup", kPopup, onlyH, "S", {kMayaFrame}, true},
        {"horizontally only, Maya frame and more", 0, onlyH, "S", {kMayaFrame, kStatic}, false},
        {"horizontally only, Maya as a class name", 0, onlyH, "S", {{"MayaStartupWndFrame", 0, ""}}, false},
        {"horizontally only, no children", kPopup, onlyH, "S", {}, false},
        {"horizontally only, statics", kPopup, onlyH, "S", {kStatic}, false},
        {"class prefixes of children", kPopup, both, "S", {{"staticframe", 0, ""}, {"ButtonEx", kStyleDisabled, ""}}, true},
        {"a menu", kPopup, both, "#32768", {}, false},
        {"a drop-down list, class in any case", kPopup, both, "COMBOLBOX", {}, false},
        {"a tooltip", kPopup, both, "tooltips_class32", {}, false},
        {"a sizing border", kPopup | kSizingBorder, both, "Splash", {}, true},
    };
    for (const ShapeCase &c : cases) {
        FakeWindow w;
        w.className = c.className;
        w.children = c.children;
        EXPECT_EQ(c.splash, Classify(&w, c.style, c.rect)) << c.what;
    }
}

// Without WS_POPUP, a window centred both ways is taken only as a bare tool
// window; these sit centred on the work area, as NSIS centres its splash.
TEST(SplashShape, TakesABareToolWindowWithoutPopup)
{
    const uint32_t kTool = kExStyleToolWindow;
    const uint32_t kClipSiblings = 0x04000000, kVisible = 0x10000000;
    const Rect32 onWorkArea = CentredAt(512, 369, 320, 200);
    const struct {
        const char *what;
        uint32_t style, exStyle;
        Rect32 rect;
        const char *className;
        std::vector<Child> children;
        bool splash;
    } cases[] = {
        {"NSIS splash", kVisible | kClipSiblings, kTool | 0x00080000, onWorkArea, "_sp", {}, true},
        {"not a tool window", kVisible | kClipSiblings, 0, onWorkArea, "_sp", {}, false},
        {"a static child", kClipSiblings, kTool, onWorkArea, "_sp", {kStatic}, false},
        {"known splash class, a child", 0, kTool, onWorkArea, "TSplashForm", {kEnabledButton}, false},
        {"a child window", kStyleChild, kTool, onWorkArea, "_sp", {}, false},
        {"a sizing border", kStyleThickFrame, kTool, onWorkArea, "_sp", {}, false},
        {"a title bar", kBorder | kDlgFrame, kTool, onWorkArea, "_sp", {}, false},
        {"exactly the work area", 0, kTool, kWorkArea, "_sp", {}, false},
        {"centred horizontally only", 0, kTool, CentredAt(512, 100, 320, 200), "_sp", {}, false},
        {"4 px off centre", 0, kTool, CentredAt(516, 369, 320, 200), "_sp", {}, false},
    };
    for (const auto &c : cases) {
        FakeWindow w;
        w.className = c.className;
        w.children = c.children;
        w.exStyle = c.exStyle;
        EXPECT_EQ(c.splash, Classify(&w, c.style, c.rect)) << c.what;
    }
}

TEST(SplashShape, WorkAreaCountsEachAxisOnItsOwn)
{
    // Work area shifted right and up: the window is centred horizontally on the
    // screen and vertically on the work area, on neither both ways.
    FakeWindow w;
    w.workArea = {200, 0, 1024, 700};
    WindowFacts facts;
    EXPECT_TRUE(Classify(&w, kPopup, CentredAt(512, 350, 200, 100), &facts));
    EXPECT_TRUE(facts.centredH);
    EXPECT_TRUE(facts.centredV);

    // Without a work area the screen stays the reference.
    FakeWindow none;
    none.hasWorkArea = false;
    EXPECT_FALSE(Classify(&none, kPopup, CentredAt(512, 369, 400, 300)));
    EXPECT_EQ(1, none.workAreaReads);

    // A work area kept from a larger screen is cut to this one, and one that
    // does not meet the screen counts for nothing: neither centres a window
    // centred on the old screen.
    for (const Rect32 &stale : {Rect32{0, 0, 1024, 768}, Rect32{2000, 2000, 3024, 2768}}) {
        FakeWindow w;
        w.screen = {0, 0, 800, 600};
        w.monitors = {{w.screen, stale}};
        w.workArea = stale;
        WindowFacts cut;
        EXPECT_FALSE(Classify(&w, kPopup, CentredAt(512, 384, 400, 300), &cut)) << stale.left;
        EXPECT_FALSE(cut.centredH || cut.centredV) << stale.left;
    }
}

TEST(SplashShape, ReadsCostlyFactsOnlyWhenTheCheapTestsPass)
{
    FakeWindow centred;
    Classify(&centred, kPopup, CentredAt(512, 384, 400, 300));
    EXPECT_EQ(0, centred.workAreaReads) << "centred on the screen needs no work area";
    EXPECT_EQ(1, centred.classNameReads);
    EXPECT_EQ(1, centred.childWalks);
    EXPECT_EQ(0, centred.exStyleReads) << "a popup needs no extended style";

    FakeWindow captioned;
    Classify(&captioned, kPopup | kBorder, CentredAt(512, 384, 400, 300));
    EXPECT_EQ(0, captioned.classNameReads);
    EXPECT_EQ(0, captioned.childWalks);
    EXPECT_EQ(0, captioned.exStyleReads);

    FakeWindow offCentre;
    Classify(&offCentre, kPopup, CentredAt(100, 100, 50, 50));
    EXPECT_EQ(1, offCentre.workAreaReads);
    EXPECT_EQ(0, offCentre.classNameReads);
    EXPECT_EQ(0, offCentre.childWalks);
    EXPECT_EQ(0, offCentre.exStyleReads);
    EXPECT_EQ(0, centred.monitorReads + captioned.monitorReads)
        << "only a caption-less window that missed the primary screen asks for the monitors";

    FakeWindow captionedPlain, offCentrePlain; // neither a popup nor asked for more
    Classify(&captionedPlain, kBorder | kDlgFrame, CentredAt(512, 384, 400, 300));
    Classify(&offCentrePlain, 0, CentredAt(100, 100, 50, 50));
    EXPECT_EQ(0, captionedPlain.exStyleReads + offCentrePlain.exStyleReads);

    FakeWindow plain; // not a tool window: its children are never asked for
    Classify(&plain, 0, CentredAt(512, 384, 400, 300));
    EXPECT_EQ(1, plain.exStyleReads);
    EXPECT_EQ(0, plain.childWalks);
    EXPECT_EQ(0, plain.classNameReads);

    FakeWindow splashClass;
    splashClass.className = "TSplashForm";
    Classify(&splashClass, kPopup, CentredAt(512, 384, 400, 300));
    EXPECT_EQ(0, splashClass.childWalks) << "a splash class is moved whatever its children";
}

// Second monitors as they are set up: to the right, to the left (negative x),
// above and half to the left (negative y), each with a bar along its bottom.
struct Layout {
    const char *name;
    MonitorRects second;
};
const Layout kLayouts[] = {
    {"right", {{1024, 0, 2304, 720}, {1024, 0, 2304, 690}}},
    {"left", {{-1280, 0, 0, 720}, {-1280, 0, 0, 690}}},
    {"above", {{-640, -720, 640, 0}, {-640, -720, 640, -30}}},
};

Rect32 CentreOf(const Rect32 &r, int width, int height)
{
    return CentredAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, width, height);
}

TEST(SplashShape, ASplashCentredOnAnyMonitorIsOne)
{
    for (const Layout &layout : kLayouts) {
        const MonitorRects &m = layout.second;
        const Rect32 both = {kScreen.left < m.monitor.left ? kScreen.left : m.monitor.left,
                             kScreen.top < m.monitor.top ? kScreen.top : m.monitor.top,
                             kScreen.right > m.monitor.right ? kScreen.right : m.monitor.right,
                             kScreen.bottom > m.monitor.bottom ? kScreen.bottom : m.monitor.bottom};
        const struct {
            const char *what;
            Rect32 rect;
            std::vector<Child> children;
            bool splash;
        } cases[] = {
            {"centred on its screen", CentreOf(m.monitor, 400, 300), {}, true},
            {"centred on its work area", CentreOf(m.work, 400, 300), {kStatic}, true},
            {"centred across only", CentredAt((m.monitor.left + m.monitor.right) / 2, (m.monitor.top + m.monitor.bottom) / 2 + 40, 400, 300), {}, false},
            {"across only, a Maya frame", CentredAt((m.monitor.left + m.monitor.right) / 2, (m.monitor.top + m.monitor.bottom) / 2 + 40, 400, 300), {kMayaFrame}, true},
            {"off its centre", {m.monitor.left + 10, m.monitor.top + 10, m.monitor.left + 210, m.monitor.top + 110}, {}, false},
            {"spanning both monitors", CentreOf(both, 1400, 300), {}, false},
            {"exactly its screen", m.monitor, {}, false},
            {"exactly its work area", m.work, {}, false},
            {"an enabled button", CentreOf(m.monitor, 400, 300), {kEnabledButton}, false},
            {"on the primary, as before", CentredAt(512, 369, 400, 300), {}, true},
        };
        for (const auto &c : cases) {
            FakeWindow w;
            w.monitors = {{kScreen, kWorkArea}, m};
            w.children = c.children;
            EXPECT_EQ(c.splash, Classify(&w, kPopup, c.rect)) << layout.name << ": " << c.what;
        }
    }
    // A window of the second monitor's size, centred on the primary screen, is
    // judged by the primary, not counted full-screen for matching that monitor.
    FakeWindow same;
    same.monitors = {{kScreen, kWorkArea}, {{1024, 0, 1424, 300}, {1024, 0, 1424, 300}}};
    EXPECT_TRUE(Classify(&same, kPopup, CentredAt(512, 384, 400, 300)));
}

TEST(SplashShape, TheOffScreenPlaceIsOffEveryMonitor)
{
    for (const Layout &layout : kLayouts) {
        MonitorLayout monitors = {{{kScreen, kWorkArea}, layout.second}, 2};
        const Rect32 all = VirtualScreen(&monitors, &kScreen);
        for (const Rect32 &window : {CentredAt(512, 384, 400, 300), CentredAt(-640, 360, 1280, 720),
                                     Rect32{0, 0, 0, 0}}) {
            Placement p = OffscreenPlacement(&window, &all);
            Rect32 placed = {p.x, p.y, p.x + p.width, p.y + p.height};
            for (unsigned i = 0; i < monitors.count; ++i) {
                const Rect32 &m = monitors.monitors[i].monitor;
                bool meets = placed.left < m.right && m.left < placed.right &&
                             placed.top < m.bottom && m.top < placed.bottom;
                EXPECT_FALSE(meets) << layout.name << ": lands on monitor " << i;
            }
            EXPECT_EQ(p.width, window.right - window.left);
        }
    }
    // One monitor at the origin: today's place.
    MonitorLayout one = {{{kScreen, kWorkArea}}, 1};
    const Rect32 all = VirtualScreen(&one, &kScreen);
    Rect32 worked = {312, 234, 712, 534};
    EXPECT_EQ(-850, OffscreenPlacement(&worked, &all).x);
    EXPECT_EQ(-650, OffscreenPlacement(&worked, &all).y);
}

TEST(NearestMonitor, IsTheOneOverlappedMostOrElseTheClosest)
{
    const MonitorLayout layout = {{{kScreen, kWorkArea}, kLayouts[0].second}, 2};
    const struct {
        Rect32 rect;
        unsigned monitor;
    } cases[] = {
        {CentredAt(512, 384, 100, 100), 0},
        {CentredAt(1664, 360, 100, 100), 1},
        {{900, 100, 1200, 200}, 1},      // more of it on the second
        {{800, 100, 1100, 200}, 0},      // more of it on the first
        {{2400, 100, 2500, 200}, 1},     // right of everything
        {{-900, -700, -500, -400}, 0},   // above and left of everything
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.monitor, NearestMonitor(&layout, &c.rect))
            << c.rect.left << "," << c.rect.top;
    const MonitorLayout none = {{}, 0};
    EXPECT_EQ(0u, NearestMonitor(&none, &cases[0].rect));
    EXPECT_EQ(kScreen.right, VirtualScreen(&none, &kScreen).right);
}

TEST(SplashShape, CentresTruncateTowardZero)
{
    // The window's vertical and horizontal centres are -2.5, which truncates to
    // -2 (rounding down would give -3, 4 pixels from the screen's centre at 1).
    FakeWindow w;
    w.screen = {-3, -3, 5, 5};
    w.hasWorkArea = false;
    EXPECT_TRUE(Classify(&w, kPopup, Rect32{-5, -5, 0, 0}));
}

TEST(SplashShape, ExtremeRectanglesNeitherOverflowNorMisjudge)
{
    // Edges at the ends of the 32-bit range: sums would overflow in 32 bits.
    const Rect32 huge = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    FakeWindow w;
    w.screen = {-10, -10, 10, 10};
    w.hasWorkArea = false;
    EXPECT_TRUE(Classify(&w, kPopup, huge)); // centres both truncate to 0

    FakeWindow farAway;
    farAway.screen = {INT32_MAX - 100, INT32_MAX - 100, INT32_MAX, INT32_MAX};
    farAway.hasWorkArea = false;
    EXPECT_TRUE(Classify(&farAway, kPopup, Rect32{INT32_MAX - 60, INT32_MAX - 60, INT32_MAX - 40, INT32_MAX - 40}));
    EXPECT_FALSE(Classify(&farAway, kPopup, Rect32{INT32_MAX - 70, INT32_MAX - 70, INT32_MAX - 40, INT32_MAX - 40}));

    Placement p = OffscreenPlacement(&huge, &kScreen);
    EXPECT_EQ(INT32_MIN, p.x);
    EXPECT_EQ(INT32_MIN, p.y);
    EXPECT_EQ(INT32_MAX, p.width);
    EXPECT_EQ(INT32_MAX, p.height);

    // Large but representable: the move stays exact.
    const Rect32 wide = {-1000000000, 0, 1000000000, 10};
    p = OffscreenPlacement(&wide, &kScreen);
    EXPECT_EQ(INT32_MIN, p.x); // -2 * (2e9 + 25) is beyond the range
    EXPECT_EQ(-70, p.y);
    EXPECT_EQ(2000000000, p.width);
    const Rect32 big = {0, 0, 1000000000, 1073741798};
    p = OffscreenPlacement(&big, &kScreen);
    EXPECT_EQ(-2000000050, p.x);
    EXPECT_EQ(-2147483646, p.y);
}

TEST(SplashShape, EmptyWindowLandsClearOfTheOrigin)
{
    const Rect32 empty = {10, 10, 10, 10};
    Placement p = OffscreenPlacement(&empty, &kScreen);
    EXPECT_EQ(-50, p.x);
    EXPECT_EQ(-50, p.y);
    EXPECT_EQ(0, p.width);
    EXPECT_EQ(0, p.height);
}

TEST(IsExePath, MatchesTheLastFourCharactersOnly)
{
    EXPECT_TRUE(IsExePath("C:\\Apps\\Tool.exe", 260));
    EXPECT_TRUE(IsExePath("C:\\APPS\\TOOL.EXE", 260));
    EXPECT_TRUE(IsExePath(".eXe", 260));
    EXPECT_FALSE(IsExePath("exe", 260));
    EXPECT_FALSE(IsExePath("", 260));
    EXPECT_FALSE(IsExePath("C:\\Apps\\Tool_exe", 260));
    EXPECT_FALSE(IsExePath("C:\\Apps\\Tool.exe.bak", 260));
    EXPECT_FALSE(IsExePath("C:\\Apps\\Tool.dll", 260));

    // A buffer filled to its end with no terminator is no path.
    std::string unterminated(255, 'x');
    unterminated += ".exe";
    std::unique_ptr<char[]> buffer(new char[259]);
    memcpy(buffer.get(), unterminated.data(), 259);
    EXPECT_FALSE(IsExePath(buffer.get(), 259));
}
