// The stored text of a rule, read and written by the runner only: kept out of
// the library, which reads the rules from the shared table.
#include "splash_rules.h"

#include "ascii.h"

// Appends text to out at *used; false when it does not fit with a terminator.
static bool Append(char *out, unsigned size, unsigned *used, const char *text)
{
    for (; *text != 0; ++text) {
        if (*used + 1 >= size)
            return false;
        out[(*used)++] = *text;
    }
    out[*used] = 0;
    return true;
}

static bool AppendNumber(char *out, unsigned size, unsigned *used, int32_t value)
{
    char digits[12];
    unsigned n = 0;
    uint32_t v = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
    do {
        digits[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        digits[n++] = '-';
    char text[12];
    for (unsigned i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    text[n] = 0;
    return Append(out, size, used, text);
}

bool FormatRuleText(const SplashRule *rule, char *out, unsigned size)
{
    unsigned used = 0;
    if (size == 0)
        return false;
    out[0] = 0;
    for (const char *p = rule->path; *p != 0; ++p)
        if (*p == '|')
            return false;
    return AppendNumber(out, size, &used, rule->width) && Append(out, size, &used, "x") &&
           AppendNumber(out, size, &used, rule->height) && Append(out, size, &used, "|") &&
           Append(out, size, &used, rule->className) && Append(out, size, &used, "|") &&
           Append(out, size, &used, rule->path);
}

// A positive decimal of at most 9 digits, ending at stop; advances *p.
static bool ReadSize(const char **p, const char *end, char stop, int32_t *value)
{
    int32_t n = 0;
    unsigned digits = 0;
    while (*p < end && **p >= '0' && **p <= '9') {
        if (++digits > 9)
            return false;
        n = n * 10 + (**p - '0');
        ++*p;
    }
    if (digits == 0 || n == 0 || *p == end || **p != stop)
        return false;
    ++*p;
    *value = n;
    return true;
}

// Copies [from, to) into out of size bytes; false when empty or too long.
static bool CopySpan(const char *from, const char *to, char *out, unsigned size)
{
    if (to <= from || (unsigned)(to - from) >= size)
        return false;
    unsigned n = 0;
    for (; from < to; ++from)
        out[n++] = *from;
    out[n] = 0;
    return true;
}

bool ParseRuleText(const char *text, unsigned limit, SplashRule *rule)
{
    unsigned length = TextLengthWithin(text, limit);
    if (length == limit)
        return false;
    const char *p = text, *end = text + length;
    SplashRule read;
    if (!ReadSize(&p, end, 'x', &read.width) || !ReadSize(&p, end, '|', &read.height))
        return false;
    const char *lastBar = end;
    while (lastBar > p && lastBar[-1] != '|')
        --lastBar;
    if (lastBar == p) // no second '|'
        return false;
    if (!CopySpan(p, lastBar - 1, read.className, sizeof read.className) ||
        !CopySpan(lastBar, end, read.path, sizeof read.path))
        return false;
    *rule = read;
    return true;
}

