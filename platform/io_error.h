// The error codes a text-file operation records, and the messages the I/O check raises.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kIoFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
constexpr uint32_t kIoPathNotFound = 3;       // ERROR_PATH_NOT_FOUND
constexpr uint32_t kIoTooManyOpenFiles = 4;   // ERROR_TOO_MANY_OPEN_FILES
constexpr uint32_t kIoAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr uint32_t kIoReadBeyondEnd = 100;    // the text file's own codes
constexpr uint32_t kIoDiskFull = 101;
constexpr uint32_t kIoInvalidNumeric = 106;

// "File not found", "Invalid filename", ... or "I/O error %d" for any other code.
std::string IoErrorMessage(uint32_t code);
