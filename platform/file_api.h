// The file operations the text file needs, behind an interface so the buffering and the
// error recording run and are tested anywhere.
#pragma once

#include <cstdint>

using FileHandle = uintptr_t;

constexpr uint32_t kNoError = 0;

class FileApi {
 public:
  virtual ~FileApi() = default;

  // CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
  // FILE_ATTRIBUTE_NORMAL, NULL). Returns 0 and the handle, or the system's error code.
  virtual uint32_t Create(const char* path, FileHandle* file) = 0;

  // WriteFile. Returns 0 with the count written, or the system's error code.
  virtual uint32_t Write(FileHandle file, const char* data, uint32_t size, uint32_t* written) = 0;

  // CloseHandle. Returns 0 or the system's error code.
  virtual uint32_t Close(FileHandle file) = 0;
};
