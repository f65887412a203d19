// Declarations shared by the benchmark's parts: the windows and hook setups it
// measures, the ignore-list key it borrows, its timing, and its three tables.
#pragma once

#include <windows.h>

#include <stdio.h>

// kShown is the captioned window sent WM_SHOWWINDOW rather than WM_MOVE. The
// last kind only where there is a second monitor.
enum { kCaptioned, kOffCentre, kSplash, kShown, kSecondMonitor, kKinds };
enum { kNoHook, kEmptyHook, kZentrova, kSetups };

enum {
    kDefaultRounds = 7,
    kMaxRounds = 51,
    kSlices = 6, // per round; a multiple of kSetups, so each setup takes each turn alike
    kListSize = 100,
    kSplashWidth = 400,
    kSplashHeight = 300,
};

extern const char *const g_kindNames[kKinds];
extern const char *const g_setupNames[kSetups];

// How many kinds this desktop has: kKinds with a second monitor, else one fewer.
extern int g_kindCount;
// The windows measured, where they started, and the splash's one child.
extern HWND g_windows[kKinds];
extern RECT g_startRects[kKinds];
extern HWND g_splashChild;
// Kills Zentrova reported to the benchmark's notify window.
extern unsigned g_killedCount;
// This program's path: the ignore list's last entry.
extern char g_exePath[MAX_PATH];
extern double g_ticksPerSecond;

// ---- The ignore-list key (ignore_key.cpp) ----

bool SaveIgnoreKey();
bool RestoreIgnoreKey();
// A fresh list of kListSize entries whose last one is last.
bool WriteBenchList(const char *last);

// ---- Windows and hook setups (bench_windows.cpp) ----

// Puts rules of sizes no measured window has in the table the library reads,
// as the runner does for the user's; false when the table cannot be made.
bool StoreBenchRules(unsigned count);
// The message each kind is sent, and its wParam.
UINT KindMessage(int kind, WPARAM *wParam);

void PumpPending();
bool SameRect(const RECT &a, const RECT &b);
void PrintRect(FILE *out, const char *what, const RECT &r);
// A caption-less popup centred on the screen with one Static child, hidden.
HWND CreateSplashShaped(HWND *child);
bool CreateWindows();
void DestroyWindows();
bool LoadEmptyHook();
bool InstallSetup(int setup);
// Installs the setup, or says why it could not.
bool InstallOrSay(int setup);
void RemoveSetups();

// ---- Timing (timing.cpp) ----

LONGLONG Ticks();
double SecondsBetween(LONGLONG start, LONGLONG end);
// The lParam of a WM_MOVE that leaves the window of this kind where it is.
LPARAM MovePosition(int kind);
unsigned CalibrateCount(double (*timeOf)(int, unsigned), int which, double targetSeconds);
double Median(const double *values, int n);
void MinMax(const double *values, int n, double *low, double *high);

// ---- The three tables ----

// ns per hooked WM_MOVE, and the checks that the hook measured was live (message_table.cpp).
bool MeasureMessages(int rounds);
bool CheckNothingMoved();
bool CheckHookWasLive();
void PrintMessageTable(int rounds);
// ns per platform call, and each call once between marks (platform_calls.cpp).
bool MeasureCalls(int rounds);
void PrintCallTable(int rounds);
bool RunMarked();
