// Examines one window on its own thread and moves it far off-screen when it is
// a splash screen whose executable the user has not exempted.
#pragma once

#include <windows.h>

#include "splash_shape.h"

// Whether the window belongs to this process.
bool IsOwnWindow(HWND hwnd);

// 1 when the window was moved (and the runner told), 0 when it was left alone.
// A window being shown that is left alone though it sits in the middle of a
// screen is reported to the runner, which offers it to the user.
int TryKillSplash(HWND hwnd, bool beingShown = false);

// The paths of the window's owner: the module that created it, and the
// executable of its process. Either stays empty when it cannot be found.
void FindWindowOwner(HWND hwnd, WindowFacts *facts);
