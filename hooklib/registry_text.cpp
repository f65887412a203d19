#include "registry_text.h"

#include "ascii.h"

bool TerminateRegistryText(char *buffer, uint32_t dataSize, uint32_t bufferSize)
{
    if (bufferSize == 0 || dataSize > bufferSize)
        return false;
    if (TextLengthWithin(buffer, dataSize) < dataSize)
        return true;
    if (dataSize == bufferSize)
        return false;
    buffer[dataSize] = 0;
    return true;
}

// Indices are unsigned, but "%d" prints those above INT32_MAX as negative
// numbers; both spellings are accepted so that every name maps back.
bool ParseIgnoreeName(const char *name, uint32_t *index)
{
    static const char kPrefix[] = "ignoree";
    if (!AsciiStartsWithNoCase(name, kPrefix))
        return false;
    const char *p = name + sizeof kPrefix - 1;
    bool negative = (*p == '-');
    if (negative)
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    // "%d" writes no leading zeros and no "-0".
    if (*p == '0' && (p[1] != 0 || negative))
        return false;
    uint64_t value = 0;
    const uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    for (; *p != 0; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (uint64_t)(*p - '0');
        if (value > limit)
            return false;
    }
    *index = negative ? (uint32_t)(0x100000000ull - value) : (uint32_t)value;
    return true;
}
