#include "ascii.h"

static unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c - 'A' + 'a') : c;
}

bool AsciiEqualNoCase(const char *a, const char *b)
{
    const unsigned char *p = (const unsigned char *)a;
    const unsigned char *q = (const unsigned char *)b;
    for (;; ++p, ++q) {
        if (FoldAscii(*p) != FoldAscii(*q))
            return false;
        if (*p == 0)
            return true;
    }
}

bool AsciiStartsWithNoCase(const char *text, const char *literal)
{
    const unsigned char *p = (const unsigned char *)text;
    const unsigned char *q = (const unsigned char *)literal;
    for (; *q != 0; ++p, ++q) {
        // A shorter text stops here too: its NUL never equals a literal's letter.
        if (FoldAscii(*p) != FoldAscii(*q))
            return false;
    }
    return true;
}

unsigned TextLengthWithin(const char *text, unsigned limit)
{
    unsigned n = 0;
    while (n < limit && text[n] != 0)
        ++n;
    return n;
}
