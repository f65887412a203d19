// Pause: the hook taken away until the user resumes, the tray icon greyed.
#pragma once

bool IsPaused();

// Pauses, or resumes when paused. A hook that cannot be installed again
// leaves the runner paused.
void TogglePause();
