#include <gtest/gtest.h>

#include <string>

#include "platform/app_title.h"
#include "platform/exception_display.h"

namespace {

TEST(DisplayText, AppendsAFullStopOnlyAfterCodesAboveTheFullStop) {
  struct Case {
    std::string message, shown;
  } cases[] = {
      {"Invalid filename", "Invalid filename."},
      {"I/O error 32", "I/O error 32."},
      {"path a/", "path a/."},
      {"Invalid data type for 'SystemBiosDate'", "Invalid data type for 'SystemBiosDate'"},
      {"Done.", "Done."},
      {"(note)", "(note)"},
      {"trailing blank ", "trailing blank "},
      {"dash-", "dash-"},
      {"", ""},
      {"\xE9t\xE9", "\xE9t\xE9."},  // an ANSI letter above 127
  };
  for (const auto& c : cases) EXPECT_EQ(DisplayText(c.message), c.shown) << c.message;
}

TEST(LastResortText, NamesClassModuleAndAddressThenTheMessage) {
  EXPECT_EQ(LastResortText("EInOutError", "start.exe", 0x401A2Bu, "Disk full"),
            "Exception EInOutError in module start.exe at 00401A2B.\r\nDisk full.");
  EXPECT_EQ(LastResortText("Exception", "start.exe", 0, "Done."),
            "Exception Exception in module start.exe at 00000000.\r\nDone.");
  EXPECT_EQ(LastResortText("Exception", "start.exe", 0, ""),
            "Exception Exception in module start.exe at 00000000.\r\n");
}

TEST(TitleFromModuleName, KeepsTheFirstCharacterAndLowersTheRestBeforeTheFirstDot) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\Program Files\\App\\START.EXE", "Start"},
      {"C:\\x\\SETUP.V2.EXE", "Setup"},
      {"C:\\x\\start.exe", "start"},
      {"C:\\dir.with.dots\\LAUNCH", "Launch"},
      {"C:\\x\\.EXE", ""},
      {"START.EXE", "Start"},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleFromModuleName(c.path), c.title) << c.path;
}

}  // namespace
