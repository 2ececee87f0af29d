#include "platform/io_error.h"

namespace {

struct CodeMessage {
  uint32_t code;
  const char* message;
};

constexpr CodeMessage kMessages[] = {
    {kIoFileNotFound, "File not found"},
    {kIoPathNotFound, "Invalid filename"},
    {kIoTooManyOpenFiles, "Too many open files"},
    {kIoAccessDenied, "File access denied"},
    {kIoReadBeyondEnd, "Read beyond end of file"},
    {kIoDiskFull, "Disk full"},
    {kIoInvalidNumeric, "Invalid numeric input"},
};

}  // namespace

std::string IoErrorMessage(uint32_t code) {
  for (const auto& entry : kMessages) {
    if (entry.code == code) return entry.message;
  }
  return "I/O error " + std::to_string(code);
}
