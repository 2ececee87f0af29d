// One value of HKLM\HARDWARE\DESCRIPTION\System, set by a test through the real registry
// API and put back as it was (or deleted, when there was none) once the test is over.
// That key is volatile and shared by the whole Wine session, so nothing may stay behind.
#pragma once

#include <windows.h>

#include <string>

class ScopedSystemValue {
 public:
  explicit ScopedSystemValue(const char* name) : name_(name) {
    status_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System", 0, nullptr,
                              0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    if (status_ == ERROR_SUCCESS) had_value_ = Load(&saved_type_, &saved_data_);
  }

  ~ScopedSystemValue() {
    if (status_ != ERROR_SUCCESS) return;
    if (had_value_) {
      Store(saved_type_, saved_data_);
    } else {
      Remove();
    }
    RegCloseKey(key_);
  }

  ScopedSystemValue(const ScopedSystemValue&) = delete;
  ScopedSystemValue& operator=(const ScopedSystemValue&) = delete;

  // The key could be opened for writing: every other call depends on it.
  bool ready() const { return status_ == ERROR_SUCCESS; }

  // Stores exactly these bytes with this type; true on success.
  bool Store(DWORD type, const std::string& data) {
    return RegSetValueExA(key_, name_.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

  // The value gone; true when it is gone, whether or not it was there.
  bool Remove() {
    const LONG status = RegDeleteValueA(key_, name_.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }

 private:
  bool Load(DWORD* type, std::string* data) {
    DWORD size = 0;
    if (RegQueryValueExA(key_, name_.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) {
      return false;
    }
    data->assign(size, '\0');
    const LONG status = RegQueryValueExA(key_, name_.c_str(), nullptr, type,
                                         reinterpret_cast<BYTE*>(&(*data)[0]), &size);
    data->resize(size);
    return status == ERROR_SUCCESS;
  }

  std::string name_;
  HKEY key_ = nullptr;
  LONG status_ = ERROR_INVALID_HANDLE;
  bool had_value_ = false;
  DWORD saved_type_ = REG_NONE;
  std::string saved_data_;
};
