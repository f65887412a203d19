// Case-insensitive text comparison that folds only the ASCII letters A-Z.
// Every other byte, 0x80-0xFF included, must match exactly: the same answer in
// every process, whatever its locale or code page.
#pragma once

// True when a and b are the same text, ignoring ASCII case.
bool AsciiEqualNoCase(const char *a, const char *b);

// True when text begins with literal, ignoring ASCII case; only literal's
// length is compared, so "staticframe" starts with "static".
bool AsciiStartsWithNoCase(const char *text, const char *literal);

// Length of text, looking at no more than limit bytes: a buffer that lacks its
// terminator is never read past its end.
unsigned TextLengthWithin(const char *text, unsigned limit);
