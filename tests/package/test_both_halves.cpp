// The unpacked release on 64-bit Windows, as a user runs it: the 32-bit
// runner and its 64-bit companion both hold their hooks, and the splash
// screens of 32-bit and 64-bit programs both go. Run by scripts/check-package
// (and in the test virtual machine) in a fresh 64-bit prefix, with
//   ZENTROVA_RELEASE    the folder the release was unpacked into
//   ZENTROVA_FIXTURE32  the 32-bit build of the fixture program
// This program and the 64-bit fixture are built for 64-bit Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "companion.h"
#include "companion_rules.h"
#include "desktop_probe.h"
#include "fixture_client.h"
#include "runner.h"

namespace {

// Kill reports that reached the window playing an earlier runner.
int g_kills;

LRESULT CALLBACK EarlierRunnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_kills += message == WM_SPLASHKILLED;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string Setting(const char *name)
{
    const char *value = getenv(name);
    return value != NULL ? value : "";
}

std::string Quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

DWORD Word(HWND hwnd)
{
    return (DWORD)(ULONG_PTR)hwnd;
}

HWND RunnerWindow()
{
    std::vector<HWND> found = FindTopLevel(RUNNER_CLASS, RUNNER_TITLE);
    return found.empty() ? NULL : found[0];
}

// Whether the record names a hook and the window.
bool RecordNames(const char *mapping, HWND window)
{
    SharedRecord r = {};
    return window != NULL && ReadSharedRecord(&r, mapping) && r.hHook != 0 &&
           r.hwndNotify == Word(window);
}

bool RecordEmpty(const char *mapping)
{
    SharedRecord r = {};
    return !ReadSharedRecord(&r, mapping) || (r.hwndNotify | r.hHook) == 0;
}

class BothHalves : public ::testing::Test {
protected:
    void SetUp() override
    {
        release_ = Setting("ZENTROVA_RELEASE");
        std::string fixture32 = Setting("ZENTROVA_FIXTURE32");
        ASSERT_FALSE(release_.empty() || fixture32.empty())
            << "ZENTROVA_RELEASE and ZENTROVA_FIXTURE32 name the release and the 32-bit fixture";
        ASSERT_TRUE(FindTopLevel(RUNNER_CLASS, RUNNER_TITLE).empty()) << "a runner is running";
        ASSERT_TRUE(StartFixture(&fixtures_[0], Quoted(fixture32)));
        ASSERT_TRUE(StartFixture(&fixtures_[1]));
        for (Fixture &f : fixtures_)
            ASSERT_EQ("ok", FixtureCommand(&f, "ping"));
    }

