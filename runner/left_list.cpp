#include "left_list.h"

static void CopyText(char *out, unsigned size, const char *text)
{
    unsigned n = 0;
    for (; n + 1 < size && text[n] != 0; ++n)
        out[n] = text[n];
    out[n] = 0;
}

void LeftListAdd(LeftList *list, const LeftEntry *entry)
{
    for (unsigned i = 0; i < list->count; ++i)
        if (list->entries[i].window == entry->window)
            return;
    if (list->count == kLeftShown) {
        for (unsigned i = 1; i < kLeftShown; ++i)
            list->entries[i - 1] = list->entries[i];
        --list->count;
    }
    list->entries[list->count++] = *entry;
}

const LeftEntry *LeftListNewest(const LeftList *list, unsigned index)
{
    return index < list->count ? &list->entries[list->count - 1 - index] : 0;
}

void LeftListRemove(LeftList *list, unsigned index)
{
    if (index >= list->count)
        return;
    for (unsigned i = list->count - 1 - index; i + 1 < list->count; ++i)
        list->entries[i] = list->entries[i + 1];
    --list->count;
}

void RuleFromEntry(const LeftEntry *entry, SplashRule *rule)
{
    rule->width = entry->width;
    rule->height = entry->height;
    CopyText(rule->className, sizeof rule->className, entry->className);
    CopyText(rule->path, sizeof rule->path, entry->path);
}
