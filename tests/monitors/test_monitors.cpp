// Two monitors, as scripts/test-monitors sets them up on Wine's root desktop:
// the runner's live hook judging the fixture's windows on the second monitor,
// in each layout, and bringing one back where the pointer is. The script
// switches the layout when this program asks for it on standard output.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "corpus/corpus_rows.h"
#include "runner_harness.h"
#include "splash_shape.h"
#include "virtual_screen.h"

namespace {

// The primary is 1024 x 768 with a 30-pixel bar; the second 1280 x 720, with
// a 30-pixel bar, placed as each layout says (in the script too).
const RECT kPrimary = {0, 0, 1024, 768};
const RECT kPrimaryWork = {0, 0, 1024, 738};
struct Layout {
    const char *name;
    RECT second, secondWork;
};
const Layout kRight = {"right", {1024, 0, 2304, 720}, {1024, 0, 2304, 690}};
const Layout kLeft = {"left", {-1280, 0, 0, 720}, {-1280, 0, 0, 690}};
// Above and half to the left: the old off-screen place lies on it.
const Layout kAbove = {"above", {-640, -720, 640, 0}, {-640, -720, 640, -30}};

struct Monitors {
    std::vector<MONITORINFO> list;
};

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        ((Monitors *)context)->list.push_back(info);
    return TRUE;
}

bool Shows(const Layout &layout)
{
    Monitors m;
    EnumDisplayMonitors(NULL, NULL, NoteMonitor, (LPARAM)&m);
    if (m.list.size() != 2)
        return false;
    int primary = (m.list[0].dwFlags & MONITORINFOF_PRIMARY) ? 0 : 1;
    const MONITORINFO &p = m.list[primary], &s = m.list[1 - primary];
    return EqualRect(&p.rcMonitor, &kPrimary) && EqualRect(&p.rcWork, &kPrimaryWork) &&
           EqualRect(&s.rcMonitor, &layout.second) && EqualRect(&s.rcWork, &layout.secondWork);
}

// Asks the script for the layout, then waits until this process sees it.
bool SetLayout(const Layout &layout)
{
    static int requests;
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ZENTROVA_LAYOUT_DONE", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return false;
    std::string done = std::string(folder) + "\\" + std::to_string(++requests);
    printf("zentrova-layout %s %d\n", layout.name, requests);
    fflush(stdout);
    DWORD start = GetTickCount();
    while (GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES ||
           !Shows(layout)) {
        if (GetTickCount() - start > Patient(20000))
            return false;
        PumpMessagesFor(50);
    }
    return true;
}

RECT CentredOn(const RECT &area, int width, int height, int down = 0)
{
    int x = (area.left + area.right - width) / 2, y = (area.top + area.bottom - height) / 2 + down;
    return RECT{x, y, x + width, y + height};
}

std::string AsText(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Where the library puts a window of this rectangle now.
RECT OffscreenPlace(const RECT &r)
{
    Rect32 window = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    Placement p = OffscreenPlacement(&window, &all);
    return RECT{p.x, p.y, p.x + p.width, p.y + p.height};
}

class TwoMonitors : public RunnerTest {
protected:
    void StartRunner(const Layout &layout)
    {
        ASSERT_TRUE(SetLayout(layout)) << layout.name << ": the layout was not set";
        runner_ = Start();
        main_ = MainWindow(runner_);
        ASSERT_TRUE(main_ != NULL);
        ASSERT_TRUE(StartFixture(&fixture_));
    }

    // Shows a caption-less popup (or a window of the style given) whose
    // rectangle, once centred on area, is the one asked for; where it ends up.
    RECT Show(const RECT &area, int width, int height, const char *style = "80000000")
    {
        FixtureRect w = FixtureWindow(&fixture_, std::string("window ") + AsText(area) +
                                                     " ZentrovaFixtureWindow " + style + " 80 " +
                                                     std::to_string(width) + " " +
                                                     std::to_string(height));
        EXPECT_TRUE(w.ok);
        return w.rect;
    }

    // Shows the window, and checks that it was moved off every monitor, or left.
    void Expect(bool moved, const RECT &area, int width, int height, int down, const char *what,
                const char *style = "80000000")
    {
        RECT asked = CentredOn(area, width, height, down);
        RECT shown =
            Show(RECT{area.left, area.top + down, area.right, area.bottom + down}, width, height,
                 style);
        RECT expected = moved ? OffscreenPlace(asked) : asked;
        EXPECT_TRUE(EqualRect(&expected, &shown))
            << what << (moved ? ": not moved, at " : ": moved to ") << AsText(shown);
        if (moved) {
            EXPECT_TRUE(MonitorFromRect(&shown, MONITOR_DEFAULTTONULL) == NULL)
                << what << ": moved onto a monitor, to " << AsText(shown);
        }
    }

    Runner runner_;
    HWND main_ = NULL;
};

} // namespace

