// Zentrova.dll as the runner uses it: the hook installed from this process,
// the windows shown by a separate fixture process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

#include "fixture_client.h"
#include "library_names.h"
#include "zentrova.h"

namespace {

const UINT kKilled = WM_APP + 0x123;
const UINT kAux = WM_USER + 1;
const char kNotifyClass[] = "ZentrovaTestNotify";

// Messages at or above WM_USER that reached the notify window.
std::vector<UINT> g_received;
// How long the notify window takes over each message: the sender waits that long.
DWORD g_handlingMs;

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER) {
        g_received.push_back(message);
        Sleep(g_handlingMs);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct Record {
    unsigned long hwndNotify, hHook, uMsgAux, uMsgKilled;
};

bool ReadRecord(Fixture *f, Record *r)
{
    std::string answer = FixtureCommand(f, "record");
    return sscanf(answer.c_str(), "ok %lx %lx %lx %lx", &r->hwndNotify, &r->hHook, &r->uMsgAux,
                  &r->uMsgKilled) == 4;
}

unsigned long Word(HANDLE h)
{
    return (unsigned long)(ULONG_PTR)h & 0xFFFFFFFFul;
}

class HookLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = NotifyProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = kNotifyClass;
        RegisterClassA(&wc);
        g_received.clear();
        g_handlingMs = 0;
        notify_ = CreateNotifyWindow();
        ASSERT_TRUE(StartFixture(&fixture_));
        ASSERT_EQ("ok", FixtureCommand(&fixture_, "ping"));
        GetWindowRect(GetDesktopWindow(), &screen_);
    }

    void TearDown() override
    {
        ZentrovaRemoveHooks();
        EXPECT_EQ(0, StopFixture(&fixture_)) << "the fixture did not end cleanly";
        if (IsWindow(notify_))
            DestroyWindow(notify_);
    }

    static HWND CreateNotifyWindow()
    {
        return CreateWindowExA(0, kNotifyClass, "notify", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    }

    // The fixture's rectangle once the move has happened, and the window's size kept.
    void ExpectMovedOffScreen(const FixtureRect &w)
    {
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(-2 * (400 + 25), w.rect.left);
        EXPECT_EQ(-2 * (300 + 25), w.rect.top);
        EXPECT_EQ(400, w.rect.right - w.rect.left);
    }

    void ExpectCentred(const FixtureRect &w)
    {
        ASSERT_TRUE(w.ok);
        EXPECT_EQ((screen_.left + screen_.right) / 2, (w.rect.left + w.rect.right) / 2);
        EXPECT_EQ((screen_.top + screen_.bottom) / 2, (w.rect.top + w.rect.bottom) / 2);
    }

    size_t Count(UINT message)
    {
        size_t n = 0;
        for (UINT m : g_received)
            n += m == message;
        return n;
    }

    Fixture fixture_;
    HWND notify_ = NULL;
    RECT screen_ = {};
};

} // namespace

TEST_F(HookLibrary, MovesASplashInAnotherProcessAndReportsItOnce)
{
    g_handlingMs = 300;
    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ExpectMovedOffScreen(splash);
    // The report is synchronous: the fixture waited while it was handled.
    EXPECT_GE(splash.ms, 250u);
    PumpMessagesFor(300);
    EXPECT_EQ(1u, Count(kKilled));
    EXPECT_EQ(0u, Count(kAux)) << "a window moved is not offered as one left on screen";

    // Left in the middle though shown: offered once, by the auxiliary number,
    // posted; the one in the corner is no one's splash screen.
    g_handlingMs = 0;
    FixtureRect ordinary = FixtureWindow(&fixture_, "show captioned");
    ExpectCentred(ordinary);
    FixtureWindow(&fixture_, "send " + std::to_string(ordinary.id) + " 24 1"); // shown again
    FixtureRect corner = FixtureWindow(&fixture_, "show offcentre");
    ASSERT_TRUE(corner.ok);
    EXPECT_EQ(10, corner.rect.left);
    PumpMessagesFor(300);
    EXPECT_EQ(1u, Count(kAux));
    EXPECT_EQ(2u, g_received.size());
}

