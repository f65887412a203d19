#include "fixture_client.h"

#include <cstdio>
#include <cstdlib>

std::string BuiltProgram(const char *name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

bool StartFixture(Fixture *f, const std::string &commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE childIn, childOut;
    if (!CreatePipe(&childIn, &f->toChild, &inherit, 0))
        return false;
    if (!CreatePipe(&f->fromChild, &childOut, &inherit, 0))
        return false;
    SetHandleInformation(f->toChild, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(f->fromChild, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn;
    si.hStdOutput = childOut;
    si.hStdError = childOut;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    BOOL started =
        CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!started)
        return false;
    CloseHandle(pi.hThread);
    f->process = pi.hProcess;
    return true;
}

bool StartFixture(Fixture *f)
{
    return StartFixture(f, "\"" + BuiltProgram("zentrova_fixture.exe") + "\"");
}

bool FixtureSend(Fixture *f, const std::string &command)
{
    std::string line = command + "\n";
    DWORD written;
    return WriteFile(f->toChild, line.data(), (DWORD)line.size(), &written, NULL) != FALSE;
}

std::string FixtureCommand(Fixture *f, const std::string &command, DWORD timeoutMs)
{
    return FixtureSend(f, command) ? FixtureReceive(f, timeoutMs) : "";
}

std::string FixtureReceive(Fixture *f, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        size_t end = f->pending.find('\n');
        if (end != std::string::npos) {
            std::string answer = f->pending.substr(0, end);
            f->pending.erase(0, end + 1);
            return answer;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(f->fromChild, NULL, 0, NULL, &available, NULL))
            return "";
        if (available > 0) {
            char buffer[512];
            DWORD got = 0;
            if (!ReadFile(f->fromChild, buffer, sizeof buffer < available ? sizeof buffer : available,
                          &got, NULL))
                return "";
            f->pending.append(buffer, got);
            continue;
        }
        if (GetTickCount() - start > Patient(timeoutMs))
            return "";
        PumpMessagesFor(5);
    }
}

FixtureRect FixtureWindow(Fixture *f, const std::string &command)
{
    std::string answer = FixtureCommand(f, command);
    FixtureRect r = ParseFixtureRect(answer);
    if (!r.ok)
        printf("the fixture answered \"%s\" to \"%s\"\n", answer.c_str(), command.c_str());
    return r;
}

FixtureRect ParseFixtureRect(const std::string &answer)
{
    FixtureRect r = {};
    long l, t, rt, b;
    unsigned long ms, hwnd;
    r.ok = sscanf(answer.c_str(), "ok %d %ld %ld %ld %ld %lu %lx", &r.id, &l, &t, &rt, &b, &ms,
                  &hwnd) == 7;
    if (r.ok) {
        SetRect(&r.rect, (int)l, (int)t, (int)rt, (int)b);
        r.ms = ms;
        r.hwnd = (HWND)(LONG_PTR)(int)hwnd;
    }
    return r;
}

int StopFixture(Fixture *f, DWORD timeoutMs)
{
    int code = -1;
    if (f->toChild != NULL) {
        CloseHandle(f->toChild);
        f->toChild = NULL;
    }
    if (f->process != NULL) {
        code = WaitForExit(f->process, timeoutMs);
        if (code == -1)
            TerminateProcess(f->process, 1);
        CloseHandle(f->process);
        f->process = NULL;
    }
    if (f->fromChild != NULL) {
        CloseHandle(f->fromChild);
        f->fromChild = NULL;
    }
    return code;
}

void PumpMessagesFor(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(bool (*done)(void *), void *context, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done(context)) {
        if (GetTickCount() - start > Patient(timeoutMs))
            return false;
        PumpMessagesFor(10);
    }
    return true;
}

int WaitForExit(HANDLE process, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > Patient(timeoutMs))
            return -1;
        PumpMessagesFor(10);
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return (int)code;
}

HANDLE StartProgram(const std::string &commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

DWORD Patient(DWORD ms)
{
    char text[16];
    DWORD n = GetEnvironmentVariableA("ZENTROVA_TEST_PATIENCE", text, sizeof text);
    long factor = n > 0 && n < sizeof text ? strtol(text, NULL, 10) : 1;
    return factor > 1 && factor <= 100 ? ms * (DWORD)factor : ms;
}
