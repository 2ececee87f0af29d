// Holds a file open without write sharing, as another program might, until told to stop.
//
//   file_holder --file PATH --ready FILE --stop FILE [--share read|none] [--timeout-ms N]
//
// Opens PATH for reading with sharing FILE_SHARE_READ (or none), then writes READY:
// "held" on success, "error N" with the open's error code otherwise. Closes the file and
// exits once STOP exists, or after the bound (default 120 s).
#include <windows.h>

#include <string>

#include "helper_support.h"

namespace {

constexpr DWORD kDefaultTimeoutMilliseconds = 120000;

enum ExitCode { kReleased = 0, kUsage = 1, kTimedOut = 2, kCannotWrite = 3, kCannotOpen = 4 };

DWORD ShareMode(const char* name) {
  return lstrcmpA(name, "none") == 0 ? 0 : FILE_SHARE_READ;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* path = Option("--file");
  const char* ready = Option("--ready");
  const char* stop = Option("--stop");
  const DWORD share = ShareMode(Option("--share", "read"));
  const Deadline deadline(OptionMilliseconds("--timeout-ms", kDefaultTimeoutMilliseconds));
  if (path == nullptr || ready == nullptr || stop == nullptr) return kUsage;

  OwnedHandle file(CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string state =
      file.valid() ? "held" : "error " + std::to_string(GetLastError());
  if (!WriteResultFile(ready, state)) return kCannotWrite;
  if (!file.valid()) return kCannotOpen;

  while (!FileExists(stop)) {
    if (deadline.passed()) return kTimedOut;
    Sleep(kPollMilliseconds);
  }
  return kReleased;
}
