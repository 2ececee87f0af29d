// The BIOS readers as the program calls them, on the real registry API: each case stores
// "SystemBiosDate" or "SystemBiosVersion" itself and reads it back through the reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "identity/bios_readers.h"
#include "identity/platform_family.h"
#include "platform/exceptions.h"
#include "system_value.h"

namespace {

using namespace std::string_literals;

// Runs a case on the NT-family paths whatever Windows version Wine reports, and leaves both
// values as they were.
class SystemRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(date_.ready() && version_.ready()) << "the System key cannot be written";
    saved_family_ = PlatformFamily;
    PlatformFamily = VER_PLATFORM_WIN32_NT;
  }
  void TearDown() override { PlatformFamily = saved_family_; }

  ScopedSystemValue date_{"SystemBiosDate"};
  ScopedSystemValue version_{"SystemBiosVersion"};

 private:
  uint32_t saved_family_ = 0;
};

struct StoredCase {
  const char* name;
  DWORD type;
  std::string data;
  std::string expected;
};

const std::string k300(300, '7');

const StoredCase kDateCases[] = {
    {"REG_SZ with its terminating zero", REG_SZ, "12/31/99\0"s, "12/31/99"},
    {"REG_SZ without its terminating zero", REG_SZ, "12/31/99"s, "12/31/99"},
    {"REG_SZ with a zero inside", REG_SZ, "12/31\0/99\0"s, "12/31"},
    {"REG_EXPAND_SZ is not expanded", REG_EXPAND_SZ, "%SystemRoot%\\bios\0"s,
     "%SystemRoot%\\bios"},
    {"more than 255 characters", REG_SZ, k300 + '\0', k300},
    {"REG_SZ with no data", REG_SZ, "", ""},
    {"REG_DWORD with no data", REG_DWORD, "", ""},
    {"REG_BINARY with no data", REG_BINARY, "", ""},
};

TEST_F(SystemRegistry, BiosDateIsTheStoredText) {
  for (const auto& c : kDateCases) {
    ASSERT_TRUE(date_.Store(c.type, c.data)) << c.name;
    Text date = "unset";
    EXPECT_NO_THROW(date = ReadBiosDate()) << c.name;
    EXPECT_EQ(date, c.expected) << c.name;
  }
}

TEST_F(SystemRegistry, BiosDateOfAnotherTypeWithDataRaises) {
  const StoredCase cases[] = {
      {"REG_DWORD", REG_DWORD, "\x01\x02\x03\x04"s, ""},
      {"REG_BINARY", REG_BINARY, "12/31/99\0"s, ""},
      {"REG_MULTI_SZ", REG_MULTI_SZ, "12/31/99\0\0"s, ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(date_.Store(c.type, c.data)) << c.name;
    try {
      ReadBiosDate();
      ADD_FAILURE() << c.name << ": nothing raised";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), "Invalid data type for 'SystemBiosDate'") << c.name;
    }
  }
}

TEST_F(SystemRegistry, MissingBiosDateIsEmpty) {
  ASSERT_TRUE(date_.Remove());
  EXPECT_EQ(ReadBiosDate(), "");
}

const std::string k200a(200, 'a');
const std::string k200b(200, 'b');

const StoredCase kVersionCases[] = {
    {"REG_MULTI_SZ", REG_MULTI_SZ, "A\0B\0C\0\0"s, "A | B | C"},
    {"REG_SZ with its terminating zero", REG_SZ, "BIOS 1.0\0"s, "BIOS 1.0"},
    {"REG_SZ without its terminating zero", REG_SZ, "BIOS 1.0"s, "BIOS 1.0"},
    {"REG_SZ with a zero inside", REG_SZ, "A\0B\0"s, "A | B"},
    {"REG_EXPAND_SZ is not expanded", REG_EXPAND_SZ, "%SystemRoot%\0"s, "%SystemRoot%"},
    {"REG_DWORD is split", REG_DWORD, "A\0B\0"s, "A | B"},
    {"REG_BINARY is split", REG_BINARY, "AB\0C"s, "AB | C"},
    {"an empty string first", REG_MULTI_SZ, "\0A\0\0"s, ""},
    {"no data", REG_MULTI_SZ, "", ""},
    {"more than 255 characters", REG_MULTI_SZ, k200a + '\0' + k200b + "\0\0"s,
     k200a + " | " + k200b.substr(0, 52)},
};

TEST_F(SystemRegistry, BiosVersionIsTheSplitAndJoinedValue) {
  for (const auto& c : kVersionCases) {
    ASSERT_TRUE(version_.Store(c.type, c.data)) << c.name;
    EXPECT_EQ(ReadBiosVersion(), c.expected) << c.name;
  }
}

TEST_F(SystemRegistry, MissingBiosVersionIsEmpty) {
  ASSERT_TRUE(version_.Remove());
  EXPECT_EQ(ReadBiosVersion(), "");
}

}  // namespace
