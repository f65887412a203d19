// Rules for the bytes and names that come back from the registry, kept apart
// from the registry calls so that they can be checked anywhere.
#pragma once

#include <stdint.h>

// Makes the dataSize bytes a registry read left in buffer into a C string,
// never looking past them. Data without a terminator gets one after its last
// byte when there is room; when there is none (the data fills the buffer) it
// holds more text than an entry may, and the answer is false.
bool TerminateRegistryText(char *buffer, uint32_t dataSize, uint32_t bufferSize);

// True when name is a list entry's value name, as "ignoree%d" forms it for
// some index (letter case aside, as the registry ignores it); sets *index.
bool ParseIgnoreeName(const char *name, uint32_t *index);
