#include <gtest/gtest.h>

#include <string>

#include "fake_file_api.h"
#include "platform/exceptions.h"
#include "platform/io_error.h"
#include "platform/text_file.h"

namespace {

constexpr char kPath[] = "case\\gen\\t2.tmp";

TEST(TextFile, AShortLineReachesTheDiskOnlyAtClose) {
  FakeFileApi files;
  TextFile file(files, kPath);
  file.Rewrite();
  file.Write("ABC=01/02/03");
  file.WriteLine();
  EXPECT_EQ(files.disk[kPath], "");
  file.Close();
  EXPECT_EQ(files.disk[kPath], "ABC=01/02/03\r\n");
  EXPECT_EQ(file.TakeError(), 0u);
  EXPECT_TRUE(files.open_files.empty());
}

TEST(TextFile, FlushesEachTimeTheBufferFills) {
  struct Case {
    size_t length;
    std::vector<std::string> writes;  // write calls made before the close
  } cases[] = {
      {125, {}},                         // 127 bytes with the line end: one write at close
      {126, {"write 128"}},              // exactly 128 with the line end
      {127, {"write 128"}},              // the LF goes out at close
      {300, {"write 128", "write 128"}},
  };
  for (const auto& c : cases) {
    FakeFileApi files;
    TextFile file(files, kPath);
    file.Rewrite();
    const std::string text(c.length, 'x');
    file.Write(text);
    file.WriteLine();
    std::vector<std::string> writes(files.calls.begin() + 1, files.calls.end());
    EXPECT_EQ(writes, c.writes) << c.length;
    file.Close();
    EXPECT_EQ(files.disk[kPath], text + "\r\n") << c.length;
  }
}

TEST(TextFile, RewriteReplacesEarlierContentWhole) {
  FakeFileApi files;
  files.disk[kPath] = std::string(500, 'o');
  TextFile file(files, kPath);
  file.Rewrite();
  file.Write("=");
  file.WriteLine();
  file.Close();
  EXPECT_EQ(files.disk[kPath], "=\r\n");
}

struct FailureCase {
  const char* name;
  uint32_t create_error;
  int fail_write;
  int short_write;
  uint32_t close_error;
  size_t line_length;
  uint32_t expected_code;
  bool stays_open;
};

const FailureCase kFailures[] = {
    {"path not found", 3, 0, 0, 0, 10, 3, false},
    {"access denied", 5, 0, 0, 0, 10, 5, false},
    {"sharing violation", 32, 0, 0, 0, 10, 32, false},
    {"disk full while flushing at close", 0, 1, 0, 0, 10, 112, true},
    {"disk full while the buffer fills", 0, 1, 0, 0, 200, 112, true},
    {"short write reported as done", 0, 0, 1, 0, 10, kIoDiskFull, true},
    {"close refused", 0, 0, 0, 6, 10, 6, true},
};

TEST(TextFile, RecordsTheFailingOperationsCode) {
  for (const auto& c : kFailures) {
    FakeFileApi files;
    if (c.create_error != 0) files.create_error[kPath] = c.create_error;
    files.fail_write_number = c.fail_write;
    files.short_write_number = c.short_write;
    files.close_error = c.close_error;

    TextFile file(files, kPath);
    file.Rewrite();
    file.Write(std::string(c.line_length, 'x'));
    file.WriteLine();
    file.Close();
    EXPECT_EQ(file.TakeError(), c.expected_code) << c.name;
    EXPECT_EQ(file.TakeError(), 0u) << c.name << ": taking the code clears it";
    EXPECT_EQ(!files.open_files.empty(), c.stays_open) << c.name;
  }
}

TEST(TextFile, OperationsAfterAFailureDoNothing) {
  FakeFileApi files;
  files.fail_write_number = 1;
  TextFile file(files, kPath);
  file.Rewrite();
  file.Write(std::string(300, 'x'));  // the first flush fails
  file.WriteLine();
  file.Close();
  EXPECT_EQ(files.calls, (std::vector<std::string>{std::string("create ") + kPath, "write 128"}));
}

TEST(IOCheck, RaisesEInOutErrorWithTheCodeAndItsMessage) {
  struct Case {
    uint32_t code;
    const char* message;
  } cases[] = {
      {2, "File not found"},      {3, "Invalid filename"},
      {4, "Too many open files"}, {5, "File access denied"},
      {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"},  {32, "I/O error 32"},
      {112, "I/O error 112"},
  };
  for (const auto& c : cases) {
    FakeFileApi files;
    files.create_error[kPath] = c.code;
    TextFile file(files, kPath);
    file.Rewrite();
    try {
      IOCheck(file);
      ADD_FAILURE() << c.code << ": no exception";
    } catch (const EInOutError& error) {
      EXPECT_EQ(error.ErrorCode(), static_cast<int>(c.code));
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(IOCheck, PassesWhenNothingFailed) {
  FakeFileApi files;
  TextFile file(files, kPath);
  file.Rewrite();
  EXPECT_NO_THROW(IOCheck(file));
}

}  // namespace