TEST_F(HookLibrary, ExaminesShowingAndMovingButNotHiding)
{
    // Made before the hook exists, so it starts out centred.
    FixtureRect splash = FixtureWindow(&fixture_, "create splash");
    FixtureRect other = FixtureWindow(&fixture_, "create splash");
    ExpectCentred(splash);
    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));

    char command[64];
    snprintf(command, sizeof command, "send %d %u 0", splash.id, WM_SHOWWINDOW);
    ExpectCentred(FixtureWindow(&fixture_, command));
    snprintf(command, sizeof command, "send %d %u 1", splash.id, WM_SHOWWINDOW);
    ExpectMovedOffScreen(FixtureWindow(&fixture_, command));
    // WM_MOVE is examined whatever it says.
    snprintf(command, sizeof command, "send %d %u 0", other.id, WM_MOVE);
    ExpectMovedOffScreen(FixtureWindow(&fixture_, command));
    PumpMessagesFor(300);
    EXPECT_EQ(2u, Count(kKilled));
}

TEST_F(HookLibrary, SharesItsRecordWithOtherProcesses)
{
    Record r;
    ZentrovaRemoveHooks();
    ASSERT_TRUE(ReadRecord(&fixture_, &r));
    EXPECT_EQ(0ul, r.hwndNotify | r.hHook | r.uMsgAux | r.uMsgKilled) << "nothing was installed";

    ASSERT_TRUE(ZentrovaSetHooks(notify_, 1027, 1025));
    ASSERT_TRUE(ReadRecord(&fixture_, &r));
    EXPECT_NE(0ul, r.hHook);
    EXPECT_EQ(1025ul, r.uMsgAux);
    EXPECT_EQ(1027ul, r.uMsgKilled);
    EXPECT_EQ(Word(notify_), r.hwndNotify);

    // A second installation, as by a later runner, replaces the first hook.
    HWND later = CreateNotifyWindow();
    unsigned long first = r.hHook;
    ASSERT_TRUE(ZentrovaSetHooks(later, 2000, 2001));
    ASSERT_TRUE(ReadRecord(&fixture_, &r));
    EXPECT_NE(0ul, r.hHook);
    EXPECT_NE(first, r.hHook) << "a fresh hook";
    EXPECT_EQ(2001ul, r.uMsgAux);
    EXPECT_EQ(2000ul, r.uMsgKilled);
    EXPECT_EQ(Word(later), r.hwndNotify);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(UnhookWindowsHookEx((HHOOK)(ULONG_PTR)first)) << "the first hook is gone";

    ZentrovaRemoveHooks();
    ASSERT_TRUE(ReadRecord(&fixture_, &r));
    EXPECT_EQ(0ul, r.hwndNotify | r.hHook | r.uMsgAux | r.uMsgKilled);
    // The hook really went with it: splash screens stay where they are.
    ExpectCentred(FixtureWindow(&fixture_, "show splash"));
    DestroyWindow(later);
}

TEST_F(HookLibrary, SendsNothingWithoutAMessageNumberOrAWindow)
{
    ASSERT_TRUE(ZentrovaSetHooks(notify_, 0, kAux));
    ExpectMovedOffScreen(FixtureWindow(&fixture_, "show splash"));
    PumpMessagesFor(300);
    EXPECT_TRUE(g_received.empty());

    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
    DestroyWindow(notify_);
    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ExpectMovedOffScreen(splash);
    EXPECT_LT(splash.ms, Patient(500));
    PumpMessagesFor(300);
    EXPECT_TRUE(g_received.empty());
}

namespace {

struct HungWindow {
    HANDLE ready;
    HWND hwnd;
    DWORD hangMs;
};

// Creates a window on its own thread, then stops answering for a while.
DWORD WINAPI RunHungWindow(LPVOID param)
{
    HungWindow *w = (HungWindow *)param;
    w->hwnd = CreateWindowExA(0, kNotifyClass, "hung", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    SetEvent(w->ready);
    Sleep(w->hangMs);
    PumpMessagesFor(200);
    DestroyWindow(w->hwnd);
    return 0;
}

} // namespace

TEST_F(HookLibrary, AHungRunnerHoldsNobodyForLong)
{
    HungWindow hung = {CreateEventA(NULL, TRUE, FALSE, NULL), NULL, Patient(4000)};
    HANDLE thread = CreateThread(NULL, 0, RunHungWindow, &hung, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hung.ready, Patient(5000)));
    ASSERT_TRUE(ZentrovaSetHooks(hung.hwnd, kKilled, kAux));
    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ExpectMovedOffScreen(splash);
    EXPECT_LT(splash.ms, Patient(2500)) << "held until the runner answered";
    ZentrovaRemoveHooks();
    WaitForSingleObject(thread, Patient(15000));
    CloseHandle(thread);
    CloseHandle(hung.ready);
}

