#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ascii.h"
#include "classifier.h"
#include "fixture_client.h"
#include "ignore_list.h"
#include "library_names.h"

// The entry point of the library's code linked into this program; called by
// hand, it gives that code the record the loaded library shares.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

namespace {

const char kTestClass[] = "ZentrovaTestWindow";

struct ChildSpec {
    const char *className;
    DWORD style;
    const char *text;
};

// Real windows of this process, on the desktop of the test's Wine prefix.
class Classifier : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = kTestClass;
        RegisterClassA(&wc);
    }

    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
        GetWindowRect(GetDesktopWindow(), &screen_);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea_, 0);
    }

    void TearDown() override
    {
        for (HWND hwnd : windows_)
            DestroyWindow(hwnd);
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    }

    // A hidden window, centred on (cx, cy), with the given children.
    HWND Create(DWORD style, int cx, int cy, int width, int height,
                const std::vector<ChildSpec> &children = {}, const char *className = kTestClass)
    {
        HWND hwnd = CreateWindowExA(0, className, "", style, cx - width / 2, cy - height / 2,
                                    width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
        EXPECT_TRUE(hwnd != NULL);
        windows_.push_back(hwnd);
        for (const ChildSpec &c : children)
            EXPECT_TRUE(CreateWindowExA(0, c.className, c.text, WS_CHILD | c.style, 0, 0, 10,
                                        10, hwnd, NULL, GetModuleHandleA(NULL), NULL) != NULL);
        return hwnd;
    }

    int ScreenCx() const { return (screen_.left + screen_.right) / 2; }
    int ScreenCy() const { return (screen_.top + screen_.bottom) / 2; }
    int WorkCy() const { return (workArea_.top + workArea_.bottom) / 2; }

    static RECT RectOf(HWND hwnd)
    {
        RECT r = {};
        GetWindowRect(hwnd, &r);
        return r;
    }

    static void ExpectUnmoved(HWND hwnd, const RECT &before)
    {
        RECT now = RectOf(hwnd);
        EXPECT_TRUE(EqualRect(&before, &now)) << "moved to " << now.left << "," << now.top;
    }

    static std::string OwnExe()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(NULL, path, sizeof path);
        return path;
    }

    RECT screen_ = {}, workArea_ = {};
    std::vector<HWND> windows_;
};

} // namespace

TEST_F(Classifier, MovesASplashFarOffScreenKeepingItsSize)
{
    HWND splash = Create(WS_POPUP, ScreenCx(), ScreenCy(), 400, 300, {{"Static", SS_BITMAP, ""}});
    EXPECT_EQ(1, TryKillSplash(splash));
    RECT r = RectOf(splash);
    EXPECT_EQ(-850, r.left);
    EXPECT_EQ(-650, r.top);
    EXPECT_EQ(400, r.right - r.left);
    EXPECT_EQ(300, r.bottom - r.top);
    EXPECT_TRUE(IsWindow(splash)) << "moved, never destroyed";

    // The move delivers WM_MOVE, which brings the window back here: no longer
    // centred, it is left where it is and reported only once.
    EXPECT_EQ(0, TryKillSplash(splash));
    EXPECT_EQ(-850, RectOf(splash).left);
}

TEST_F(Classifier, LeavesWindowsWithATitleBarOrTheWholeScreenAlone)
{
    HWND captioned = Create(WS_POPUP | WS_CAPTION, ScreenCx(), ScreenCy(), 400, 300);
    HWND messageBoxLike = Create(WS_POPUP | WS_CAPTION | WS_SYSMENU, ScreenCx(), ScreenCy(),
                                 300, 120, {{"Static", 0, "Text"}, {"Button", 0, "OK"}});
    HWND fullScreen = Create(WS_POPUP, ScreenCx(), ScreenCy(), screen_.right - screen_.left,
                             screen_.bottom - screen_.top);
    for (HWND hwnd : {captioned, messageBoxLike, fullScreen}) {
        RECT before = RectOf(hwnd);
        EXPECT_EQ(0, TryKillSplash(hwnd));
        ExpectUnmoved(hwnd, before);
    }
}

TEST_F(Classifier, CountsOnTheWorkAreaWhenTheScreenCentreMisses)
{
    // The prefix's desktop has a taskbar, so the two vertical centres differ;
    // Wine 10's virtual desktop leaves it out of the work area (Windows and
    // Wine 8 do not), and then there is nothing to tell apart here.
    if (std::abs(WorkCy() - ScreenCy()) <= 3)
        GTEST_SKIP() << "this desktop's work area is its whole screen: nothing to tell apart";
    HWND onWorkArea = Create(WS_POPUP, ScreenCx(), WorkCy(), 300, 200);
    EXPECT_EQ(1, TryKillSplash(onWorkArea));

    HWND wholeWorkArea = CreateWindowExA(0, kTestClass, "", WS_POPUP, workArea_.left,
                                         workArea_.top, workArea_.right - workArea_.left,
                                         workArea_.bottom - workArea_.top, NULL, NULL,
                                         GetModuleHandleA(NULL), NULL);
    windows_.push_back(wholeWorkArea);
    RECT before = RectOf(wholeWorkArea);
    EXPECT_EQ(0, TryKillSplash(wholeWorkArea));
    ExpectUnmoved(wholeWorkArea, before);
}

