// Trimming and line building: the identification run with readers that give any bytes,
// and with any one write refused.
//
// Input:
//   byte 0    flags: 0x01 the date reader raises
//   byte 1    the write call to refuse with ERROR_DISK_FULL, counted from 1; 0 for none
//   byte 2    the serial's length S, byte 3 the date's length D
//   then      S bytes of serial, D bytes of date, and the rest is the version text
#include <string>

#include "app/identification_run.h"
#include "fuzz_support.h"
#include "platform/exceptions.h"
#include "tests/unit/fake_file_api.h"

namespace {

constexpr uint8_t kDateRaises = 0x01;

struct Script {
  Text serial, date, version;
  bool date_raises = false;
};
Script script;

Text Serial() { return script.serial; }
Text Date() {
  if (script.date_raises) throw ERegistryException("Invalid data type for 'SystemBiosDate'");
  return script.date;
}
Text Version() { return script.version; }

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Trim's own properties: what it removes are characters of code 0 to 32 at either end,
// what it keeps starts and ends with neither, and stands in the text unchanged.
void CheckTrim(const Text& text) {
  const Text trimmed = Trim(text);
  if (trimmed.empty()) {
    for (char c : text) FUZZ_REQUIRE(IsTrimmed(c));
    return;
  }
  FUZZ_REQUIRE(!IsTrimmed(trimmed.front()) && !IsTrimmed(trimmed.back()));
  const size_t at = text.find(trimmed);
  FUZZ_REQUIRE(at != Text::npos);
  for (size_t i = 0; i < at; ++i) FUZZ_REQUIRE(IsTrimmed(text[i]));
  for (size_t i = at + trimmed.size(); i < text.size(); ++i) FUZZ_REQUIRE(IsTrimmed(text[i]));
}

bool IsBlockPrefix(const std::string& written, const std::string& line) {
  return written.size() % 128 == 0 && line.compare(0, written.size(), written) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t flags = in.Byte();
  const uint8_t refused_write = in.Byte();
  const uint8_t serial_length = in.Byte();
  const uint8_t date_length = in.Byte();
  script.serial = in.Bytes(serial_length);
  script.date = in.Bytes(date_length);
  script.version = in.Rest();
  script.date_raises = (flags & kDateRaises) != 0;
  CheckTrim(script.serial);
  CheckTrim(script.date);
  CheckTrim(script.version);

  const std::string t2 = Trim(script.serial) + "=" + Trim(script.date) + "\r\n";
  const std::string t3 = Trim(script.version) + "\r\n";

  FakeFileApi files;
  files.fail_write_number = refused_write;
  BiosVersionText.clear();
  std::string raised;
  try {
    RunIdentification(files, {Serial, Date, Version});
  } catch (const Exception& error) {
    raised = error.what();
  }

  const bool has_t2 = files.disk.count(kSerialAndDatePath) != 0;
  const bool has_t3 = files.disk.count(kBiosVersionPath) != 0;
  FUZZ_REQUIRE(has_t2);
  if (raised.empty()) {
    FUZZ_REQUIRE(files.disk[kSerialAndDatePath] == t2);
    FUZZ_REQUIRE(files.disk[kBiosVersionPath] == t3);
    FUZZ_REQUIRE(BiosVersionText == script.version);
    FUZZ_REQUIRE(files.open_files.empty());
    return 0;
  }
  // An interrupted run keeps exactly the file it was writing open, holding whole buffers.
  FUZZ_REQUIRE(files.open_files.size() == 1);
  const std::string& open_path = files.open_files.begin()->second;
  if (script.date_raises) {
    FUZZ_REQUIRE(raised == "Invalid data type for 'SystemBiosDate'");
    FUZZ_REQUIRE(open_path == kSerialAndDatePath && files.disk[kSerialAndDatePath].empty());
    FUZZ_REQUIRE(!has_t3);
    return 0;
  }
  FUZZ_REQUIRE(raised == "I/O error 112");
  if (open_path == kSerialAndDatePath) {
    FUZZ_REQUIRE(IsBlockPrefix(files.disk[kSerialAndDatePath], t2));
    FUZZ_REQUIRE(!has_t3);
  } else {
    FUZZ_REQUIRE(open_path == kBiosVersionPath);
    FUZZ_REQUIRE(files.disk[kSerialAndDatePath] == t2);
    FUZZ_REQUIRE(IsBlockPrefix(files.disk[kBiosVersionPath], t3));
  }
  return 0;
}
