// Zentrova64.exe as the 32-bit runner starts it on 64-bit Windows: this
// program plays the runner (its own windows, the runner's message numbers)
// and starts the companion with the runner's own code; the fixture program
// shows the splash screens.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "companion.h"
#include "companion_rules.h"
#include "desktop_probe.h"
#include "fixture_client.h"
#include "ignore_list.h"
#include "rule_store.h"
#include "runner.h"

namespace {

const DWORD kUntouched = 0x5A5A5A5A;

// Kill reports that reached the windows playing the runner, and the last
// window reported left on screen.
int g_kills;
HWND g_left;

LRESULT CALLBACK RunnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_kills += message == WM_SPLASHKILLED;
    if (message == WM_HOOKAUX)
        g_left = (HWND)wParam;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The built companion, or the one ZENTROVA_COMPANION names (the unpacked package's).
std::string CompanionPath()
{
    const char *chosen = getenv("ZENTROVA_COMPANION");
    return chosen != NULL && *chosen != 0 ? chosen : BuiltProgram(COMPANION_FILE_NAME);
}

DWORD Word(HWND hwnd)
{
    return (DWORD)(ULONG_PTR)hwnd;
}

SharedRecord Record64()
{
    SharedRecord r = {};
    EXPECT_TRUE(ReadSharedRecord(&r, ZENTROVA64_MAPPING_NAME));
    return r;
}

void GetOnlyEntry(unsigned, char *buffer, unsigned size, void *path)
{
    lstrcpynA(buffer, (const char *)path, size);
}

class Companion : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RunnerProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ZentrovaTestRunner";
        RegisterClassA(&wc);
        g_kills = 0;
        // Both records held open here, to be read whoever else holds them;
        // the 32-bit one filled with a pattern that no 64-bit copy may touch.
        mapping64_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 16,
                                        ZENTROVA64_MAPPING_NAME);
        mapping32_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 16,
                                        ZENTROVA32_MAPPING_NAME);
        DWORD *view32 = (DWORD *)MapViewOfFile(mapping32_, FILE_MAP_WRITE, 0, 0, 16);
        ASSERT_TRUE(mapping64_ != NULL && view32 != NULL);
        for (int i = 0; i < 4; ++i)
            view32[i] = kUntouched;
        UnmapViewOfFile(view32);
        ASSERT_TRUE(StartFixture(&fixture_));
    }

    void TearDown() override
    {
        EXPECT_EQ(0, StopFixture(&fixture_));
        for (HWND runner : runners_)
            DestroyWindow(runner);
        for (HANDLE process : companions_) {
            if (WaitForExit(process, 5000) == -1)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
        SharedRecord r32 = {};
        EXPECT_TRUE(ReadSharedRecord(&r32, ZENTROVA32_MAPPING_NAME));
        for (DWORD word : {r32.hwndNotify, r32.hHook, r32.uMsgAux, r32.uMsgKilled})
            EXPECT_EQ(kUntouched, word) << "the 64-bit library wrote the 32-bit record";
        CloseHandle(mapping32_);
        CloseHandle(mapping64_);
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    }

    HWND CreateRunnerWindow()
    {
        runners_.push_back(CreateWindowExA(0, "ZentrovaTestRunner", "runner", WS_OVERLAPPED, 0, 0,
                                           10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL));
        return runners_.back();
    }

    // Starts a companion for runner as the runner does, and waits until its
    // hook is recorded; its process, or null.
    HANDLE StartCompanion(HWND runner)
    {
        if (!LaunchCompanion(CompanionPath().c_str(), runner))
            return NULL;
        char title[16];
        FormatCompanionTitle(Word(runner), title);
        HWND window = NULL;
        DWORD start = GetTickCount();
        while ((window = FindWindowExA(NULL, NULL, COMPANION_CLASS, title)) == NULL ||
               Record64().hwndNotify != Word(runner)) {
            if (GetTickCount() - start > 15000)
                return NULL;
            PumpMessagesFor(50);
        }
        SharedRecord r = Record64();
        EXPECT_EQ((DWORD)WM_SPLASHKILLED, r.uMsgKilled);
        EXPECT_EQ((DWORD)WM_HOOKAUX, r.uMsgAux);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        companions_.push_back(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                          processId));
        return companions_.back();
    }

    bool SplashMoved()
    {
        FixtureRect w = FixtureWindow(&fixture_, "show splash");
        EXPECT_TRUE(w.ok);
        return w.ok && w.rect.right < 0 && w.rect.bottom < 0;
    }

    static void ExpectRecordEmpty()
    {
        SharedRecord r = Record64();
        EXPECT_EQ(0u, r.hwndNotify | r.hHook | r.uMsgAux | r.uMsgKilled);
    }

    Fixture fixture_;
    HANDLE mapping64_ = NULL, mapping32_ = NULL;
    std::vector<HWND> runners_;
    std::vector<HANDLE> companions_;
};

} // namespace

