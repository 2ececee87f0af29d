#include "helper_support.h"

#include <stdlib.h>
#include <string.h>

const char* Option(const char* name, const char* fallback) {
  for (int k = 1; k + 1 < __argc; ++k) {
    if (strcmp(__argv[k], name) == 0) return __argv[k + 1];
  }
  return fallback;
}

DWORD OptionMilliseconds(const char* name, DWORD fallback) {
  const char* value = Option(name);
  return value != nullptr ? strtoul(value, nullptr, 10) : fallback;
}

bool FileExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool WriteResultFile(const std::string& path, const std::string& content) {
  const std::string part = path + ".part";
  {
    OwnedHandle file(CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(content.size());
    if (!WriteFile(file.get(), content.data(), size, &written, nullptr) || written != size) {
      return false;
    }
  }
  return MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::string Hex(const char* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * length);
  for (size_t k = 0; k < length; ++k) {
    const unsigned char byte = static_cast<unsigned char>(bytes[k]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
  }
  return out;
}
