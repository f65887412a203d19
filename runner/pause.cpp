#include "pause.h"

#include "runner.h"
#include "tray.h"

// True while the user has the runner paused: no hook anywhere.
static bool g_paused;

bool IsPaused()
{
    return g_paused;
}

void TogglePause()
{
    if (g_paused) {
        if (!InstallHooks(g_hwndMain))
            return;
        g_paused = false;
    } else {
        RemoveHooks();
        g_paused = true;
    }
    TrayShowResting();
}