TEST(HookLibraryExports, AreFoundByTheirPlainNames)
{
    HMODULE library = GetModuleHandleA(ZENTROVA_LIBRARY_NAME);
    ASSERT_TRUE(library != NULL);
    // This program's own imports are bound by these names, or it would not have started.
    EXPECT_TRUE(GetProcAddress(library, "ZentrovaSetHooks") != NULL);
    EXPECT_TRUE(GetProcAddress(library, "ZentrovaRemoveHooks") != NULL);
    EXPECT_TRUE(GetProcAddress(library, "_ZentrovaSetHooks@12") == NULL);
    EXPECT_TRUE(GetProcAddress(library, "ZentrovaSetHooks@12") == NULL);
}

TEST_F(HookLibrary, ReportsEveryKillWhileAnotherProgramStorms)
{
    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
    Fixture stormer;
    ASSERT_TRUE(StartFixture(&stormer));
    ASSERT_TRUE(FixtureWindow(&stormer, "show captioned").ok);
    ASSERT_TRUE(FixtureSend(&stormer, "storm 0 100000"));
    const int kKills = 20;
    for (int i = 0; i < kKills; ++i)
        ExpectMovedOffScreen(FixtureWindow(&fixture_, "show splash"));
    EXPECT_TRUE(ParseFixtureRect(FixtureReceive(&stormer, 300000)).ok);
    PumpMessagesFor(300);
    EXPECT_EQ((size_t)kKills, Count(kKilled)) << "kill reports were lost";
    EXPECT_EQ(0, StopFixture(&stormer));
}

namespace {

// The Wine desktop at another size for as long as it lives.
struct ScreenSize {
    bool changed;
    ScreenSize(DWORD width, DWORD height)
    {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        changed = ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
        PumpMessagesFor(300);
    }
    void Restore()
    {
        if (changed)
            ChangeDisplaySettingsA(NULL, 0);
        changed = false;
        PumpMessagesFor(300);
    }
    ~ScreenSize() { Restore(); }
};

} // namespace

TEST_F(HookLibrary, JudgesByTheScreenAsItIsNow)
{
    // Made before the hook, centred on the screen as it is now.
    FixtureRect oldCentre = FixtureWindow(&fixture_, "create splash");
    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
    // Examined down to its children, so the fixture has looked at the screen.
    ASSERT_TRUE(FixtureWindow(&fixture_, "show busy").ok);
    char moveOld[64];
    snprintf(moveOld, sizeof moveOld, "send %d %u 0", oldCentre.id, WM_MOVE);
    {
        ScreenSize smaller(800, 600);
        ASSERT_TRUE(smaller.changed);
        FixtureRect old = FixtureWindow(&fixture_, moveOld);
        ASSERT_TRUE(old.ok);
        EXPECT_TRUE(EqualRect(&oldCentre.rect, &old.rect)) << "judged by the screen it had";
        ExpectMovedOffScreen(FixtureWindow(&fixture_, "show splash"));
        // Changed back while no hook is installed: the fixture hears of it through no hook.
        ZentrovaRemoveHooks();
    }
    ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
    ExpectMovedOffScreen(FixtureWindow(&fixture_, moveOld));

    // With no window left, the fixture is not told when the screen changes.
    ASSERT_EQ("ok", FixtureCommand(&fixture_, "close"));
    ScreenSize smaller(800, 600);
    ASSERT_TRUE(smaller.changed);
    ExpectMovedOffScreen(FixtureWindow(&fixture_, "show splash"));
    PumpMessagesFor(300);
    EXPECT_EQ(3u, Count(kKilled));
}
