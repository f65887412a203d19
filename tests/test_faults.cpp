// Faults and bad input, end to end: what the hooked programs and the runner
// do when the registry holds junk, when the runner dies or stops answering,
// and under a storm of window moves.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runner_harness.h"

namespace {

void SetRaw(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

void SetCount(DWORD n)
{
    SetRaw("num", REG_DWORD, &n, sizeof n);
}

// True when the window answers a message within 100 ms.
bool Answers(HWND hwnd)
{
    DWORD_PTR result;
    DWORD start = GetTickCount();
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Patient(100), &result) &&
           GetTickCount() - start <= Patient(100);
}

const std::string kTooLong(300, 'x');
const std::string kUnterminated(260, 'A');
const char kMulti[] = "x\0y\0";
const BYTE kEightBytes[8] = {1, 0, 0, 0, 0, 0, 0, 0};
const BYTE kTwoBytes[2] = {1, 0};

bool Alive(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

class Faults : public RunnerTest {};

// The system's handle table, as ntdll reports it.
struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ULONG access;
};

DWORD CountHandles(DWORD processId)
{
    typedef LONG(WINAPI * QuerySystem)(ULONG, PVOID, ULONG, PULONG);
    QuerySystem query =
        (QuerySystem)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query != NULL &&
           query(kSystemHandleInformation, buffer.data(), (ULONG)buffer.size(), &needed) < 0) {
        if (buffer.size() >= (64u << 20))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    ULONG count = *(const ULONG *)buffer.data();
    const HandleEntry *entry = (const HandleEntry *)(buffer.data() + sizeof(ULONG_PTR));
    DWORD n = 0;
    for (ULONG i = 0; i < count; ++i)
        n += entry[i].processId == (USHORT)processId;
    return n;
}

// What the system reports of a process's resources. Wine 8 answers the
// handle table and the memory figures; GetProcessHandleCount and the GUI
// object counts of GetGuiResources are not implemented there (always 0), so
// handles come from the table and windows are counted directly.
struct Usage {
    DWORD handles;
    SIZE_T privateBytes;
    size_t windows;
};

struct WindowCount {
    DWORD processId;
    size_t n;
};

BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM param)
{
    WindowCount *c = (WindowCount *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    c->n += owner == c->processId;
    return TRUE;
}

Usage Measure(HANDLE process)
{
    Usage u = {};
    u.handles = CountHandles(GetProcessId(process));
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory))
        u.privateBytes = memory.PagefileUsage;
    WindowCount count = {GetProcessId(process), 0};
    EnumWindows(CountOwnWindows, (LPARAM)&count);
    u.windows = count.n;
    return u;
}

void ExpectNoGrowth(const char *who, const Usage &before, const Usage &after)
{
    printf("%s: handles %lu -> %lu, private bytes %lu -> %lu, windows %u -> %u\n", who,
           (unsigned long)before.handles, (unsigned long)after.handles,
           (unsigned long)before.privateBytes, (unsigned long)after.privateBytes,
           (unsigned)before.windows, (unsigned)after.windows);
    EXPECT_LE(after.handles, before.handles + 4) << who;
    EXPECT_EQ(before.windows, after.windows) << who;
    // A leak of even 10 bytes a message would show over 100,000 of them.
    EXPECT_LT((long long)after.privateBytes - (long long)before.privateBytes, 1 << 20) << who;
}

} // namespace

TEST_F(Faults, JunkInTheRegistryNeitherCrashesNorStallsAndGoodEntriesStillCount)
{
    Runner runner = Start();
    ASSERT_TRUE(MainWindow(runner) != NULL);
    ASSERT_TRUE(StartFixture(&fixture_));
    const std::string self = BuiltProgram("zentrova_fixture.exe");
    const char *path = self.c_str();
    const DWORD pathBytes = (DWORD)self.size() + 1;

    const struct {
        const char *what;
        void (*store)(const char *path, DWORD pathBytes);
        bool spared;
    } cases[] = {
        {"count as text \"1\" (read as 49)", [](const char *p, DWORD n) {
             SetRaw("num", REG_SZ, "1", 2);
             SetRaw("ignoree0", REG_SZ, p, n);
         }, true},
        {"count of 8 bytes: an empty list", [](const char *p, DWORD n) {
             SetRaw("num", REG_BINARY, kEightBytes, 8);
             SetRaw("ignoree0", REG_SZ, p, n);
         }, false},
        {"count of 2 bytes", [](const char *p, DWORD n) {
             SetRaw("num", REG_BINARY, kTwoBytes, 2);
             SetRaw("ignoree0", REG_SZ, p, n);
         }, true},
        {"count 0", [](const char *p, DWORD n) {
             SetCount(0);
             SetRaw("ignoree0", REG_SZ, p, n);
         }, false},
        {"count 0xFFFFFFFF, gaps, the entry at 100000", [](const char *p, DWORD n) {
             SetCount(0xFFFFFFFF);
             SetRaw("ignoree100000", REG_SZ, p, n);
         }, true},
        {"junk of every type and size only", [](const char *, DWORD) {
             SetCount(0xFFFFFFFF);
             DWORD seven = 7;
             SetRaw("ignoree0", REG_DWORD, &seven, sizeof seven);
             SetRaw("ignoree1", REG_BINARY, kUnterminated.data(), 260);
             SetRaw("ignoree2", REG_SZ, kTooLong.c_str(), (DWORD)kTooLong.size() + 1);
             SetRaw("ignoree3", REG_SZ, "", 0);
             SetRaw("ignoree4", REG_MULTI_SZ, kMulti, sizeof kMulti);
             SetRaw("ignoree5", REG_SZ, kUnterminated.data(), 260);
         }, false},
        {"the path without its terminator, after junk", [](const char *p, DWORD n) {
             SetCount(3);
             SetRaw("ignoree0", REG_BINARY, kUnterminated.data(), 260);
             SetRaw("ignoree2", REG_SZ, p, n - 1);
         }, true},
        {"the path as REG_EXPAND_SZ", [](const char *p, DWORD n) {
             SetCount(1);
             SetRaw("ignoree0", REG_EXPAND_SZ, p, n);
         }, true},
    };
    for (const auto &c : cases) {
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        c.store(path, pathBytes);
        FixtureRect splash = FixtureWindow(&fixture_, "show splash");
        ASSERT_TRUE(splash.ok) << c.what << ": the fixture stopped answering";
        EXPECT_EQ(!c.spared, Moved(splash)) << c.what;
        EXPECT_LT(splash.ms, Patient(1000)) << c.what << ": the fixture was held up";
        EXPECT_TRUE(Answers(splash.hwnd)) << c.what;
        EXPECT_TRUE(Alive(runner.process)) << c.what;
    }
}

