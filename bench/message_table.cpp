// ns per WM_MOVE under no hook, the empty hook and Zentrova, with the setups
// taking turns, and the checks that the hook measured was Zentrova's, live.
#include "bench.h"

#include "splash_shape.h"
#include "virtual_screen.h"

// Messages per slice; a round sends kSlices of them to each window under each setup.
static unsigned g_sliceCounts[kSetups][kKinds];
static double g_ns[kSetups][kKinds][kMaxRounds];

static double TimeSends(int kind, unsigned count)
{
    HWND hwnd = g_windows[kind];
    WPARAM wParam;
    UINT message = KindMessage(kind, &wParam);
    LPARAM lParam = message == WM_MOVE ? MovePosition(kind) : 0;
    LONGLONG start = Ticks();
    for (unsigned i = 0; i < count; ++i)
        SendMessageA(hwnd, message, wParam, lParam);
    return SecondsBetween(start, Ticks());
}

// Other processes take the CPU in spells of tens of milliseconds to seconds.
// A round's messages go out in slices, the setups taking turns in rotating
// order, so that such a spell lands on every column alike instead of on one.
bool MeasureMessages(int rounds)
{
    const double kRoundSeconds = 0.4;
    // Also warms up every path before anything counts.
    for (int setup = 0; setup < kSetups; ++setup) {
        if (!InstallOrSay(setup))
            return false;
        for (int kind = 0; kind < g_kindCount; ++kind) {
            unsigned count = CalibrateCount(TimeSends, kind, kRoundSeconds);
            g_sliceCounts[setup][kind] = count >= kSlices ? count / kSlices : 1;
        }
        RemoveSetups();
        PumpPending();
    }
    for (int round = 0; round < rounds; ++round) {
        double seconds[kSetups][kKinds] = {};
        for (int slice = 0; slice < kSlices; ++slice) {
            for (int turn = 0; turn < kSetups; ++turn) {
                int setup = (turn + slice + round) % kSetups;
                if (!InstallOrSay(setup))
                    return false;
                for (int kind = 0; kind < g_kindCount; ++kind)
                    seconds[setup][kind] += TimeSends(kind, g_sliceCounts[setup][kind]);
                RemoveSetups();
                PumpPending();
            }
        }
        for (int setup = 0; setup < kSetups; ++setup)
            for (int kind = 0; kind < g_kindCount; ++kind)
                g_ns[setup][kind][round] =
                    seconds[setup][kind] * 1e9 / (g_sliceCounts[setup][kind] * kSlices);
    }
    return true;
}

// None of the three may have moved: the captioned and the off-centre windows
// are no splash screens, and the splash's executable is on the list.
bool CheckNothingMoved()
{
    bool ok = true;
    for (int kind = 0; kind < g_kindCount; ++kind) {
        RECT now;
        GetWindowRect(g_windows[kind], &now);
        if (!SameRect(now, g_startRects[kind])) {
            fprintf(stderr, "bench: FAILED: the %s window moved during the run: ",
                    g_kindNames[kind]);
            PrintRect(stderr, "from", g_startRects[kind]);
            PrintRect(stderr, " to", now);
            fprintf(stderr, "\n");
            ok = false;
        }
    }
    if (g_killedCount != 0) {
        fprintf(stderr, "bench: FAILED: Zentrova reported %u kills during the run\n",
                g_killedCount);
        ok = false;
    }
    return ok;
}

// The measured hook was Zentrova's, live, and only the list kept the splash
// where it was: with the program off the list the same message moves it.
bool CheckHookWasLive()
{
    if (!WriteBenchList("C:\\Program Files\\Bench Vendor 99\\Not This Program.exe"))
        return false;
    if (!InstallOrSay(kZentrova))
        return false;
    SendMessageA(g_windows[kSplash], WM_MOVE, 0, MovePosition(kSplash));
    RemoveSetups();
    RECT now;
    GetWindowRect(g_windows[kSplash], &now);
    Rect32 shape = {0, 0, kSplashWidth, kSplashHeight};
    Rect32 all = VirtualScreenNow();
    Placement target = OffscreenPlacement(&shape, &all);
    bool moved = now.left == target.x && now.top == target.y &&
                 now.right - now.left == kSplashWidth && g_killedCount == 1;
    if (!moved) {
        fprintf(stderr, "bench: FAILED: with the program off the list, the splash was not moved "
                        "and reported (kills %u, ",
                g_killedCount);
        PrintRect(stderr, "now", now);
        fprintf(stderr, ")\n");
    }
    return moved;
}

void PrintMessageTable(int rounds)
{
    double median[kSetups][kKinds];
    for (int setup = 0; setup < kSetups; ++setup)
        for (int kind = 0; kind < g_kindCount; ++kind)
            median[setup][kind] = Median(g_ns[setup][kind], rounds);

    printf("\nns per WM_MOVE sent to a window of this process, median of %d rounds\n"
           "(messages per round calibrated for 0.4 s per figure, sent in %d slices\n"
           "with the setups taking turns)\n\n",
           rounds, kSlices);
    printf("%-18s %12s %12s %12s %16s\n", "window kind", "no hook", "empty hook", "Zentrova",
           "Zentrova/empty");
    for (int kind = 0; kind < g_kindCount; ++kind)
        printf("%-18s %12.0f %12.0f %12.0f %15.2fx\n", g_kindNames[kind],
               median[kNoHook][kind], median[kEmptyHook][kind], median[kZentrova][kind],
               median[kZentrova][kind] / median[kEmptyHook][kind]);

    printf("\nspread over the rounds, ns (min..max), and messages per round\n\n");
    for (int kind = 0; kind < g_kindCount; ++kind) {
        printf("%-18s", g_kindNames[kind]);
        for (int setup = 0; setup < kSetups; ++setup) {
            double low, high;
            MinMax(g_ns[setup][kind], rounds, &low, &high);
            printf("  %9.0f..%-9.0f n=%-8u", low, high, g_sliceCounts[setup][kind] * kSlices);
        }
        printf("\n");
    }
    for (int kind = 0; kind < g_kindCount; ++kind)
        if (median[kEmptyHook][kind] <= median[kNoHook][kind])
            printf("warning: the empty hook cost nothing on the %s window: was it called?\n",
                   g_kindNames[kind]);
    printf("\nchecks: no window moved during the runs, no kill reported; off the list, the "
           "splash was moved\n");
    printf("ratios: captioned %.2fx, off-centre popup %.2fx",
           median[kZentrova][kCaptioned] / median[kEmptyHook][kCaptioned],
           median[kZentrova][kOffCentre] / median[kEmptyHook][kOffCentre]);
    printf(", captioned shown %.2fx", median[kZentrova][kShown] / median[kEmptyHook][kShown]);
    if (g_kindCount == kKinds)
        printf(", popup on the second monitor %.2fx",
               median[kZentrova][kSecondMonitor] / median[kEmptyHook][kSecondMonitor]);
    printf("\n");
}
