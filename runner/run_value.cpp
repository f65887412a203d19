#include "run_value.h"

#include "ascii.h"

bool FormatRunValue(char *out, unsigned size, const char *exePath)
{
    unsigned length = TextLengthWithin(exePath, size);
    if (size == 0)
        return false;
    out[0] = 0;
    if (length + 3 > size)
        return false;
    out[0] = '"';
    for (unsigned i = 0; i < length; ++i)
        out[i + 1] = exePath[i];
    out[length + 1] = '"';
    out[length + 2] = 0;
    return true;
}

bool RunValueStarts(const char *value, const char *exePath)
{
    while (*value == ' ' || *value == '\t')
        ++value;
    if (*value != '"')
        return AsciiEqualNoCase(value, exePath);
    ++value;
    // The quoted part, compared without copying it out.
    const char *p = exePath;
    for (; *value != '"'; ++value, ++p) {
        if (*value == 0 || *p == 0)
            return false;
        char a[2] = {*value, 0}, b[2] = {*p, 0};
        if (!AsciiEqualNoCase(a, b))
            return false;
    }
    ++value;
    return *p == 0 && (*value == 0 || *value == ' ' || *value == '\t');
}
