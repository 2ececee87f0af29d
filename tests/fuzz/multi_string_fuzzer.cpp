// The BIOS version strings: any bytes as multi-string data, split, joined, and read
// through the registry value "SystemBiosVersion" whatever its type.
//
// Input: the value's data, all of it.
#include <cstring>

#include "fuzz_support.h"
#include "identity/bios_readers.h"
#include "tests/unit/fake_registry.h"

namespace {

Text JoinedWhole(const StringList& strings) {
  Text whole;
  for (size_t i = 0; i < strings.size(); ++i) {
    if (i > 0) whole += kVersionSeparator;
    whole += strings[i];
  }
  return whole;
}

// Laid end to end with a zero byte after each, the strings are the data's first bytes, and
// the list stops only at the end of the data or at an empty string.
void CheckSplit(const uint8_t* data, size_t size, const StringList& strings) {
  size_t position = 0;
  for (const Text& string : strings) {
    FUZZ_REQUIRE(!string.empty());
    FUZZ_REQUIRE(string.find('\0') == Text::npos);
    FUZZ_REQUIRE(string.size() <= size - position);
    FUZZ_REQUIRE(std::memcmp(data + position, string.data(), string.size()) == 0);
    position += string.size();
    FUZZ_REQUIRE(position == size || data[position] == 0);
    ++position;
  }
  FUZZ_REQUIRE(position >= size || data[position] == 0);
}

void CheckJoin(const StringList& strings) {
  const Text version = JoinVersionStrings(strings);
  FUZZ_REQUIRE(version.size() <= kVersionTextLimit);
  FUZZ_REQUIRE(version == JoinedWhole(strings).substr(0, kVersionTextLimit));
}

// Any list at all, empty strings and zero bytes included: the input cut at each 0xFF.
StringList AnyList(const uint8_t* data, size_t size) {
  StringList strings(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      strings.emplace_back();
    } else {
      strings.back().push_back(static_cast<char>(data[i]));
    }
  }
  return strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const StringList strings = SplitMultiString(data, size);
  CheckSplit(data, size, strings);
  CheckJoin(strings);
  CheckJoin(AnyList(data, size));

  // The registry's type is never looked at: any type gives the same text.
  for (const uint32_t type : {kRegMultiSz, kRegBinary, kRegSz}) {
    FakeRegistry registry;
    registry.values[kSystemBiosVersion] = {type, std::string(reinterpret_cast<const char*>(data), size)};
    FUZZ_REQUIRE(ReadBiosVersion(registry, 2) == JoinVersionStrings(strings));
    FUZZ_REQUIRE(registry.EveryKeyClosedOnce());
  }
  return 0;
}
