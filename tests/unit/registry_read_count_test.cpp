// Both registry readers take the byte count that the read reports, not the size that the
// query gave: a value can shrink or grow between the two calls.
#include <gtest/gtest.h>

#include <string>

#include "fake_memory_reader.h"
#include "fake_registry.h"
#include "identity/bios_readers.h"

namespace {

using namespace std::string_literals;

Text ReadDate(FakeRegistry& reg) {
  FakeMemoryReader memory;
  return ReadBiosDate(reg, memory, 2);
}

Text ReadVersion(FakeRegistry& reg) { return ReadBiosVersion(reg, 2); }

struct CountCase {
  const char* name;
  const char* value_name;
  Text (*read)(FakeRegistry&);
  uint32_t type;
  std::string data;
  uint32_t delivered;
  std::string expected;
};

// A count past the buffer with no zero to stop at: the text ends at the buffer's end. The
// reader's buffer has exactly the queried size, so ASan stops any look past it.
const CountCase kCountCases[] = {
    {"date, fewer than the size", "SystemBiosDate", ReadDate, kRegSz, "12/31/99\0"s, 5,
     "12/31"},
    {"date, more than the size", "SystemBiosDate", ReadDate, kRegSz, "12/31/99"s, 64,
     "12/31/99"},
    {"version, fewer than the size", "SystemBiosVersion", ReadVersion, kRegBinary,
     "AB\0CD\0\0"s, 4, "AB | C"},
    {"version, more than the size", "SystemBiosVersion", ReadVersion, kRegBinary, "ABC"s, 64,
     "ABC"},
};

TEST(RegistryReaders, TakeOnlyTheBytesTheReadDelivered) {
  for (const auto& c : kCountCases) {
    FakeRegistry reg;
    reg.values[c.value_name] = {c.type, c.data};
    reg.delivered = c.delivered;
    EXPECT_EQ(c.read(reg), c.expected) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

}  // namespace
