#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/identification_run.h"
#include "fake_file_api.h"
#include "platform/exceptions.h"

namespace {

// What the readers give in a case, and the order in which the run asks them.
struct Script {
  Text serial, date, version;
  bool date_raises = false;
  std::vector<std::string>* log = nullptr;
  FakeFileApi* files = nullptr;
};
Script script;

void Note(const std::string& what) {
  script.log->push_back(what);
  // Which files exist on disk at that moment, and with what, is part of the order.
  for (const auto& [path, bytes] : script.files->disk) {
    script.log->push_back("  " + path + " holds " + std::to_string(bytes.size()));
  }
}

Text Serial() {
  Note("serial");
  return script.serial;
}
Text Date() {
  Note("date");
  if (script.date_raises) throw ERegistryException("Invalid data type for 'SystemBiosDate'");
  return script.date;
}
Text Version() {
  Note("version");
  return script.version;
}

const IdentityReaders kReaders = {Serial, Date, Version};

class IdentificationRun : public ::testing::Test {
 protected:
  void SetUp() override {
    log.clear();
    files = FakeFileApi();
    script = Script();
    script.log = &log;
    script.files = &files;
    BiosVersionText.clear();
  }
  std::vector<std::string> log;
  FakeFileApi files;
};

TEST_F(IdentificationRun, WritesBothLinesTrimmed) {
  struct Case {
    Text serial, date, version;
    std::string t2, t3;
  } cases[] = {
      {"    WD-WCAV12345678 ", " 01/02/03\t", "  BIOS 1.0 | X ", "WD-WCAV12345678=01/02/03\r\n",
       "BIOS 1.0 | X\r\n"},
      {std::string(20, '\0'), "12/31/99", "", "=12/31/99\r\n", "\r\n"},
      {"SERIAL", "", "v", "SERIAL=\r\n", "v\r\n"},
      {"", "", "", "=\r\n", "\r\n"},
      {" A B ", std::string("\0/\0\0/\0\0", 8) , std::string("a\0b ", 4),
       "A B=" + std::string("/\0\0/", 4) + "\r\n", std::string("a\0b", 3) + "\r\n"},
      {"S=N", "d=e", "a=b", "S=N=d=e\r\n", "a=b\r\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    script.serial = c.serial;
    script.date = c.date;
    script.version = c.version;
    RunIdentification(files, kReaders);
    EXPECT_EQ(files.disk[kSerialAndDatePath], c.t2);
    EXPECT_EQ(files.disk[kBiosVersionPath], c.t3);
    EXPECT_EQ(BiosVersionText, c.version) << "kept untrimmed";
    EXPECT_TRUE(files.open_files.empty());
  }
}

TEST_F(IdentificationRun, CreatesTheFirstFileBeforeAnyReaderAndTheSecondAfterClosingIt) {
  script.serial = "S";
  script.date = "D";
  script.version = "V";
  RunIdentification(files, kReaders);
  const std::vector<std::string> expected = {
      "serial", "  case\\gen\\t2.tmp holds 0",
      "date",   "  case\\gen\\t2.tmp holds 0",
      "version", "  case\\gen\\t2.tmp holds 5",  // closed, and no version file yet
  };
  EXPECT_EQ(log, expected);
}

TEST_F(IdentificationRun, AReaderThatRaisesLeavesTheFirstFileEmptyAndOpen) {
  script.date_raises = true;
  files.disk[kBiosVersionPath] = "earlier\r\n";
  EXPECT_THROW(RunIdentification(files, kReaders), ERegistryException);
  EXPECT_EQ(files.disk[kSerialAndDatePath], "");
  EXPECT_EQ(files.open_files.size(), 1u);
  EXPECT_EQ(files.disk[kBiosVersionPath], "earlier\r\n");
  EXPECT_EQ(log.back().rfind("  ", 0), 0u);
  EXPECT_EQ(std::count(log.begin(), log.end(), "version"), 0);
}

struct FileFailure {
  const char* name;
  const char* failing_path;  // create fails here
  uint32_t create_error;
  int fail_write;
  const char* message;
  std::vector<std::string> asked;  // readers asked before the failure
};

TEST_F(IdentificationRun, StopsAtTheFirstFailureWithItsMessage) {
  const FileFailure cases[] = {
      {"no folder", kSerialAndDatePath, 3, 0, "Invalid filename", {}},
      {"read-only", kSerialAndDatePath, 5, 0, "File access denied", {}},
      {"held by another", kSerialAndDatePath, 32, 0, "I/O error 32", {}},
      {"disk full on the first file", nullptr, 0, 1, "I/O error 112", {"serial", "date"}},
      {"second file refused", kBiosVersionPath, 5, 0, "File access denied",
       {"serial", "date", "version"}},
      {"disk full on the second file", nullptr, 0, 2, "I/O error 112",
       {"serial", "date", "version"}},
  };
  for (const auto& c : cases) {
    SetUp();
    if (c.failing_path != nullptr) files.create_error[c.failing_path] = c.create_error;
    files.fail_write_number = c.fail_write;
    try {
      RunIdentification(files, kReaders);
      ADD_FAILURE() << c.name;
    } catch (const EInOutError& error) {
      EXPECT_STREQ(error.what(), c.message) << c.name;
    }
    std::vector<std::string> asked;
    for (const auto& entry : log) {
      if (entry.rfind("  ", 0) != 0) asked.push_back(entry);
    }
    EXPECT_EQ(asked, c.asked) << c.name;
  }
}

}  // namespace
