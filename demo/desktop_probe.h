// What a user would see of the runner on the desktop: its windows, the
// notification area's pixels, the shared record.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "library_names.h"

// Top-level windows of the given class (and title, unless null), hidden ones
// included, in Z order; owned by processId unless it is 0.
std::vector<HWND> FindTopLevel(const char *className, const char *title, DWORD processId = 0);

// Pixels of the tray icon's pictures in the notification area.
struct TrayColours {
    int yellow; // the normal face
    int red;    // the face after a kill
    int grey;   // the face while paused
};
TrayColours SampleTray();

// The centre of the runner's tray icon on the screen; false when no icon shows.
bool FindTrayIcon(POINT *centre);

// The tooltip the notification area shows while the pointer rests on the
// runner's tray icon; "" when none shows.
std::string TrayTooltip();

// Saves a part of the screen as a 24-bit BMP file.
bool SaveScreenBmp(const RECT &area, const char *path);

// A shared record (this bitness's unless named) as another process sees it;
// false when it does not exist.
struct SharedRecord {
    DWORD hwndNotify, hHook, uMsgAux, uMsgKilled;
};
bool ReadSharedRecord(SharedRecord *record, const char *mappingName = ZENTROVA_MAPPING_NAME);

// A window's text, fetched by message (works across processes).
std::string WindowText(HWND hwnd);
