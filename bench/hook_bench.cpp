// What Zentrova's hook costs each WM_MOVE it sees, next to no hook and a hook
// that only passes the message on, for three kinds of window.
// With --calls, what the platform calls behind those costs take one by one;
// with --marks, each call framed by marker requests, so that a wineserver
// trace tells how many server round trips each one makes.
// The parts: ignore_key (the user's list saved and restored), bench_windows
// (windows and setups), timing, message_table, platform_calls.
#include "bench.h"

#include <stdlib.h>
#include <string.h>

#include "ignore_list.h"
#include "splash_rules.h"

char g_exePath[MAX_PATH];
double g_ticksPerSecond;

static int g_exitCode;

static void Cleanup()
{
    RemoveSetups();
    if (!RestoreIgnoreKey())
        g_exitCode = 1;
    DestroyWindows();
}

static int Usage()
{
    fprintf(stderr, "usage: zentrova_hook_bench [--calls | --marks] [--rounds N] [--rules N]\n"
                    "  default: ns per hooked WM_MOVE for no hook, an empty hook and Zentrova\n"
                    "  --calls: ns per platform call behind the hook's work instead\n"
                    "  --marks: each call and hooked message once between marker requests,\n"
                    "           for counting the wineserver requests in a server trace\n"
                    "  --rounds N: rounds per figure, 1..%d (default %d; 5 with --calls)\n"
                    "  --rules N: N splash rules, of sizes no window has, in the table\n",
            kMaxRounds, kDefaultRounds);
    return 2;
}

int main(int argc, char **argv)
{
    bool calls = false;
    bool marks = false;
    int rounds = 0;
    int rules = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--calls") == 0 && !marks) {
            calls = true;
        } else if (strcmp(argv[i], "--marks") == 0 && !calls) {
            marks = true;
        } else if (strcmp(argv[i], "--rules") == 0 && i + 1 < argc) {
            rules = atoi(argv[++i]);
            if (rules < 1 || rules > kMaxSplashRules)
                return Usage();
        } else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = atoi(argv[++i]);
            if (rounds < 1 || rounds > kMaxRounds)
                return Usage();
        } else {
            return Usage();
        }
    }
    if (rounds == 0)
        rounds = calls ? 5 : kDefaultRounds;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerSecond = (double)frequency.QuadPart;
    DWORD n = GetModuleFileNameA(NULL, g_exePath, sizeof g_exePath);
    // The library reads entries of fewer than 260 bytes.
    if (n == 0 || n >= 259) {
        fprintf(stderr, "bench: this program's path is too long for an ignore-list entry\n");
        return 1;
    }

    if (!SaveIgnoreKey())
        return 1;
    bool ok = CreateWindows() && LoadEmptyHook() && WriteBenchList(g_exePath) &&
              (rules == 0 || StoreBenchRules((unsigned)rules));
    // The list must do what the measurement assumes before anything is timed.
    ok = ok && IsIgnored(g_exePath, "") &&
         !IsIgnored("C:\\Program Files\\Bench Vendor 99\\Not This Program.exe", "");
    if (!ok) {
        fprintf(stderr, "bench: could not set up the windows, the empty hook or the list\n");
        g_exitCode = 1;
        Cleanup();
        return g_exitCode;
    }

    RECT screen, workArea;
    GetWindowRect(GetDesktopWindow(), &screen);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    PrintRect(stdout, "screen", screen);
    PrintRect(stdout, ", work area", workArea);
    printf(", ignore list of %d entries ending with this program, %d rules\n", kListSize, rules);
    fflush(stdout);

    if (marks) {
        if (!RunMarked()) {
            fprintf(stderr, "bench: could not run the marked calls\n");
            g_exitCode = 1;
        }
    } else if (calls) {
        if (!MeasureCalls(rounds)) {
            fprintf(stderr, "bench: could not open the list key or take a module snapshot\n");
            g_exitCode = 1;
        } else {
            PrintCallTable(rounds);
        }
    } else if (!MeasureMessages(rounds)) {
        g_exitCode = 1;
    } else if (!CheckNothingMoved() || !CheckHookWasLive()) {
        g_exitCode = 1;
    } else {
        PrintMessageTable(rounds);
    }
    Cleanup();
    fflush(stdout);
    return g_exitCode;
}
