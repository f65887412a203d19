// Zentrova64.exe as the 32-bit runner starts it on 64-bit Windows: this
// program plays the runner (its own window, the runner's two message numbers)
// and starts the companion with the runner's own code; a separate fixture
// program shows the splash screens.
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
#include "runner.h"

namespace {

const char kRunnerClass[] = "ZentrovaTestRunner";
const DWORD kSentinel = 0x5A5A5A5A;

// Kill reports that reached the windows playing the runner.
int g_kills;

LRESULT CALLBACK RunnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SPLASHKILLED) {
        ++g_kills;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The companion under test: the built one, or the one named by
// ZENTROVA_COMPANION (the release package's, unpacked).
std::string CompanionPath()
{
    const char *chosen = getenv("ZENTROVA_COMPANION");
    return chosen != NULL && *chosen != 0 ? chosen : BuiltProgram(COMPANION_FILE_NAME);
}

DWORD Word(HWND hwnd)
{
    return (DWORD)(ULONG_PTR)hwnd;
}

void GetOneIgnoree(unsigned, char *buffer, unsigned size, void *path)
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
        wc.lpszClassName = kRunnerClass;
        RegisterClassA(&wc);
        g_kills = 0;
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
        // Both records held open here, so they can be read whoever else has them;
        // the 32-bit one filled with a pattern no 64-bit copy may touch.
        mapping64_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 16,
                                        ZENTROVA64_MAPPING_NAME);
        mapping32_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 16,
                                        ZENTROVA32_MAPPING_NAME);
        ASSERT_TRUE(mapping64_ != NULL && mapping32_ != NULL);
        DWORD *view32 = (DWORD *)MapViewOfFile(mapping32_, FILE_MAP_WRITE, 0, 0, 16);
        ASSERT_TRUE(view32 != NULL);
        for (int i = 0; i < 4; ++i)
            view32[i] = kSentinel;
        UnmapViewOfFile(view32);
        ASSERT_TRUE(StartFixture(&fixture_));
    }

    void TearDown() override
    {
        EXPECT_EQ(0, StopFixture(&fixture_));
        for (HWND runner : runners_)
            if (IsWindow(runner))
                DestroyWindow(runner);
        for (HANDLE process : companions_) {
            if (WaitForExit(process, 5000) == -1)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
        SharedRecord r32;
        ASSERT_TRUE(ReadSharedRecord(&r32, ZENTROVA32_MAPPING_NAME));
        const DWORD words[] = {r32.hwndNotify, r32.hHook, r32.uMsgAux, r32.uMsgKilled};
        for (DWORD word : words)
            EXPECT_EQ(kSentinel, word) << "the 64-bit library wrote the 32-bit record";
        CloseHandle(mapping32_);
        CloseHandle(mapping64_);
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
    }

    HWND CreateRunnerWindow()
    {
        HWND hwnd = CreateWindowExA(0, kRunnerClass, "runner", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                    NULL, GetModuleHandleA(NULL), NULL);
        runners_.push_back(hwnd);
        return hwnd;
    }

    // Starts a companion for runner as the runner does, and waits until its
    // hook is recorded; its process, or null.
    HANDLE StartCompanion(HWND runner)
    {
        if (!LaunchCompanion(CompanionPath().c_str(), runner))
            return NULL;
        char title[16];
        FormatCompanionTitle(Word(runner), title);
        DWORD start = GetTickCount();
        SharedRecord r = {};
        HWND window = NULL;
        while (GetTickCount() - start < 15000) {
            window = FindWindowExA(NULL, NULL, COMPANION_CLASS, title);
            if (window != NULL && ReadSharedRecord(&r) &&
                r.hwndNotify == Word(runner) && r.hHook != 0)
                break;
            PumpMessagesFor(50);
        }
        EXPECT_EQ(Word(runner), r.hwndNotify) << "the companion did not install its hook";
        EXPECT_EQ((DWORD)WM_SPLASHKILLED, r.uMsgKilled);
        EXPECT_EQ((DWORD)WM_HOOKAUX, r.uMsgAux);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
        if (process != NULL)
            companions_.push_back(process);
        return process;
    }

    bool SplashMoved()
    {
        FixtureRect w = FixtureWindow(&fixture_, "show splash");
        EXPECT_TRUE(w.ok);
        return w.ok && w.rect.right < 0 && w.rect.bottom < 0;
    }

    void ExpectRecordEmpty()
    {
        SharedRecord r;
        ASSERT_TRUE(ReadSharedRecord(&r));
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
    ASSERT_TRUE(companion != NULL);
    EXPECT_TRUE(SplashMoved());
    PumpMessagesFor(300);
    EXPECT_EQ(1, g_kills) << "the kill reaches the runner's window";

    // The ignore list the runner's dialog edits serves 64-bit programs too.
    std::string fixture = BuiltProgram("zentrova_fixture.exe");
    ASSERT_TRUE(WriteIgnoreList(1, GetOneIgnoree, (void *)fixture.c_str()));
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
    HWND first = CreateRunnerWindow();
    HANDLE earlier = StartCompanion(first);
    ASSERT_TRUE(earlier != NULL);
    SharedRecord before;
    ASSERT_TRUE(ReadSharedRecord(&before));

    HWND second = CreateRunnerWindow();
    HANDLE later = StartCompanion(second);
    ASSERT_TRUE(later != NULL);
    EXPECT_EQ(0, WaitForExit(earlier, 2000)) << "the earlier companion stayed";
    EXPECT_FALSE(UnhookWindowsHookEx((HHOOK)(LONG_PTR)(LONG)before.hHook))
        << "the earlier hook is still installed";
    EXPECT_TRUE(SplashMoved()) << "the earlier companion unhooked the later one";
    PumpMessagesFor(300);
    EXPECT_EQ(1, g_kills);
    SharedRecord r;
    ASSERT_TRUE(ReadSharedRecord(&r));
    EXPECT_EQ(Word(second), r.hwndNotify);

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
    HWND runner = CreateRunnerWindow();
    char window[16], goneWindow[16];
    FormatCompanionTitle(Word(runner), window);
    FormatCompanionTitle(Word(gone), goneWindow);
    const std::string cases[] = {
        "",
        std::string("x 1027 1025"),
        std::string(window) + " 0 1025",
        std::string(goneWindow) + " 1027 1025", // not a window
    };
    for (const std::string &arguments : cases) {
        HANDLE process = StartProgram("\"" + CompanionPath() + "\" " + arguments);
        ASSERT_TRUE(process != NULL);
        EXPECT_EQ(0, WaitForExit(process, 10000)) << arguments;
        CloseHandle(process);
        ExpectRecordEmpty();
    }
    EXPECT_FALSE(SplashMoved());
    EXPECT_EQ(0, g_kills);
}
