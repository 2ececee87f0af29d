// A read-only view of one registry key, in the way the BIOS date reader needs it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry_api.h"

class TRegistry {
 public:
  explicit TRegistry(RegistryApi& api) : api_(api), key_(api) {}

  void SetRootKey(RegistryKey root) { root_ = root; }

  // Opens `path` for reading: KEY_READ, then KEY_READ without KEY_NOTIFY, then
  // KEY_QUERY_VALUE alone; the first grant opens the key. False after three refusals.
  bool OpenKeyReadOnly(const char* path);

  // The text of a REG_SZ or REG_EXPAND_SZ value up to its first zero byte (unexpanded).
  // Empty when the value does not exist or has no data. Raises ERegistryException when
  // the data cannot be read, or when a value with data has another type.
  std::string ReadString(const char* name);

  void CloseKey() { key_.Reset(); }

 private:
  RegistryApi& api_;
  RegistryKey root_ = kHkeyLocalMachine;
  RegistryKeyOwner key_;
};
