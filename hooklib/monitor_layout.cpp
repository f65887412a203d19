#include "monitor_layout.h"

// Overlap of two spans, 0 when they do not meet; 64 bits, as edges may lie
// anywhere in the 32-bit range.
static int64_t Overlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2)
{
    int64_t lo = a1 > b1 ? a1 : b1;
    int64_t hi = a2 < b2 ? a2 : b2;
    return hi > lo ? hi - lo : 0;
}

// How far a span lies outside another, 0 when they meet.
static int64_t Gap(int32_t a1, int32_t a2, int32_t b1, int32_t b2)
{
    if (a2 < b1)
        return (int64_t)b1 - a2;
    if (b2 < a1)
        return (int64_t)a1 - b2;
    return 0;
}

unsigned NearestMonitor(const MonitorLayout *layout, const Rect32 *rect)
{
    unsigned best = 0;
    int64_t bestArea = 0;
    for (unsigned i = 0; i < layout->count; ++i) {
        const Rect32 &m = layout->monitors[i].monitor;
        int64_t area = Overlap(rect->left, rect->right, m.left, m.right) *
                       Overlap(rect->top, rect->bottom, m.top, m.bottom);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (bestArea > 0)
        return best;
    // Touching none: the one at the least distance, measured as the system
    // measures it, by the larger of the two gaps.
    int64_t bestGap = -1;
    for (unsigned i = 0; i < layout->count; ++i) {
        const Rect32 &m = layout->monitors[i].monitor;
        int64_t dx = Gap(rect->left, rect->right, m.left, m.right);
        int64_t dy = Gap(rect->top, rect->bottom, m.top, m.bottom);
        int64_t gap = dx > dy ? dx : dy;
        if (bestGap < 0 || gap < bestGap) {
            best = i;
            bestGap = gap;
        }
    }
    return best;
}

Rect32 VirtualScreen(const MonitorLayout *layout, const Rect32 *primaryScreen)
{
    if (layout->count == 0)
        return *primaryScreen;
    Rect32 all = layout->monitors[0].monitor;
    for (unsigned i = 1; i < layout->count; ++i) {
        const Rect32 &m = layout->monitors[i].monitor;
        if (m.left < all.left)
            all.left = m.left;
        if (m.top < all.top)
            all.top = m.top;
        if (m.right > all.right)
            all.right = m.right;
        if (m.bottom > all.bottom)
            all.bottom = m.bottom;
    }
    return all;
}
