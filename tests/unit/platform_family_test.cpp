#include <gtest/gtest.h>

#include "identity/platform_family.h"

namespace {

// Saves PlatformFamily and puts it back, so no other test sees what a case set.
class PlatformFamilyTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = PlatformFamily; }
  void TearDown() override { PlatformFamily = saved_; }

 private:
  uint32_t saved_ = 0;
};

TEST_F(PlatformFamilyTest, IsThePlatformIdTheVersionQueryReportsOrZero) {
  struct Case {
    const char* name;
    VersionQuery query;
    uint32_t expected;
  } cases[] = {
      {"9x family", [](uint32_t* id) { *id = 1; return true; }, 1},
      {"NT family", [](uint32_t* id) { *id = 2; return true; }, 2},
      // A failed query that wrote an id anyway still counts as failed.
      {"query fails", [](uint32_t* id) { *id = 2; return false; }, 0},
      {"query fails without writing", [](uint32_t*) { return false; }, 0},
  };
  for (const auto& c : cases) {
    PlatformFamily = 7;  // whatever it held before is replaced
    InitPlatformFamily(c.query);
    EXPECT_EQ(PlatformFamily, c.expected) << c.name;
  }
}

}  // namespace
