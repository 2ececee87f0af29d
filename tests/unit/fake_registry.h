// A scripted registry: holds values (type and raw bytes), answers or refuses each call as a
// case tells it to, and records every open, query and close in order.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/registry_api.h"

class FakeRegistry : public RegistryApi {
 public:
  static constexpr long kErrorFileNotFound = 2;
  static constexpr long kErrorAccessDenied = 5;
  static constexpr long kErrorInvalidHandle = 6;
  static constexpr long kErrorMoreData = 234;

  struct Value {
    uint32_t type;
    std::string data;  // raw bytes, zero bytes included
  };
  struct OpenCall {
    RegistryKey root;
    std::string subkey;
    uint32_t access;
  };
  struct QueryCall {
    RegistryKey key;
    std::string name;
    bool with_buffer;
    uint32_t room;  // *size on the way in; 0 for a query without a buffer
  };

  // The script.
  std::map<std::string, Value> values;
  std::set<uint32_t> refused_access;          // OpenKey refuses these access masks
  long size_query_status = kErrorSuccess;     // a forced answer to the query without buffer
  long read_status = kErrorSuccess;           // a forced answer to the read into a buffer
  std::optional<uint32_t> delivered;          // the count the read reports, whatever it copied

  // The record.
  std::vector<OpenCall> opens;
  std::vector<QueryCall> queries;
  std::vector<RegistryKey> closes;
  std::vector<RegistryKey> granted;
  bool used_a_closed_key = false;

  long OpenKey(RegistryKey root, const char* subkey, uint32_t access,
               RegistryKey* key) override {
    opens.push_back({root, subkey, access});
    if (refused_access.count(access) != 0) return kErrorAccessDenied;
    *key = 0x4000 + opens.size();
    granted.push_back(*key);
    return kErrorSuccess;
  }

  long QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    queries.push_back({key, name, data != nullptr, data != nullptr ? *size : 0});
    if (!IsOpen(key)) {
      used_a_closed_key = true;
      return kErrorInvalidHandle;
    }
    if (data == nullptr && size_query_status != kErrorSuccess) return size_query_status;
    if (data != nullptr && read_status != kErrorSuccess) return read_status;
    const auto found = values.find(name);
    if (found == values.end()) return kErrorFileNotFound;
    const Value& value = found->second;
    *type = value.type;
    const auto stored = static_cast<uint32_t>(value.data.size());
    if (data == nullptr) {
      *size = stored;
      return kErrorSuccess;
    }
    if (stored > *size) {  // as RegQueryValueExA does: nothing copied, the size needed
      *size = stored;
      return kErrorMoreData;
    }
    std::memcpy(data, value.data.data(), stored);
    *size = delivered.value_or(stored);
    return kErrorSuccess;
  }

  void CloseKey(RegistryKey key) override {
    if (!IsOpen(key)) used_a_closed_key = true;
    closes.push_back(key);
  }

  std::vector<uint32_t> AccessAsked() const {
    std::vector<uint32_t> masks;
    for (const auto& call : opens) masks.push_back(call.access);
    return masks;
  }

  // Every key granted was closed exactly once, and nothing else was closed.
  bool EveryKeyClosedOnce() const {
    std::vector<RegistryKey> closed = closes;
    std::vector<RegistryKey> opened = granted;
    std::sort(closed.begin(), closed.end());
    std::sort(opened.begin(), opened.end());
    return closed == opened && !used_a_closed_key;
  }

  bool Untouched() const { return opens.empty() && queries.empty() && closes.empty(); }

 private:
  bool IsOpen(RegistryKey key) const {
    return std::count(granted.begin(), granted.end(), key) >
           std::count(closes.begin(), closes.end(), key);
  }
};
