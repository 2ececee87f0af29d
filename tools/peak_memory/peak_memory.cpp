// peak_memory.exe PROGRAM [ARGS...]
// Starts PROGRAM with ARGS in the current folder, waits for it to end and prints
//   peak_working_set=BYTES
//   exit_code=CODE
//
// The peak working set is a high-water mark, so reading it late is enough. Windows keeps a
// process's counters readable through its handle after it has ended; Wine reads them from
// the live process only and gives zeros once it has gone. So the counters are read every
// millisecond while the program runs and once more after its end, and the largest peak is
// kept: under Wine that misses at most the program's last millisecond.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

enum ExitCode { kMeasured = 0, kUsage = 1, kCannotStart = 2, kTimedOut = 3, kNoCounters = 4 };

constexpr DWORD kSampleIntervalMs = 1;
constexpr DWORD kWaitLimitMs = 60000;

// One owner per handle, closed exactly once.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string QuotedCommandLine(int argc, char** argv) {
  std::string command_line;
  for (int k = 1; k < argc; ++k) {
    if (k > 1) command_line += ' ';
    command_line += '"';
    command_line += argv[k];
    command_line += '"';
  }
  return command_line;
}

// The process's peak working set so far, or 0 when Windows gives no counters.
SIZE_T PeakSoFar(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

// Samples the peak until the process ends; false when it outlives the wait limit.
bool FollowPeak(HANDLE process, SIZE_T* peak) {
  const DWORD started = GetTickCount();
  for (;;) {
    const SIZE_T now = PeakSoFar(process);
    if (now > *peak) *peak = now;
    if (WaitForSingleObject(process, kSampleIntervalMs) == WAIT_OBJECT_0) break;
    if (GetTickCount() - started > kWaitLimitMs) return false;
  }
  const SIZE_T after_end = PeakSoFar(process);
  if (after_end > *peak) *peak = after_end;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    (void)std::fprintf(stderr, "usage: peak_memory PROGRAM [ARGS...]\n");
    return kUsage;
  }
  std::string command_line = QuotedCommandLine(argc, argv);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    (void)std::fprintf(stderr, "cannot start %s: error %lu\n", argv[1], GetLastError());
    return kCannotStart;
  }
  Handle process(started.hProcess);
  Handle thread(started.hThread);
  SIZE_T peak = 0;
  if (!FollowPeak(process.get(), &peak)) {
    TerminateProcess(process.get(), 1);
    (void)std::fprintf(stderr, "%s still running after %lu ms; ended\n", argv[1], kWaitLimitMs);
    return kTimedOut;
  }
  if (peak == 0) {
    (void)std::fprintf(stderr, "no memory counters for %s\n", argv[1]);
    return kNoCounters;
  }
  DWORD exit_code = 0;
  GetExitCodeProcess(process.get(), &exit_code);
  std::printf("peak_working_set=%lu\nexit_code=%lu\n", static_cast<unsigned long>(peak),
              static_cast<unsigned long>(exit_code));
  return kMeasured;
}
