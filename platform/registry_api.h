// The registry operations the readers need (RegOpenKeyExA, RegQueryValueExA, RegCloseKey,
// ANSI variants, read only), behind an interface so tests can answer or fail each call.
#pragma once

#include <cstdint>

using RegistryKey = uintptr_t;

constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE

constexpr uint32_t kKeyQueryValue = 0x0001;        // KEY_QUERY_VALUE
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;  // KEY_ENUMERATE_SUB_KEYS
constexpr uint32_t kKeyNotify = 0x0010;            // KEY_NOTIFY
constexpr uint32_t kStandardRightsRead = 0x00020000;
constexpr uint32_t kKeyRead = kStandardRightsRead | kKeyQueryValue | kKeyEnumerateSubKeys |
                              kKeyNotify;  // KEY_READ
constexpr uint32_t kKeyReadWithoutNotify = kKeyRead & ~kKeyNotify;
static_assert(kKeyRead == 0x20019, "KEY_READ");
static_assert(kKeyReadWithoutNotify == 0x20009, "KEY_READ without KEY_NOTIFY");

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

constexpr long kErrorSuccess = 0;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // RegOpenKeyExA(root, subkey, 0, access, &key).
  virtual long OpenKey(RegistryKey root, const char* subkey, uint32_t access,
                       RegistryKey* key) = 0;

  // RegQueryValueExA(key, name, NULL, &type, data, &size). With data null it asks for the
  // type and size only; with a buffer, *size is its room on the way in and the number of
  // bytes delivered on the way out.
  virtual long QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                          uint32_t* size) = 0;

  virtual void CloseKey(RegistryKey key) = 0;
};

// Owns one open key and closes it exactly once.
class RegistryKeyOwner {
 public:
  explicit RegistryKeyOwner(RegistryApi& api) : api_(api) {}
  ~RegistryKeyOwner() { Reset(); }
  RegistryKeyOwner(const RegistryKeyOwner&) = delete;
  RegistryKeyOwner& operator=(const RegistryKeyOwner&) = delete;

  // Opens root\subkey with the given access; true when granted.
  bool Open(RegistryKey root, const char* subkey, uint32_t access) {
    Reset();
    RegistryKey key = 0;
    if (api_.OpenKey(root, subkey, access, &key) != kErrorSuccess) return false;
    key_ = key;
    open_ = true;
    return true;
  }

  bool is_open() const { return open_; }
  RegistryKey get() const { return key_; }

  void Reset() {
    if (open_) api_.CloseKey(key_);
    open_ = false;
    key_ = 0;
  }

 private:
  RegistryApi& api_;
  RegistryKey key_ = 0;
  bool open_ = false;
};
