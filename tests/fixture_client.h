// Starts the fixture program as a separate process and talks to it, pumping
// this thread's messages while waiting, so that windows of this process can
// answer what the fixture's hooked threads send them.
#pragma once

#include <windows.h>

#include <string>

struct FixtureRect {
    bool ok;
    int id;
    RECT rect;
    DWORD ms; // how long the fixture was held up by the command
    HWND hwnd;
};

struct Fixture {
    HANDLE process = NULL;
    HANDLE toChild = NULL;
    HANDLE fromChild = NULL;
    std::string pending;
};

// Full path of a program built beside this test program.
std::string BuiltProgram(const char *name);

// Starts a program with its standard input and output on pipes.
bool StartFixture(Fixture *f, const std::string &commandLine);
bool StartFixture(Fixture *f);

// Sends one command line without waiting for its answer.
bool FixtureSend(Fixture *f, const std::string &command);

// The next answer line, or "" after timeoutMs.
std::string FixtureReceive(Fixture *f, DWORD timeoutMs = 15000);

// Parses an answer that gives a window's rectangle.
FixtureRect ParseFixtureRect(const std::string &answer);

// Sends one command line; returns the answer line, or "" after timeoutMs.
std::string FixtureCommand(Fixture *f, const std::string &command, DWORD timeoutMs = 15000);

// Sends a command answered with a window's rectangle, and parses the answer.
FixtureRect FixtureWindow(Fixture *f, const std::string &command);

// Closes its input and waits for it to end; kills it when it does not.
// Returns its exit code, or -1 when it had to be killed.
int StopFixture(Fixture *f, DWORD timeoutMs = 10000);

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(DWORD ms);

// Dispatches messages until done() holds or timeoutMs have passed.
bool PumpUntil(bool (*done)(void *), void *context, DWORD timeoutMs);

// Waits for a process to end while pumping; its exit code, or -1 on timeout.
int WaitForExit(HANDLE process, DWORD timeoutMs);

// Starts a program with no pipes; its process handle, or null.
HANDLE StartProgram(const std::string &commandLine);

// A time limit stretched by ZENTROVA_TEST_PATIENCE, a whole factor (1 when
// unset): under an emulated machine every program runs several times slower.
// The waits here apply it themselves.
DWORD Patient(DWORD ms);
