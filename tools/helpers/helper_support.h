// What the test helpers share: a handle owner, bounded waits, option parsing and
// writing a result file so that a reader never sees it half written.
#pragma once

#include <windows.h>

#include <string>

// Owns one kernel handle; a failed open (NULL or INVALID_HANDLE_VALUE) is never closed.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~OwnedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A point in time a bounded wait must not pass.
class Deadline {
 public:
  explicit Deadline(DWORD milliseconds) : start_(GetTickCount()), limit_(milliseconds) {}
  bool passed() const { return GetTickCount() - start_ >= limit_; }

 private:
  DWORD start_;
  DWORD limit_;
};

// How often a helper looks again while it waits for a condition.
constexpr DWORD kPollMilliseconds = 10;

// The value after "--name" on the command line, or `fallback` when it is not given.
const char* Option(const char* name, const char* fallback = nullptr);

// A millisecond bound given as "--name N", or `fallback`.
DWORD OptionMilliseconds(const char* name, DWORD fallback);

bool FileExists(const char* path);

// Writes `content` to path + ".part" and renames it over `path`, so that whoever waits
// for `path` to appear finds it complete.
bool WriteResultFile(const std::string& path, const std::string& content);

// Bytes as lowercase hex, so that any text, NUL and control bytes included, survives
// the trip to the test harness unchanged.
std::string Hex(const char* bytes, size_t length);
