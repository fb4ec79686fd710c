#pragma once
// Runs kcui.exe (next to the test in C:\tests\) from a test and collects what it prints.

#include <windows.h>

#include <string>
#include <vector>

namespace kc::e2e {

struct ToolRun {
  int status = -1;
  std::string out;  // UTF-8, as kcui prints it
};

// `args` is one command line in code page 932 (the tests' literals), e.g. "texts \"title\" --pid 12":
// it reaches kcui as UTF-16, so that titles match on a test bed of any code page.
ToolRun Kcui(const std::string& args);

// A test's own wait of `ms`, stretched by the factor in WINEBED_SLOWDOWN when the test bed sets
// one (the 32-bit stage runs under emulation), as kcui stretches its waits.
DWORD Scaled(DWORD ms);

// Splits kcui's output into lines (without the line ends).
std::vector<std::string> Lines(const std::string& out);

// Starts a program of C:\tests\ through kcui; returns its process id, 0 on failure.
DWORD StartProgram(const std::string& exeAndArgs, bool nonAdministrator = false);
// The same for a program of `folder` (ending in a backslash), which is also its current folder.
DWORD StartProgramIn(const std::string& folder, const std::string& exeAndArgs, bool nonAdministrator = false);

// Ends a started program that is still running (a failed test must not leave windows behind).
void EndIfRunning(DWORD pid);

// Waits for a program started by StartProgram to end and returns its exit code; -1000 when it
// does not end in time. The driver holds each started program's handle from its start, so the
// exit code can be read however early the program ended.
int WaitForExitCode(DWORD pid, DWORD timeoutMs = 60000);

}  // namespace kc::e2e
