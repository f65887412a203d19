#include "companion_rules.h"

#include <stdio.h>
#include <string.h>

bool CompanionPathBeside(const char *runnerPath, char *out, size_t size)
{
    const char *slash = strrchr(runnerPath, '\\');
    if (slash == NULL)
        return false;
    size_t folder = (size_t)(slash - runnerPath) + 1;
    if (folder + sizeof COMPANION_FILE_NAME > size)
        return false;
    memcpy(out, runnerPath, folder);
    memcpy(out + folder, COMPANION_FILE_NAME, sizeof COMPANION_FILE_NAME);
    return true;
}

bool FormatCompanionCommandLine(const char *companionPath, const CompanionArguments &arguments,
                                char *out, size_t size)
{
    int n = snprintf(out, size, "\"%s\" %lu %lu %lu", companionPath,
                     (unsigned long)arguments.runnerWindow, (unsigned long)arguments.killedMessage,
                     (unsigned long)arguments.auxMessage);
    return n > 0 && (size_t)n < size;
}

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One nonzero decimal number of 32 bits, after blanks; text moves past it.
static bool ReadNumber(const char **text, uint32_t *value)
{
    const char *p = *text;
    while (IsBlank(*p))
        ++p;
    uint64_t n = 0;
    const char *digits = p;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (uint64_t)(*p - '0');
        if (n > 0xFFFFFFFFu)
            return false;
        ++p;
    }
    if (p == digits || n == 0 || (*p != 0 && !IsBlank(*p)))
        return false;
    *value = (uint32_t)n;
    *text = p;
    return true;
}

bool ParseCompanionArguments(const char *text, CompanionArguments *arguments)
{
    CompanionArguments read;
    if (text == NULL || !ReadNumber(&text, &read.runnerWindow) ||
        !ReadNumber(&text, &read.killedMessage) || !ReadNumber(&text, &read.auxMessage))
        return false;
    while (IsBlank(*text))
        ++text;
    if (*text != 0)
        return false;
    *arguments = read;
    return true;
}

void FormatCompanionTitle(uint32_t runnerWindow, char out[16])
{
    snprintf(out, 16, "%lu", (unsigned long)runnerWindow);
}

CompanionPlan PlanCompanion(bool on64BitWindows, bool companionPresent)
{
    if (!on64BitWindows)
        return kCompanionNotNeeded;
    return companionPresent ? kCompanionStart : kCompanionMissing;
}

CompanionStep NextCompanionStep(bool runnerAlive, RecordOwner recorded, RecordOwner mine)
{
    if (recorded.window != mine.window || recorded.hook != mine.hook)
        return kCompanionEnd;
    return runnerAlive ? kCompanionKeep : kCompanionRemoveAndEnd;
}