TEST_F(Companion, MovesSplashesForTheRunnerUntilItsWindowGoes)
{
    HWND runner = CreateRunnerWindow();
    HANDLE companion = StartCompanion(runner);
    ASSERT_TRUE(companion != NULL) << "the companion did not install its hook";
    EXPECT_TRUE(SplashMoved());
    PumpMessagesFor(300);
    EXPECT_EQ(1, g_kills) << "the kill reaches the runner's window";

    // The ignore list that the runner's dialog edits serves 64-bit programs too.
    std::string fixture = BuiltProgram("zentrova_fixture.exe");
    ASSERT_TRUE(WriteIgnoreList(1, GetOnlyEntry, (void *)fixture.c_str()));
    EXPECT_FALSE(SplashMoved());
    RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);

    DestroyWindow(runner); // as when the runner quits or is killed
    EXPECT_EQ(0, WaitForExit(companion, 2000)) << "the companion outlived the runner";
    ExpectRecordEmpty();
    EXPECT_FALSE(SplashMoved()) << "the hook went with the companion";
    EXPECT_EQ(1, g_kills);
}

TEST_F(Companion, ALaterRunnersCompanionReplacesTheEarlierOne)
{
    HANDLE earlier = StartCompanion(CreateRunnerWindow());
    ASSERT_TRUE(earlier != NULL);
    DWORD earlierHook = Record64().hHook;
    HWND second = CreateRunnerWindow();
    HANDLE later = StartCompanion(second);
    ASSERT_TRUE(later != NULL);
    EXPECT_EQ(0, WaitForExit(earlier, 2000)) << "the earlier companion stayed";
    EXPECT_FALSE(UnhookWindowsHookEx((HHOOK)(LONG_PTR)(LONG)earlierHook))
        << "the earlier hook is still installed";
    EXPECT_TRUE(SplashMoved()) << "the earlier companion unhooked the later one";
    EXPECT_EQ(Word(second), Record64().hwndNotify);

    // The runner's own way to stop it, while its window lives on.
    CloseCompanions(second);
    EXPECT_EQ(0, WaitForExit(later, 2000));
    ExpectRecordEmpty();
    EXPECT_FALSE(SplashMoved());
}

TEST_F(Companion, BadArgumentsEndItAtOnceWithNothingInstalled)
{
    HWND gone = CreateRunnerWindow();
    DestroyWindow(gone);
    std::string runner = std::to_string(Word(CreateRunnerWindow()));
    const std::string cases[] = {"", "x 1027 1025", runner + " 0 1025",
                                 std::to_string(Word(gone)) + " 1027 1025"};
    for (const std::string &arguments : cases) {
        HANDLE process = StartProgram("\"" + CompanionPath() + "\" " + arguments);
        ASSERT_TRUE(process != NULL);
        EXPECT_EQ(0, WaitForExit(process, 10000)) << arguments;
        CloseHandle(process);
        ExpectRecordEmpty();
    }
    EXPECT_FALSE(SplashMoved());
}

// The runner's rules reach 64-bit programs through the same table, and their
// windows left on screen are reported to the runner's window.
TEST_F(Companion, BringsTheRunnersRulesAndReportsWindowsLeftOnScreen)
{
    HWND runner = CreateRunnerWindow();
    RegDeleteKeyA(HKEY_CURRENT_USER, ZENTROVA_RULES_KEY);
    RuleStoreStart(runner);
    HANDLE companion = StartCompanion(runner);
    ASSERT_TRUE(companion != NULL);
    const std::string electron =
        "window work Chrome_WidgetWin_1 00C20000 0 400 300 Chrome_RenderWidgetHostHWND 0";
    g_left = NULL;
    FixtureRect left = FixtureWindow(&fixture_, electron);
    PumpMessagesFor(300);
    EXPECT_FALSE(left.rect.right < 0);
    EXPECT_EQ(left.hwnd, g_left) << "not reported as left on screen";

    SplashRule rule = {400, 300, "Chrome_WidgetWin_1", ""};
    lstrcpynA(rule.path, BuiltProgram("zentrova_fixture.exe").c_str(), sizeof rule.path);
    ASSERT_EQ(kRuleAdded, RuleStoreAdd(&rule));
    FixtureRect moved = FixtureWindow(&fixture_, electron);
    EXPECT_TRUE(moved.ok && moved.rect.right < 0) << "the rule did not reach the 64-bit program";
    RuleStoreStop();
    RegDeleteKeyA(HKEY_CURRENT_USER, ZENTROVA_RULES_KEY);
}