    void TearDown() override
    {
        for (Fixture &f : fixtures_)
            EXPECT_EQ(0, StopFixture(&f));
        for (HANDLE process : processes_) {
            if (WaitForExit(process, 5000) == -1)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }

    HANDLE Keep(HANDLE process)
    {
        EXPECT_TRUE(process != NULL);
        processes_.push_back(process);
        return process;
    }

    // Starts the runner from folder and waits until the 32-bit record names
    // its window and the 64-bit one that window, or earlierRunner; its process.
    HANDLE StartRunner(const std::string &folder, HWND earlierRunner = NULL)
    {
        HANDLE runner = Keep(StartProgram(Quoted(folder + "\\ZentrovaRunner.exe")));
        DWORD start = GetTickCount();
        while (!RecordNames(ZENTROVA32_MAPPING_NAME, RunnerWindow()) ||
               !RecordNames(ZENTROVA64_MAPPING_NAME,
                            earlierRunner != NULL ? earlierRunner : RunnerWindow())) {
            if (GetTickCount() - start > Patient(20000)) {
                ADD_FAILURE() << "the records never named both hooks";
                break;
            }
            PumpMessagesFor(50);
        }
        return runner;
    }

    // The companion serving the runner's window, as a process.
    HANDLE Companion(HWND runner)
    {
        char title[16];
        FormatCompanionTitle(Word(runner), title);
        std::vector<HWND> found = FindTopLevel(COMPANION_CLASS, title);
        DWORD processId = 0;
        if (!found.empty())
            GetWindowThreadProcessId(found[0], &processId);
        return Keep(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    }

    // Shows a window of the shape in each fixture, 32-bit first; whether
    // each ended up wholly above and to the left of the screen.
    std::vector<bool> MovedOffScreen(const char *shape)
    {
        std::vector<bool> moved;
        for (Fixture &f : fixtures_) {
            FixtureRect w = FixtureWindow(&f, std::string("show ") + shape);
            EXPECT_TRUE(w.ok);
            moved.push_back(w.ok && w.rect.right < 0 && w.rect.bottom < 0);
        }
        return moved;
    }

    // Stops the running runner as a user would.
    void StopRunner(const std::string &folder)
    {
        HANDLE stop = StartProgram(Quoted(folder + "\\ZentrovaRunner.exe") + " -noicon");
        ASSERT_TRUE(stop != NULL);
        EXPECT_EQ(0, WaitForExit(stop, 15000));
        CloseHandle(stop);
    }

    std::string release_;
    Fixture fixtures_[2]; // 32-bit, 64-bit
    std::vector<HANDLE> processes_;
};

const std::vector<bool> kBoth = {true, true};
const std::vector<bool> kNeither = {false, false};

} // namespace

TEST_F(BothHalves, TheRunnerAndItsCompanionMoveSplashScreensOfBothBitnesses)
{
    HANDLE runner = StartRunner(release_);
    HANDLE companion = Companion(RunnerWindow());
    EXPECT_EQ(kBoth, MovedOffScreen("splash")) << "32-bit, 64-bit";
    EXPECT_EQ(kNeither, MovedOffScreen("captioned"));

    StopRunner(release_);
    EXPECT_EQ(0, WaitForExit(runner, 10000)) << "the runner did not end";
    EXPECT_EQ(0, WaitForExit(companion, 10000)) << "the companion did not end with it";
    EXPECT_TRUE(RecordEmpty(ZENTROVA32_MAPPING_NAME) && RecordEmpty(ZENTROVA64_MAPPING_NAME));
    EXPECT_EQ(kNeither, MovedOffScreen("splash")) << "a hook outlived its program";
}

// The companion's hook the older one: it is still in place for a window
// playing an earlier runner, and the runner started last has no companion of
// its own to replace it.
TEST_F(BothHalves, EitherHookMayBeTheNewer)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = EarlierRunnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZentrovaEarlierRunner";
    RegisterClassA(&wc);
    HWND earlier = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                   NULL, wc.hInstance, NULL);
    ASSERT_TRUE(LaunchCompanion((release_ + "\\" COMPANION_FILE_NAME).c_str(), earlier));
    DWORD start = GetTickCount();
    while (!RecordNames(ZENTROVA64_MAPPING_NAME, earlier) && GetTickCount() - start < Patient(15000))
        PumpMessagesFor(50);
    HANDLE companion = Companion(earlier);

    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
    std::string alone = std::string(temp) + "zentrova-runner-alone";
    CreateDirectoryA(alone.c_str(), NULL);
    for (const char *file : {"ZentrovaRunner.exe", "Zentrova.dll"})
        ASSERT_TRUE(CopyFileA((release_ + "\\" + file).c_str(), (alone + "\\" + file).c_str(),
                              FALSE));
    HANDLE runner = StartRunner(alone, earlier);

    g_kills = 0;
    EXPECT_EQ(kBoth, MovedOffScreen("splash")) << "32-bit, 64-bit";
    EXPECT_EQ(kNeither, MovedOffScreen("captioned"));
    PumpMessagesFor(300);
    EXPECT_EQ(1, g_kills) << "the 64-bit kill reaches the window its companion serves";

    StopRunner(alone);
    EXPECT_EQ(0, WaitForExit(runner, 10000));
    DestroyWindow(earlier);
    EXPECT_EQ(0, WaitForExit(companion, 10000));
    EXPECT_EQ(kNeither, MovedOffScreen("splash"));
    for (const char *file : {"ZentrovaRunner.exe", "Zentrova.dll"})
        DeleteFileA((alone + "\\" + file).c_str());
    RemoveDirectoryA(alone.c_str());
}
