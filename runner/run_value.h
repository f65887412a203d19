// The value that starts the runner at sign-in, under the current user's Run
// key, and whether a value found there is this runner's.
#pragma once

#define RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define RUN_VALUE_NAME "Zentrova"

// The runner's path in double quotes, so that blanks in it are not taken for
// the end of the command. False, and out empty, when it does not fit.
bool FormatRunValue(char *out, unsigned size, const char *exePath);

// True when value starts exePath: the quoted or the bare path, letter case
// aside, with or without arguments after a quoted one.
bool RunValueStarts(const char *value, const char *exePath);
