#include "platform/text_file.h"

#include <cstring>

#include "platform/exceptions.h"
#include "platform/io_error.h"

void TextFile::Record(uint32_t code) {
  if (error_ == kNoError) error_ = code;
}

void TextFile::Rewrite() {
  if (error_ != kNoError) return;
  FileHandle handle = 0;
  const uint32_t code = api_.Create(name_.c_str(), &handle);
  if (code != kNoError) {
    Record(code);
    return;
  }
  handle_ = handle;
  open_ = true;
  used_ = 0;
}

void TextFile::Flush() {
  if (used_ == 0) return;
  uint32_t written = 0;
  const uint32_t code = api_.Write(handle_, buffer_, used_, &written);
  if (code != kNoError) {
    Record(code);
    return;
  }
  // WriteFile may report success yet write less than asked (a full medium): that is a
  // failure too, not a silently shortened file.
  if (written != used_) {
    Record(kIoDiskFull);
    return;
  }
  used_ = 0;
}

void TextFile::Write(const std::string& text) {
  if (error_ != kNoError || !open_) return;
  size_t done = 0;
  while (done < text.size()) {
    const size_t room = kBufferSize - used_;
    const size_t part = text.size() - done < room ? text.size() - done : room;
    std::memcpy(buffer_ + used_, text.data() + done, part);
    used_ += static_cast<uint32_t>(part);
    done += part;
    if (used_ == kBufferSize) {
      Flush();
      if (error_ != kNoError) return;
    }
  }
}

void TextFile::WriteLine() { Write("\r\n"); }

void TextFile::Close() {
  if (error_ != kNoError || !open_) return;
  Flush();
  if (error_ != kNoError) return;  // the handle stays open when the rest cannot be written
  const uint32_t code = api_.Close(handle_);
  open_ = false;
  if (code != kNoError) Record(code);
}

uint32_t TextFile::TakeError() {
  const uint32_t code = error_;
  error_ = kNoError;
  return code;
}

void IOCheck(TextFile& file) {
  const uint32_t code = file.TakeError();
  if (code != kNoError) throw EInOutError(static_cast<int>(code), IoErrorMessage(code));
}
