// The user's ignore list: full paths of executables whose windows are never
// moved, kept under HKEY_CURRENT_USER. Read afresh on every lookup, so an edit
// applies to the next candidate window in every process.
#pragma once

#define IGNORE_LIST_KEY "Software\\Orbelline\\Zentrova\\Ignorees"

// Receives one readable entry; returns false to end the reading early.
typedef bool (*IgnoreEntryVisitor)(const char *path, void *context);

// Hands each readable entry to visit, in index order. A missing key or count
// is an empty list; an entry that cannot be read is passed over.
void ReadIgnoreList(IgnoreEntryVisitor visit, void *context);

// True when the list has no entries at all: no key, no count, or a count of 0.
bool IgnoreListIsEmpty();

// True when either non-empty path equals an entry, ASCII case aside.
bool IsIgnored(const char *modulePath, const char *exePath);

// Puts entry index, NUL-terminated, into buffer of size bytes. A getter that
// leaves buffer untouched stores an empty entry.
typedef void (*IgnoreEntryGetter)(unsigned index, char *buffer, unsigned size, void *context);

// Stores count entries, fetched through get, as the whole list. Entries of a
// longer list stored before stay behind the new count, unread. False when the
// key could not be created or opened, and then nothing is written.
bool WriteIgnoreList(unsigned count, IgnoreEntryGetter get, void *context);
