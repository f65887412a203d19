// Real splash screens and their non-splash neighbours under the live hook.
// NSIS installers built from corpus.nsi show their plugins' windows; the
// fixture program shows windows with the class, styles and children that
// other toolkits give theirs (sources in corpus_rows.cpp). Each row says whether
// the window must be moved off-screen; docs/splash-coverage.md explains why.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corpus_rows.h"
#include "fixture_client.h"
#include "ignore_list.h"
#include "splash_rules.h"
#include "splash_shape.h"
#include "virtual_screen.h"
#include "zentrova.h"

namespace {

const UINT kKilled = WM_APP + 0x15;
const UINT kAux = WM_USER + 1;
const DWORD kShowTimeoutMs = 20000;

unsigned g_kills;   // kill reports that reached the notify window
HWND g_offered;     // the last window reported left in the middle of a screen

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kKilled) {
        ++g_kills;
        return 0;
    }
    if (message == kAux) {
        g_offered = (HWND)wParam;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The picture the NSIS splash plugins show, where corpus.nsi looks for it: a
// 320 x 200 gradient, so that a screenshot shows where the splash went.
bool WriteSplashBitmap()
{
    char path[MAX_PATH];
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n + 32 > sizeof path)
        return false;
    lstrcatA(path, "zentrova-corpus-splash.bmp");
    const int width = 320, height = 200, rowBytes = width * 3;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + rowBytes * height;
    std::vector<unsigned char> pixels(rowBytes * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char *p = &pixels[y * rowBytes + x * 3]; // blue, green, red
            p[0] = (unsigned char)(96 + y * 159 / height);
            p[1] = (unsigned char)(x * 160 / width);
            p[2] = 32;
        }
    FILE *f = fopen(path, "wb");
    if (f == NULL)
        return false;
    bool ok = fwrite(&header, sizeof header, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
              fwrite(pixels.data(), pixels.size(), 1, f) == 1;
    return fclose(f) == 0 && ok;
}

struct Seen {
    HWND hwnd;
    std::string detail; // class, styles, size and children, for the report
    bool atPlacement;
};

std::string ClassOf(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

Seen Describe(HWND hwnd)
{
    Seen s = {hwnd, "", false};
    RECT r = {};
    GetWindowRect(hwnd, &r);
    Rect32 rect = {r.left, r.top, r.right, r.bottom};
    Rect32 all = VirtualScreenNow();
    Placement target = OffscreenPlacement(&rect, &all);
    s.atPlacement = r.left == target.x && r.top == target.y;
    std::string children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        children += (children.empty() ? "" : " ") + ClassOf(c);
    char line[600];
    snprintf(line, sizeof line, "class %s, style %08lx, exstyle %08lx, %ldx%ld at (%ld,%ld), children [%s]",
             ClassOf(hwnd).c_str(), (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
             (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), r.right - r.left,
             r.bottom - r.top, r.left, r.top, children.c_str());
    s.detail = line;
    return s;
}

struct Search {
    DWORD pid;
    const char *className;
    HWND found;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM context)
{
    Search *s = (Search *)context;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || ClassOf(hwnd) != s->className)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

bool Shown(void *context)
{
    Search *s = (Search *)context;
    EnumWindows(FindShown, (LPARAM)s);
    return s->found != NULL;
}

// Runs an NSIS program until its window shows; null when none did.
HWND ShowProgram(const CorpusRow &e, HANDLE *process)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + BuiltProgram(e.program) + "\"";
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    *process = pi.hProcess;
    Search s = {pi.dwProcessId, e.shape, NULL};
    PumpUntil(Shown, &s, kShowTimeoutMs);
    return s.found;
}

// The live hook, installed from here for a window of this process, over
// the fixture program and the NSIS programs; the rules' table made first, so
// that every process finds it, and kept empty but where a test fills it.
class SplashCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, IGNORE_LIST_KEY);
        ASSERT_TRUE(WriteSplashBitmap());
        rulesMapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                           sizeof(SplashRuleTable), ZENTROVA_RULES_MAPPING_NAME);
        rules_ = rulesMapping_ != NULL ? (SplashRuleTable *)MapViewOfFile(
                                             rulesMapping_, FILE_MAP_WRITE, 0, 0,
                                             sizeof(SplashRuleTable))
                                       : NULL;
        ASSERT_TRUE(rules_ != NULL);
        rules_->count = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = NotifyProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ZentrovaCorpusNotify";
        RegisterClassA(&wc);
        notify_ = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                  NULL, wc.hInstance, NULL);
        ASSERT_TRUE(notify_ != NULL);
        ASSERT_TRUE(ZentrovaSetHooks(notify_, kKilled, kAux));
        ASSERT_TRUE(StartFixture(&fixture_));
        ASSERT_EQ("ok", FixtureCommand(&fixture_, "ping"));
    }

    void TearDown() override
    {
        EXPECT_EQ(0, StopFixture(&fixture_));
        ZentrovaRemoveHooks();
        DestroyWindow(notify_);
        if (rules_ != NULL) {
            rules_->count = 0;
            UnmapViewOfFile(rules_);
        }
        CloseHandle(rulesMapping_);
    }

    // Shows the row's window; null when none showed. *process is the NSIS
    // program's, to be ended with EndRow.
    HWND ShowRow(const CorpusRow &e, HANDLE *process)
    {
        g_kills = 0;
        g_offered = NULL;
        *process = NULL;
        HWND hwnd;
        if (e.program != nullptr) {
            hwnd = ShowProgram(e, process);
        } else {
            FixtureRect r = FixtureWindow(&fixture_, e.shape);
            hwnd = r.ok ? r.hwnd : NULL;
        }
        // A kill report is sent before the move returns, a window left is
        // posted: give a slow one time.
        PumpMessagesFor(300);
        if (hwnd == NULL)
            ADD_FAILURE() << e.toolkit << ", " << e.window << ": no window was shown";
        return hwnd;
    }

    static void EndRow(HANDLE process)
    {
        if (process == NULL)
            return;
        if (WaitForExit(process, kShowTimeoutMs) == -1)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }

    Fixture fixture_;
    HWND notify_ = NULL;
    HANDLE rulesMapping_ = NULL;
    SplashRuleTable *rules_ = NULL;
};

} // namespace

