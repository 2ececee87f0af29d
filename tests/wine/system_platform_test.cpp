// PlatformFamily as GetVersionExA reports it, and the 9x ROM read on the real memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "identity/bios_readers.h"
#include "identity/platform_family.h"
#include "platform/system_services.h"
#include "system_value.h"

namespace {

using namespace std::string_literals;

class SavedPlatformFamily : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = PlatformFamily; }
  void TearDown() override { PlatformFamily = saved_; }

 private:
  uint32_t saved_ = 0;
};
using WineVersion = SavedPlatformFamily;
using RomDate = SavedPlatformFamily;

// Wine keeps the low megabyte reserved and reads it as zeros, on every Windows version.
const std::string kWineRomDate = "\0\0/\0\0/\0\0"s;

// The Windows version is Wine's setting for the whole run: run-wine-tests.sh sets it and
// says in EXPECTED_PLATFORM_ID which platform GetVersionExA must then report.
TEST_F(WineVersion, GivesThePlatformFamilyThatSelectsTheReadersPaths) {
  const char* expected = std::getenv("EXPECTED_PLATFORM_ID");
  if (expected == nullptr) GTEST_SKIP() << "EXPECTED_PLATFORM_ID is not set";
  ScopedSystemValue date("SystemBiosDate");
  ScopedSystemValue version("SystemBiosVersion");
  ASSERT_TRUE(date.Store(REG_SZ, "01/02/03\0"s) && version.Store(REG_MULTI_SZ, "A\0B\0\0"s));

  InitPlatformFamily(QuerySystemPlatformId);

  ASSERT_EQ(PlatformFamily, std::strtoul(expected, nullptr, 10));
  if (PlatformFamily == VER_PLATFORM_WIN32_NT) {
    EXPECT_EQ(ReadBiosDate(), "01/02/03");
    EXPECT_EQ(ReadBiosVersion(), "A | B");
  } else {
    EXPECT_EQ(ReadBiosDate(), kWineRomDate);
    EXPECT_EQ(ReadBiosVersion(), "");
  }
}

TEST_F(RomDate, IsReadFromTheProcessMemoryWithoutFaulting) {
  PlatformFamily = VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_EQ(ReadBiosDate(), kWineRomDate);
}

TEST(SystemMemory, AnUnreadableAddressIsAFailedReadNotAFault) {
  uint8_t bytes[8] = {};
  EXPECT_FALSE(SystemMemory().Read(0xFFFFFFF0u, bytes, sizeof bytes));
}

}  // namespace
