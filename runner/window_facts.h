// What the runner learns of another program's window from outside.
#pragma once

#include <windows.h>

#include "splash_rules.h"

// The full path of the program that owns the window, in kPathSize bytes;
// false, and path empty, when it cannot be had (Windows before Vista has no
// way across processes).
bool ProgramPath(HWND hwnd, char *path);

// The rule that would name the window: its program, class and size; false
// when its program or class cannot be had.
bool WindowRule(HWND hwnd, SplashRule *rule);
