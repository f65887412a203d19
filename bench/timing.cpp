// Clock, calibration and statistics shared by the benchmark's tables.
#include "bench.h"

LONGLONG Ticks()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double SecondsBetween(LONGLONG start, LONGLONG end)
{
    return (double)(end - start) / g_ticksPerSecond;
}

LPARAM MovePosition(int kind)
{
    return MAKELPARAM((WORD)g_startRects[kind].left, (WORD)g_startRects[kind].top);
}

// How many repetitions make a round of about targetSeconds.
unsigned CalibrateCount(double (*timeOf)(int, unsigned), int which, double targetSeconds)
{
    unsigned count = 8;
    for (;;) {
        double seconds = timeOf(which, count);
        if (seconds >= targetSeconds / 8 || count >= (1u << 28)) {
            double scaled = seconds > 0 ? count * (targetSeconds / seconds) : count;
            if (scaled < count)
                scaled = count;
            if (scaled > (double)(1u << 30))
                scaled = (double)(1u << 30);
            return (unsigned)scaled;
        }
        count *= 4;
    }
}

double Median(const double *values, int n)
{
    double sorted[kMaxRounds];
    for (int i = 0; i < n; ++i) {
        int j = i;
        for (; j > 0 && sorted[j - 1] > values[i]; --j)
            sorted[j] = sorted[j - 1];
        sorted[j] = values[i];
    }
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

void MinMax(const double *values, int n, double *low, double *high)
{
    *low = *high = values[0];
    for (int i = 1; i < n; ++i) {
        if (values[i] < *low)
            *low = values[i];
        if (values[i] > *high)
            *high = values[i];
    }
}