TEST_F(SplashCorpus, MovesTheSplashScreensAndLeavesTheirNeighbours)
{
    printf("| toolkit | window | shape under Wine | moved |\n|---|---|---|---|\n");
    for (unsigned i = 0; i < kCorpusRows; ++i) {
        const CorpusRow &e = kCorpus[i];
        HANDLE process;
        HWND hwnd = ShowRow(e, &process);
        if (hwnd != NULL) {
            Seen s = Describe(hwnd);
            bool moved = s.atPlacement && g_kills > 0;
            printf("| %s | %s | %s | %s |\n", e.toolkit, e.window, s.detail.c_str(),
                   moved ? "yes" : "no");
            EXPECT_EQ(e.moved, moved) << e.toolkit << ", " << e.window << ": " << s.detail
                                      << ", " << g_kills << " kill reports";
            EXPECT_EQ(moved ? 1u : 0u, g_kills) << e.toolkit << ", " << e.window;
        }
        EndRow(process);
    }
    fflush(stdout);
}

// Every window left on screen is offered to the user, if it sat in the
// middle of a screen, and a rule made of it takes its next one.
TEST_F(SplashCorpus, ARuleTakesTheNextOfEveryWindowOfferedAsLeftOnScreen)
{
    printf("| toolkit | window | offered | taken by its rule |\n|---|---|---|---|\n");
    for (unsigned i = 0; i < kCorpusRows; ++i) {
        const CorpusRow &e = kCorpus[i];
        if (e.moved)
            continue;
        HANDLE process;
        HWND hwnd = ShowRow(e, &process);
        bool offered = hwnd != NULL && g_offered == hwnd;
        RECT r = {};
        GetWindowRect(hwnd, &r);
        SplashRule &rule = rules_->rules[0];
        rule.width = r.right - r.left;
        rule.height = r.bottom - r.top;
        lstrcpynA(rule.className, ClassOf(hwnd).c_str(), sizeof rule.className);
        lstrcpynA(rule.path, BuiltProgram(e.program != nullptr ? e.program
                                                               : "zentrova_fixture.exe")
                                 .c_str(),
                  sizeof rule.path);
        rules_->count = 1;
        EndRow(process);

        hwnd = ShowRow(e, &process);
        bool taken = hwnd != NULL && Describe(hwnd).atPlacement && g_kills > 0;
        rules_->count = 0;
        EndRow(process);
        printf("| %s | %s | %s | %s |\n", e.toolkit, e.window, offered ? "yes" : "no",
               taken ? "moved" : "stays");
        // Not offered: a window that covers its screen, or a dialog with a
        // title bar; the menu never makes a rule of those.
        EXPECT_TRUE(taken || !offered) << e.toolkit << ", " << e.window
                                       << ": its rule did not take it";
    }
    fflush(stdout);
}
