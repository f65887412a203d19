#include "moved_list.h"

bool IsOffscreenPlaced(const Rect32 *windowRect, const Rect32 *virtualScreen)
{
    Placement p = OffscreenPlacement(windowRect, virtualScreen);
    return p.x == windowRect->left && p.y == windowRect->top;
}

void MovedListAdd(MovedList *list, uint64_t window)
{
    for (unsigned i = 0; i < list->count; ++i)
        if (list->windows[i] == window)
            return;
    if (list->count == kMovedCapacity) {
        for (unsigned i = 1; i < kMovedCapacity; ++i)
            list->windows[i - 1] = list->windows[i];
        --list->count;
    }
    list->windows[list->count++] = window;
}

void MovedListKeep(MovedList *list, bool (*keep)(uint64_t window, void *context), void *context)
{
    unsigned kept = 0;
    for (unsigned i = 0; i < list->count; ++i)
        if (keep(list->windows[i], context))
            list->windows[kept++] = list->windows[i];
    list->count = kept;
}

unsigned MovedListNewest(const MovedList *list, uint64_t *out, unsigned max)
{
    unsigned n = 0;
    for (unsigned i = list->count; i > 0 && n < max; --i)
        out[n++] = list->windows[i - 1];
    return n;
}

// Appends text to out at *used, stopping at limit characters of text or
// when out is full, whichever comes first; false when text was cut.
static bool AppendEscaped(char *out, unsigned size, unsigned *used, const char *text,
                          unsigned limit)
{
    for (unsigned n = 0; text[n] != 0; ++n) {
        unsigned char c = (unsigned char)text[n];
        unsigned need = c == '&' ? 2 : 1;
        if (n == limit || *used + need >= size)
            return false;
        out[(*used)++] = c < 0x20 ? ' ' : (char)c;
        if (c == '&')
            out[(*used)++] = '&';
    }
    return true;
}

void FormatMovedEntry(char *out, unsigned size, const char *exePath, const char *windowText)
{
    if (size == 0)
        return;
    const char *name = exePath;
    for (const char *p = exePath; *p != 0; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    unsigned used = 0;
    AppendEscaped(out, size, &used, name[0] != 0 ? name : "(unknown program)", kPathSize);
    if (windowText[0] != 0 && AppendEscaped(out, size, &used, " - ", 3) &&
        !AppendEscaped(out, size, &used, windowText, kMovedTextChars))
        AppendEscaped(out, size, &used, "...", 3);
    out[used] = 0;
}

Placement CentredPlacement(const Rect32 *workArea, int32_t width, int32_t height)
{
    int64_t x = workArea->left + ((int64_t)workArea->right - workArea->left - width) / 2;
    int64_t y = workArea->top + ((int64_t)workArea->bottom - workArea->top - height) / 2;
    Placement p;
    p.x = (int32_t)(x < workArea->left ? workArea->left : x);
    p.y = (int32_t)(y < workArea->top ? workArea->top : y);
    p.width = width;
    p.height = height;
    return p;
}
