// Starts a program with a chosen start-up show state, which `wine start` cannot give for
// every value (its /min gives 2, never 7), waits for it and passes on its exit code.
//
//   show_state_starter N PROGRAM [ARGS...]
//
// The program gets STARTF_USESHOWWINDOW with wShowWindow = N and this process's working
// folder; its command line is this one's after N, unchanged. The wait is bounded
// (120 s): a program still running then is ended and the exit code is kTimedOut.
#include <windows.h>

#include <stdlib.h>

#include "helper_support.h"

namespace {

constexpr DWORD kWaitMilliseconds = 120000;

enum ExitCode : DWORD { kUsage = 120, kCannotStart = 121, kTimedOut = 124 };

// Moves past one command-line token (quoted or not) and the blanks after it.
char* SkipToken(char* cursor) {
  bool quoted = false;
  for (; *cursor != '\0'; ++cursor) {
    if (*cursor == '"') quoted = !quoted;
    if (!quoted && (*cursor == ' ' || *cursor == '\t')) break;
  }
  while (*cursor == ' ' || *cursor == '\t') ++cursor;
  return cursor;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return kUsage;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(strtoul(__argv[1], nullptr, 10));

  char* child_command = SkipToken(SkipToken(GetCommandLineA()));
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, child_command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return kCannotStart;
  }
  OwnedHandle process(started.hProcess);
  OwnedHandle thread(started.hThread);

  if (WaitForSingleObject(process.get(), kWaitMilliseconds) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), kTimedOut);
    WaitForSingleObject(process.get(), kWaitMilliseconds);
    return kTimedOut;
  }
  DWORD exit_code = kCannotStart;
  GetExitCodeProcess(process.get(), &exit_code);
  return static_cast<int>(exit_code);
}