TEST_F(TwoMonitors, SplashScreensCentredOnTheSecondMonitorGoOffEveryMonitor)
{
    for (const Layout *layout : {&kRight, &kLeft, &kAbove}) {
        SCOPED_TRACE(layout->name);
        ASSERT_NO_FATAL_FAILURE(StartRunner(*layout));
        const RECT &m = layout->second, &work = layout->secondWork;
        RECT both;
        UnionRect(&both, &m, &kPrimary);
        Expect(true, m, 400, 300, 0, "centred on its screen");
        Expect(true, work, 400, 300, 0, "centred on its work area");
        Expect(false, m, 400, 300, 40, "centred across only");
        Expect(false, both, 1400, 300, 0, "spanning both monitors");
        Expect(false, m, m.right - m.left, m.bottom - m.top, 0, "exactly its screen");
        Expect(false, work, work.right - work.left, work.bottom - work.top, 0,
               "exactly its work area");
        Expect(false, m, 400, 300, 0, "with a title bar", "00CF0000");
        Expect(true, kPrimary, 400, 300, 0, "on the primary screen");
        Expect(true, kPrimaryWork, 400, 300, 0, "on the primary's work area");
        EXPECT_EQ(0, StopFixture(&fixture_));
        PostMessageA(main_, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, WaitForExit(runner_.process, 10000));
    }
}

// The corpus rows whose toolkits centre them on the monitor under the pointer,
// on the second monitor: each judged there as on the primary.
TEST_F(TwoMonitors, ToolkitsWindowsOnThePointersMonitorFareAsOnThePrimary)
{
    ASSERT_NO_FATAL_FAILURE(StartRunner(kLeft));
    for (unsigned i = 0; i < kCorpusRows; ++i) {
        const CorpusRow &row = kCorpus[i];
        if (!row.pointerMonitor)
            continue;
        bool onWork = strstr(row.shape, " work ") != NULL;
        const RECT &area = onWork ? kLeft.secondWork : kLeft.second;
        FixtureRect w = FixtureWindow(
            &fixture_, CommandOn(row, AsText(kLeft.second), AsText(kLeft.secondWork)));
        ASSERT_TRUE(w.ok) << row.toolkit << ", " << row.window;
        RECT asked = CentredOn(area, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top);
        RECT expected = row.moved ? OffscreenPlace(asked) : asked;
        EXPECT_TRUE(EqualRect(&expected, &w.rect))
            << row.toolkit << ", " << row.window << (row.moved ? ": not moved, at " : ": moved to ")
            << AsText(w.rect);
    }
}

TEST_F(TwoMonitors, AProgramSeesANewLayoutInItsNextWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartRunner(kRight));
    Expect(true, kRight.second, 400, 300, 0, "before the change");
    ASSERT_TRUE(SetLayout(kLeft));
    Expect(true, kLeft.second, 400, 300, 0, "on the monitor in its new place");
    Expect(false, kRight.second, 400, 300, 0, "where the monitor was");
}

TEST_F(TwoMonitors, BringBackPutsTheWindowWhereThePointerIs)
{
    ASSERT_NO_FATAL_FAILURE(StartRunner(kRight));
    RECT moved = Show(kRight.second, 400, 300);
    ASSERT_TRUE(MonitorFromRect(&moved, MONITOR_DEFAULTTONULL) == NULL);
    POINT onSecond = {(kRight.second.left + kRight.second.right) / 2, 100};
    ASSERT_TRUE(SetCursorPos(onSecond.x, onSecond.y));
    // From Quit up to Moved windows, into it, the first entry, Bring back.
    std::vector<WPARAM> keys(5, VK_UP);
    keys.insert(keys.end(), {VK_RIGHT, VK_RIGHT, VK_RETURN});
    ASSERT_TRUE(PressInTrayMenu(main_, runner_.processId, keys));
    RECT expected = CentredOn(kRight.secondWork, 400, 300);
    DWORD start = GetTickCount();
    FixtureRect w;
    do {
        PumpMessagesFor(50);
        w = FixtureWindow(&fixture_, "rect 0");
    } while (!(w.ok && EqualRect(&w.rect, &expected)) && GetTickCount() - start < Patient(5000));
    EXPECT_TRUE(EqualRect(&w.rect, &expected)) << "brought back to " << AsText(w.rect);
}
