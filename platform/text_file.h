// A text file written through a 128-byte buffer. Operations never raise: a failing one
// records an error code, which IOCheck turns into EInOutError.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_api.h"

class TextFile {
 public:
  static constexpr uint32_t kBufferSize = 128;

  TextFile(FileApi& api, std::string name) : api_(api), name_(std::move(name)) {}

  // An interrupted file is deliberately not closed here: what an interrupted start
  // leaves open, the process holds until it ends.
  ~TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void Rewrite();  // create anew for writing, truncating an existing file
  void Write(const std::string& text);
  void WriteLine();  // CR LF
  void Close();      // write out the rest of the buffer, then close the handle

  // The recorded error code, cleared by taking it; 0 when all went well.
  uint32_t TakeError();

  bool is_open() const { return open_; }

 private:
  void Flush();
  void Record(uint32_t code);

  FileApi& api_;
  std::string name_;
  FileHandle handle_ = 0;
  bool open_ = false;
  char buffer_[kBufferSize] = {};
  uint32_t used_ = 0;
  uint32_t error_ = kNoError;
};

// Raises EInOutError with the recorded code's message if an operation failed.
void IOCheck(TextFile& file);
