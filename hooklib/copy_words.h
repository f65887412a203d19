// Copies between memory that another thread or process may be writing, word by
// word through volatile, so that no call to a runtime's memcpy is made (the
// library has no runtime). Sizes are multiples of 4.
#pragma once

#include <stdint.h>

inline void CopyWords(void *to, const volatile void *from, unsigned size)
{
    volatile uint32_t *out = (volatile uint32_t *)to;
    const volatile uint32_t *in = (const volatile uint32_t *)from;
    for (unsigned i = 0; i < size / sizeof(uint32_t); ++i)
        out[i] = in[i];
}
