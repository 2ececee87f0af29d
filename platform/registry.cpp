#include "platform/registry.h"

#include <vector>

#include "platform/exceptions.h"

namespace {

std::string ValueMessage(const char* format_head, const char* name) {
  return std::string(format_head) + name + "'";
}

}  // namespace

bool TRegistry::OpenKeyReadOnly(const char* path) {
  for (const uint32_t access : {kKeyRead, kKeyReadWithoutNotify, kKeyQueryValue}) {
    if (key_.Open(root_, path, access)) return true;
  }
  return false;
}

std::string TRegistry::ReadString(const char* name) {
  uint32_t type = kRegNone;
  uint32_t size = 0;
  if (!key_.is_open() ||
      api_.QueryValue(key_.get(), name, &type, nullptr, &size) != kErrorSuccess || size == 0) {
    return std::string();
  }
  std::vector<uint8_t> data(size);
  uint32_t delivered = size;
  if (api_.QueryValue(key_.get(), name, &type, data.data(), &delivered) != kErrorSuccess) {
    throw ERegistryException(ValueMessage("Failed to get data for '", name));
  }
  // The type is tested after the read, as the value's data are already in hand.
  if (type != kRegSz && type != kRegExpandSz) {
    throw ERegistryException(ValueMessage("Invalid data type for '", name));
  }
  if (delivered > size) delivered = size;
  const char* text = reinterpret_cast<const char*>(data.data());
  size_t length = 0;
  while (length < delivered && text[length] != '\0') ++length;
  return std::string(text, length);
}
