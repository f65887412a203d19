// Resource and command ids of the runner, in one place for the code and the
// resource script.
#pragma once

// Icon groups: the tray icon, normal, for a second after each kill, and paused.
#define IDI_TRAY_NORMAL 101
#define IDI_TRAY_KILLED 103
#define IDI_TRAY_PAUSED 105

// The configuration dialog and its controls.
#define IDD_CONFIG 104
#define IDC_IGNORE_LIST 1000
#define IDC_ADD_APP 1001
#define IDC_REMOVE_APP 1002

// Tray menu commands.
#define IDM_CONFIG 1
#define IDM_QUIT 2
#define IDM_ABOUT 3
#define IDM_SIGN_IN 4
#define IDM_PAUSE 5
// Moved windows, up to three choices per entry: entry i is IDM_BRING_BACK + i,
// IDM_ALWAYS_ALLOW + i and, for a window a rule moved, IDM_STOP_TREATING + i.
#define kMovedChoiceIds 100
#define IDM_BRING_BACK 100
#define IDM_ALWAYS_ALLOW 200
#define IDM_STOP_TREATING 300
// Left on screen: entry i is IDM_TREAT_AS_SPLASH + i.
#define IDM_TREAT_AS_SPLASH 400