TEST_F(Faults, AKilledRunnerHarmsNobodyAndANewOneTakesOver)
{
    Runner first = Start("-noicon");
    ASSERT_TRUE(MainWindow(first) != NULL);
    ASSERT_TRUE(StartFixture(&fixture_));
    FixtureRect ordinary = FixtureWindow(&fixture_, "show captioned");
    ASSERT_TRUE(Moved(FixtureWindow(&fixture_, "show splash")));

    ASSERT_TRUE(TerminateProcess(first.process, 9));
    ASSERT_EQ(9, WaitForExit(first.process, 5000));
    // Windows removes the hook with its thread; Wine 8 keeps a global hook
    // whose thread was killed, so splash windows may still be moved, with
    // nobody left to tell. Either way the program runs on, unhindered.
    FixtureRect splash = FixtureWindow(&fixture_, "show splash");
    ASSERT_TRUE(splash.ok) << "the fixture died with the runner";
    printf("after the kill the hook %s\n", Moved(splash) ? "lives on" : "is gone");
    EXPECT_LT(splash.ms, Patient(1000));
    EXPECT_TRUE(Answers(ordinary.hwnd));

    // The next runner takes over the stale record, and with it whatever
    // hook is still recorded there.
    Runner second = Start("-noicon");
    HWND secondWindow = MainWindow(second);
    ASSERT_TRUE(secondWindow != NULL);
    SharedRecord record = {};
    ASSERT_TRUE(ReadSharedRecord(&record));
    EXPECT_EQ((DWORD)(ULONG_PTR)secondWindow, record.hwndNotify);
    EXPECT_TRUE(Moved(FixtureWindow(&fixture_, "show splash")));

    Runner stopper = Start("-noicon");
    EXPECT_EQ(0, WaitForExit(stopper.process, 5000));
    EXPECT_EQ(0, WaitForExit(second.process, 5000));
    EXPECT_FALSE(Moved(FixtureWindow(&fixture_, "show splash"))) << "a hook outlived both runners";
    EXPECT_TRUE(Alive(fixture_.process));
}

TEST_F(Faults, ASuspendedRunnerHoldsAProgramAtMostASecondPerKill)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(StartFixture(&fixture_));
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, NULL));
    ASSERT_TRUE(thread != NULL);
    ASSERT_NE((DWORD)-1, SuspendThread(thread));
    FixtureRect first = FixtureWindow(&fixture_, "show splash");
    FixtureRect second = FixtureWindow(&fixture_, "show splash");
    ResumeThread(thread);
    CloseHandle(thread);
    EXPECT_TRUE(Moved(first));
    EXPECT_TRUE(Moved(second));
    EXPECT_LT(first.ms, Patient(1600));
    EXPECT_LT(second.ms, Patient(1600));
    // Awake again, the runner goes on as before.
    PumpMessagesFor(500);
    EXPECT_TRUE(Moved(FixtureWindow(&fixture_, "show splash")));
    EXPECT_TRUE(WaitForTray(Killed, 2000));
}

