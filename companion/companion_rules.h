// What the 32-bit runner and its 64-bit companion, Zentrova64.exe, agree on,
// and the decisions each takes, over plain numbers and strings.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define COMPANION_FILE_NAME "Zentrova64.exe"
// The companion's hidden window; its title is the runner's window in decimal,
// so that a runner finds the companions that serve it.
#define COMPANION_CLASS "Zentrova64Companion"

// What the runner hands its companion. Window handles are 32-bit values in
// processes of either bitness.
struct CompanionArguments {
    uint32_t runnerWindow; // receives the kill message
    uint32_t killedMessage;
    uint32_t auxMessage;
};

// The companion's path: its file name in the folder of runnerPath. False when
// runnerPath names no folder or the result does not fit in size bytes.
bool CompanionPathBeside(const char *runnerPath, char *out, size_t size);

// The companion's command line: its quoted path, then the runner's window and
// the kill and auxiliary message numbers, in decimal, separated by spaces:
//   "C:\Zentrova\Zentrova64.exe" 65710 1027 1025
// False when it does not fit in size bytes.
bool FormatCompanionCommandLine(const char *companionPath, const CompanionArguments &arguments,
                                char *out, size_t size);

// Reads what follows the companion's path on its command line: exactly three
// decimal numbers of 32 bits, none of them 0. False for anything else.
bool ParseCompanionArguments(const char *text, CompanionArguments *arguments);

// The title of the companion window serving runnerWindow.
void FormatCompanionTitle(uint32_t runnerWindow, char out[16]);

// Whether a 32-bit runner starts a companion. On 32-bit Windows there is
// nothing for it to reach; on 64-bit Windows a missing one leaves 64-bit
// programs uncovered.
enum CompanionPlan { kCompanionNotNeeded, kCompanionMissing, kCompanionStart };
CompanionPlan PlanCompanion(bool on64BitWindows, bool companionPresent);

// Whose hook the shared record names.
struct RecordOwner {
    uint32_t window;
    uint32_t hook;
};

// What a running companion does next. The hook is removed only while the
// record still names it: a companion started later has replaced it, and
// removing would unhook the newcomer.
enum CompanionStep { kCompanionKeep, kCompanionRemoveAndEnd, kCompanionEnd };
CompanionStep NextCompanionStep(bool runnerAlive, RecordOwner recorded, RecordOwner mine);
