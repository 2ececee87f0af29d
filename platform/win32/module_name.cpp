#include "platform/win32/module_name.h"

#include <windows.h>

#include <vector>

std::string ModuleFileName() {
  // GetModuleFileNameA truncates silently when the room is too small: grow until it fits.
  std::vector<char> name(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::string();
    if (length < name.size()) return std::string(name.data(), length);
    if (name.size() >= 32768) return std::string(name.data(), length);
    name.resize(name.size() * 2);
  }
}
