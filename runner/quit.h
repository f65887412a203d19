// Finding a runner that is already running, and stopping runners for good:
// the -noicon and -quit switches.
#pragma once

#include <windows.h>

// A runner already running, found by its title among all top-level windows,
// hidden ones included; null when there is none.
HWND FindRunningRunner();

// -quit: stops every running runner, one after another, waiting for each and
// its companions to end, and starts none.
void QuitRunningRunners();
