// Stands in for the web browser as the shell's "http" handler. The handler key runs
//   address_recorder.exe OUT_DIR VERB "%1"
// with VERB written into the command of the one verb key that holds it, so the verb that
// reached the recorder is known by construction. Each call writes OUT_DIR\call-PID.txt:
//   command_line=HEX
//   arg=HEX          (one line per argument after the program's own name)
// and exits at once.
#include <windows.h>

#include <string>

#include "helper_support.h"

namespace {

enum ExitCode { kRecorded = 0, kUsage = 1, kCannotWrite = 3 };

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return kUsage;
  const char* command_line = GetCommandLineA();
  std::string record = "command_line=" + Hex(command_line, lstrlenA(command_line)) + "\n";
  for (int k = 1; k < __argc; ++k) {
    record += "arg=" + Hex(__argv[k], lstrlenA(__argv[k])) + "\n";
  }
  const std::string path =
      std::string(__argv[1]) + "\\call-" + std::to_string(GetCurrentProcessId()) + ".txt";
  return WriteResultFile(path, record) ? kRecorded : kCannotWrite;
}