TEST_F(Faults, AStormOfMovesLeaksNothingAndTheIconEndsNormal)
{
    Runner runner = Start();
    ASSERT_TRUE(MainWindow(runner) != NULL);
    ASSERT_TRUE(WaitForTray(Normal, 10000));
    const int kFixtures = 3;
    Fixture fixtures[kFixtures];
    Usage before[kFixtures], after[kFixtures];
    // The last fixture runs from a copy whose path is ignored: its splash
    // stays a candidate, examined in full (children, modules, registry) on
    // every move. Under Wine that costs milliseconds a move, so it gets fewer.
    std::string ignored = BuiltProgram("zentrova_fixture_ignored.exe");
    ASSERT_TRUE(CopyFileA(BuiltProgram("zentrova_fixture.exe").c_str(), ignored.c_str(), FALSE));
    SetCount(1);
    SetRaw("ignoree0", REG_SZ, ignored.c_str(), (DWORD)ignored.size() + 1);
    for (int i = 0; i < kFixtures; ++i) {
        Fixture &f = fixtures[i];
        bool spared = i == kFixtures - 1;
        ASSERT_TRUE(spared ? StartFixture(&f, "\"" + ignored + "\"") : StartFixture(&f));
        ASSERT_TRUE(FixtureWindow(&f, "show captioned").ok);
        FixtureRect candidate = FixtureWindow(&f, spared ? "show splash" : "show busy");
        ASSERT_TRUE(candidate.ok && !Moved(candidate));
        // Warmed up, so that what Wine allocates once is not counted.
        ASSERT_TRUE(FixtureWindow(&f, "storm 0 2000").ok);
        ASSERT_TRUE(FixtureWindow(&f, spared ? "storm 1 100" : "storm 1 2000").ok);
    }
    for (int i = 0; i < kFixtures; ++i)
        before[i] = Measure(fixtures[i].process);
    Usage runnerBefore = Measure(runner.process);

    // 100,000 moves in each fixture at once: candidates and ordinary
    // windows, and real kills in between.
    for (int i = 0; i < kFixtures; ++i) {
        bool spared = i == kFixtures - 1;
        FixtureSend(&fixtures[i], spared ? "storm 1 1000" : "storm 1 30000");
        FixtureSend(&fixtures[i], "show splash");
        FixtureSend(&fixtures[i], spared ? "storm 0 99000" : "storm 0 70000");
        FixtureSend(&fixtures[i], "show splash");
    }
    for (int i = 0; i < kFixtures; ++i) {
        bool spared = i == kFixtures - 1;
        for (int answer = 0; answer < 4; ++answer) {
            FixtureRect w = ParseFixtureRect(FixtureReceive(&fixtures[i], 300000));
            EXPECT_TRUE(w.ok);
            if (answer % 2 == 1) {
                EXPECT_NE(spared, Moved(w)) << "fixture " << i;
            }
        }
    }
    for (int i = 0; i < kFixtures; ++i) {
        after[i] = Measure(fixtures[i].process);
        before[i].windows += 2; // the two splash windows, moved and alive
        ExpectNoGrowth("fixture", before[i], after[i]);
        StopFixture(&fixtures[i]);
    }
    DeleteFileA(ignored.c_str());
    ExpectNoGrowth("runner", runnerBefore, Measure(runner.process));
    EXPECT_TRUE(WaitForTray(Normal, 3000)) << "the icon stayed red";
}

TEST_F(Faults, AFloodOfWindowsLeftOnScreenKeepsTheMenuQuickAndLeaksNothing)
{
    Runner runner = Start();
    HWND main = MainWindow(runner);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(StartFixture(&fixture_));
    // Warmed up, the menu too, so that what Wine allocates once is not counted.
    std::string warm = "flood 50 " + std::to_string(Patient(10000));
    ASSERT_EQ(0u, FixtureCommand(&fixture_, warm, Patient(60000)).find("ok 50 "));
    ASSERT_TRUE(PressInTrayMenu(main, runner.processId, {VK_ESCAPE}));
    PumpMessagesFor(500);
    Usage before = Measure(runner.process);

    // Ten seconds of windows shown in the middle and gone, as fast as they come.
    ASSERT_TRUE(FixtureSend(&fixture_, "flood 10000 10000"));
    PumpMessagesFor(3000);
    DWORD asked = GetTickCount();
    ASSERT_TRUE(PressInTrayMenu(main, runner.processId, {VK_ESCAPE}));
    DWORD opened = GetTickCount() - asked;
    EXPECT_LT(opened, Patient(1000)) << "the menu took " << opened << " ms to open";
    unsigned shown = 0, ms = 0;
    std::string answer = FixtureReceive(&fixture_, Patient(60000));
    ASSERT_EQ(2, sscanf(answer.c_str(), "ok %u %u", &shown, &ms)) << answer;
    printf("flood: %u windows in %u ms, the menu opened in %lu ms\n", shown, ms,
           (unsigned long)opened);
    PumpMessagesFor(1000);
    ExpectNoGrowth("runner", before, Measure(runner.process));

    std::vector<MenuItem> menu = ReadTrayMenu(main, runner.processId);
    int listed = 0;
    bool inside = false;
    for (const MenuItem &item : menu) {
        if (item.depth == 0)
            inside = item.text == "Left on screen";
        else if (inside && item.depth == 1)
            listed += item.text == "zentrova_fixture.exe - Busy";
    }
    std::string texts;
    for (const MenuItem &item : menu)
        texts += std::to_string(item.depth) + " " + item.text + "\n";
    EXPECT_EQ(10, listed) << "the last ten are listed:\n" << texts;
}
