// The BIOS date: on the NT family the registry value "SystemBiosDate" of any type and any
// bytes, with any of the registry calls refused; on the 9x family any 8 ROM bytes.
//
// Input:
//   byte 0     flags: 0x01 9x family, 0x02/0x04/0x08 refuse KEY_READ / KEY_READ without
//              KEY_NOTIFY / KEY_QUERY_VALUE, 0x10 the size query fails, 0x20 the read
//              fails, 0x40 the read reports the count below, 0x80 the ROM read fails
//   bytes 1-4  the value's registry type
//   bytes 5-8  the count the read reports (flag 0x40)
//   the rest   the value's data, or on the 9x family the ROM bytes
#include <string>

#include "fuzz_support.h"
#include "identity/bios_readers.h"
#include "platform/exceptions.h"
#include "tests/unit/fake_memory_reader.h"
#include "tests/unit/fake_registry.h"

namespace {

enum Flag : uint8_t {
  k9xFamily = 0x01,
  kRefuseKeyRead = 0x02,
  kRefuseKeyReadWithoutNotify = 0x04,
  kRefuseQueryValue = 0x08,
  kSizeQueryFails = 0x10,
  kReadFails = 0x20,
  kReportsOwnCount = 0x40,
  kRomReadFails = 0x80,
};

constexpr uint8_t kRefuseAll = kRefuseKeyRead | kRefuseKeyReadWithoutNotify | kRefuseQueryValue;

const std::string kFailedToGetData = "Failed to get data for 'SystemBiosDate'";
const std::string kInvalidDataType = "Invalid data type for 'SystemBiosDate'";

// What the date reader gives for these data: text, or the message it raises.
struct Outcome {
  std::string text;
  std::string raised;
};

Outcome Expected(uint8_t flags, uint32_t type, uint32_t reported, const std::string& data) {
  if ((flags & kRefuseAll) == kRefuseAll || (flags & kSizeQueryFails) || data.empty()) return {};
  if (flags & kReadFails) return {"", kFailedToGetData};
  if (type != kRegSz && type != kRegExpandSz) return {"", kInvalidDataType};
  const size_t delivered = (flags & kReportsOwnCount) && reported < data.size() ? reported
                                                                                : data.size();
  const std::string read = data.substr(0, delivered);
  return {read.substr(0, read.find('\0')), ""};
}

void FuzzNt(uint8_t flags, uint32_t type, uint32_t reported, const std::string& data) {
  FakeRegistry registry;
  registry.values[kSystemBiosDate] = {type, data};
  if (flags & kRefuseKeyRead) registry.refused_access.insert(kKeyRead);
  if (flags & kRefuseKeyReadWithoutNotify) registry.refused_access.insert(kKeyReadWithoutNotify);
  if (flags & kRefuseQueryValue) registry.refused_access.insert(kKeyQueryValue);
  if (flags & kSizeQueryFails) registry.size_query_status = FakeRegistry::kErrorFileNotFound;
  if (flags & kReadFails) registry.read_status = FakeRegistry::kErrorMoreData;
  if (flags & kReportsOwnCount) registry.delivered = reported;
  FakeMemoryReader memory;

  Outcome got;
  try {
    got.text = ReadBiosDate(registry, memory, 2);
  } catch (const ERegistryException& error) {  // the only error the reader may raise
    got.raised = error.what();
  }
  const Outcome expected = Expected(flags, type, reported, data);
  FUZZ_REQUIRE(got.raised == expected.raised);
  FUZZ_REQUIRE(got.text == expected.text);
  FUZZ_REQUIRE(got.text.find('\0') == std::string::npos);
  FUZZ_REQUIRE(registry.EveryKeyClosedOnce());
  FUZZ_REQUIRE(memory.reads.empty());
}

void Fuzz9x(uint8_t flags, std::string rom) {
  FakeRegistry registry;
  FakeMemoryReader memory;
  rom.resize(kRomDateLength);
  memory.bytes = rom;
  if (flags & kRomReadFails) memory.outcome = FakeMemoryReader::Outcome::kFails;

  const Text date = ReadBiosDate(registry, memory, 1);
  if (flags & kRomReadFails) {
    FUZZ_REQUIRE(date == kRomDatePlaceholder);
  } else {
    const std::string expected = {rom[0], rom[1], '/', rom[3], rom[4], '/', rom[6], rom[7]};
    FUZZ_REQUIRE(date == expected);
  }
  FUZZ_REQUIRE(registry.Untouched());
  FUZZ_REQUIRE(ReadBiosVersion(registry, 1).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t flags = in.Byte();
  const uint32_t type = in.UInt32();
  const uint32_t reported = in.UInt32();
  const std::string rest = in.Rest();
  if (flags & k9xFamily) {
    Fuzz9x(flags, rest);
  } else {
    FuzzNt(flags, type, reported, rest);
  }
  return 0;
}
