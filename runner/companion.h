// The runner's 64-bit companion: on 64-bit Windows the runner starts
// Zentrova64.exe from its own folder, and that program holds the hook over
// 64-bit programs, reporting to the runner's window. Without it, only 32-bit
// programs are covered, and the About box says so.
#pragma once

#include <windows.h>

// Starts the companion for runnerWindow once the runner's own hook is in,
// when this is 64-bit Windows; a companion missing or refused is remembered.
void CompanionStart(HWND runnerWindow);

// Asks the companion started by CompanionStart to remove its hook and end.
void CompanionStop();

// "" while every program is covered; otherwise a line for the About box.
const char *CompanionNote();

// Starts the companion at path for runnerWindow, as CompanionStart does.
bool LaunchCompanion(const char *path, HWND runnerWindow);

// Posts WM_CLOSE to every companion that serves runnerWindow.
void CloseCompanions(HWND runnerWindow);