TEST_F(Classifier, JudgesRealChildrenByClassStyleAndText)
{
    const struct {
        const char *what;
        DWORD style;
        bool centredV;
        std::vector<ChildSpec> children;
        int moved;
    } cases[] = {
        {"statics and a disabled button", WS_POPUP, true,
         {{"Static", 0, ""}, {"Static", 0, "Loading"}, {"Button", WS_DISABLED, "Cancel"}}, 1},
        {"an enabled button", WS_POPUP, true, {{"Static", 0, ""}, {"Button", 0, "Cancel"}}, 0},
        {"an edit control", WS_POPUP, true, {{"Edit", 0, ""}}, 0},
        {"horizontally only, Maya frame text", WS_POPUP, false, {{"Static", 0, "MayaStartupWndFrame"}}, 1},
        {"horizontally only, a plain static", WS_POPUP, false, {{"Static", 0, "Maya"}}, 0},
    };
    for (const auto &c : cases) {
        int cy = c.centredV ? ScreenCy() : screen_.top + 150;
        HWND hwnd = Create(c.style, ScreenCx(), cy, 300, 200, c.children);
        EXPECT_EQ(c.moved, TryKillSplash(hwnd)) << c.what;
    }
}

TEST_F(Classifier, FindsTheModuleAndExecutableThatOwnAWindow)
{
    HWND hwnd = Create(WS_POPUP, 100, 100, 50, 50);
    WindowFacts facts;
    facts.modulePath[0] = facts.exePath[0] = 0;
    FindWindowOwner(hwnd, &facts);
    EXPECT_TRUE(AsciiEqualNoCase(OwnExe().c_str(), facts.modulePath)) << facts.modulePath;
    EXPECT_TRUE(AsciiEqualNoCase(OwnExe().c_str(), facts.exePath)) << facts.exePath;
}

TEST_F(Classifier, SparesSplashScreensOfIgnoredExecutables)
{
    std::string upper = OwnExe();
    CharUpperA(&upper[0]);
    const char *entries[] = {"C:\\Somewhere\\else.exe", upper.c_str()};
    ASSERT_TRUE(WriteIgnoreList(
        2, [](unsigned i, char *buffer, unsigned size, void *context) {
            lstrcpynA(buffer, static_cast<const char **>(context)[i], (int)size);
        },
        entries));
    HWND splash = Create(WS_POPUP, ScreenCx(), ScreenCy(), 400, 300);
    RECT before = RectOf(splash);
    EXPECT_EQ(0, TryKillSplash(splash));
    ExpectUnmoved(splash, before);

    // Off the list again, the next examination moves it.
    ASSERT_TRUE(WriteIgnoreList(1, [](unsigned, char *buffer, unsigned size, void *) {
        lstrcpynA(buffer, "C:\\Somewhere\\else.exe", (int)size);
    }, NULL));
    EXPECT_EQ(1, TryKillSplash(splash));
}

namespace {

const UINT kKilled = WM_APP + 0x77;
int g_kills;

LRESULT CALLBACK CountKills(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kKilled) {
        ++g_kills;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

TEST_F(Classifier, ExaminesOnlyWindowsOfItsOwnProcess)
{
    Fixture fixture;
    ASSERT_TRUE(StartFixture(&fixture));
    // Both made before any hook, so both start out centred.
    FixtureRect theirs = FixtureWindow(&fixture, "create splash");
    ASSERT_TRUE(theirs.ok);
    HWND own = Create(WS_POPUP, ScreenCx(), ScreenCy(), 400, 300);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountKills;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZentrovaTestKills";
    RegisterClassA(&wc);
    HWND notify = Create(WS_OVERLAPPED, 0, 0, 10, 10, {}, wc.lpszClassName);
    // The library as the runner installs it: its hook runs inside the fixture.
    HMODULE library = LoadLibraryA(BuiltProgram(ZENTROVA_LIBRARY_NAME).c_str());
    ASSERT_TRUE(library != NULL);
    auto setHooks = (BOOL(WINAPI *)(HWND, UINT, UINT))(void *)GetProcAddress(library, "ZentrovaSetHooks");
    auto removeHooks = (void(WINAPI *)())(void *)GetProcAddress(library, "ZentrovaRemoveHooks");
    ASSERT_TRUE(setHooks != NULL && removeHooks != NULL);
    ASSERT_TRUE(setHooks(notify, kKilled, WM_USER + 1));
    DllMain(GetModuleHandleA(NULL), DLL_PROCESS_ATTACH, NULL);
    g_kills = 0;

    EXPECT_EQ(0, TryKillSplash(theirs.hwnd));
    EXPECT_EQ(1, TryKillSplash(own)) << "a window of this process is examined here";
    PumpMessagesFor(200);
    EXPECT_EQ(1, g_kills) << "only the move here is reported";
    FixtureRect still = FixtureWindow(&fixture, "rect 0");
    ASSERT_TRUE(still.ok);
    EXPECT_TRUE(EqualRect(&theirs.rect, &still.rect)) << "moved from another process";

    // Examined inside its own process, the same window goes.
    FixtureRect moved = FixtureWindow(&fixture, "send 0 3 0"); // WM_MOVE
    EXPECT_EQ(-850, moved.rect.left);
    PumpMessagesFor(200);
    EXPECT_EQ(2, g_kills);

    removeHooks();
    DllMain(GetModuleHandleA(NULL), DLL_PROCESS_DETACH, NULL);
    FreeLibrary(library);
    EXPECT_EQ(0, StopFixture(&fixture));
}
