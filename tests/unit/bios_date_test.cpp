#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fake_memory_reader.h"
#include "fake_registry.h"
#include "identity/bios_readers.h"
#include "platform/exceptions.h"

namespace {

using namespace std::string_literals;

constexpr uint32_t kNt = 2;

// ---- NT family: the registry value -------------------------------------------------------

struct AccessCase {
  const char* name;
  std::set<uint32_t> refused;
  std::vector<uint32_t> asked;  // in order
  bool opened;
};

const AccessCase kAccessCases[] = {
    {"KEY_READ granted", {}, {0x20019}, true},
    {"KEY_READ refused", {0x20019}, {0x20019, 0x20009}, true},
    {"both read masks refused", {0x20019, 0x20009}, {0x20019, 0x20009, 0x0001}, true},
    {"all three refused", {0x20019, 0x20009, 0x0001}, {0x20019, 0x20009, 0x0001}, false},
};

TEST(BiosDateNt, OpensTheKeyWithThreeAccessMasksInOrderFirstGrantWins) {
  for (const auto& c : kAccessCases) {
    FakeRegistry reg;
    reg.refused_access = c.refused;
    reg.values["SystemBiosDate"] = {kRegSz, "12/31/99\0"s};
    FakeMemoryReader memory;

    const Text date = ReadBiosDate(reg, memory, kNt);

    EXPECT_EQ(reg.AccessAsked(), c.asked) << c.name;
    for (const auto& open : reg.opens) {
      EXPECT_EQ(open.root, 0x80000002u) << c.name;
      EXPECT_EQ(open.subkey, "HARDWARE\\DESCRIPTION\\System") << c.name;
    }
    EXPECT_EQ(date, c.opened ? "12/31/99" : "") << c.name;
    if (!c.opened) {
      EXPECT_TRUE(reg.queries.empty()) << c.name;
    }
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
    EXPECT_EQ(reg.closes.size(), c.opened ? 1u : 0u) << c.name;
    EXPECT_TRUE(memory.reads.empty()) << c.name;
  }
}

struct DateCase {
  const char* name;
  uint32_t type;
  std::string data;
  std::string expected;
};

const DateCase kDateCases[] = {
    {"REG_SZ with its terminating zero", kRegSz, "12/31/99\0"s, "12/31/99"},
    {"REG_SZ without a terminator", kRegSz, "12/31/99"s, "12/31/99"},
    {"a zero inside ends the text", kRegSz, "12/31\0/99\0"s, "12/31"},
    {"a zero first gives empty text", kRegSz, "\0" "12/31/99\0"s, ""},
    {"REG_EXPAND_SZ stays unexpanded", kRegExpandSz, "%SystemRoot%\\bios\0"s,
     "%SystemRoot%\\bios"},
    {"any form, blanks included, unchanged", kRegSz, " 2099-1-2 rev.A \0"s,
     " 2099-1-2 rev.A "},
    {"no length limit", kRegSz, std::string(1000, '7') + '\0', std::string(1000, '7')},
};

TEST(BiosDateNt, ReturnsTheStoredTextUpToItsFirstZero) {
  for (const auto& c : kDateCases) {
    FakeRegistry reg;
    reg.values["SystemBiosDate"] = {c.type, c.data};
    FakeMemoryReader memory;

    EXPECT_EQ(ReadBiosDate(reg, memory, kNt), c.expected) << c.name;

    ASSERT_EQ(reg.queries.size(), 2u) << c.name;
    EXPECT_EQ(reg.queries[0].name, "SystemBiosDate") << c.name;
    EXPECT_FALSE(reg.queries[0].with_buffer) << c.name;
    EXPECT_TRUE(reg.queries[1].with_buffer) << c.name;
    EXPECT_EQ(reg.queries[1].room, c.data.size()) << c.name;
    EXPECT_EQ(reg.closes.size(), 1u) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

struct EmptyCase {
  const char* name;
  std::function<void(FakeRegistry&)> script;
};

const EmptyCase kEmptyCases[] = {
    {"missing value", [](FakeRegistry&) {}},
    {"size query refused",
     [](FakeRegistry& r) {
       r.values["SystemBiosDate"] = {kRegSz, "12/31/99\0"s};
       r.size_query_status = FakeRegistry::kErrorAccessDenied;
     }},
    {"REG_SZ with no data", [](FakeRegistry& r) { r.values["SystemBiosDate"] = {kRegSz, ""}; }},
    // A value of another type with no data never reaches the type test.
    {"REG_DWORD with no data",
     [](FakeRegistry& r) { r.values["SystemBiosDate"] = {kRegDword, ""}; }},
    {"REG_BINARY with no data",
     [](FakeRegistry& r) { r.values["SystemBiosDate"] = {kRegBinary, ""}; }},
};

TEST(BiosDateNt, NoValueOrNoDataGivesEmptyTextWithoutReadingOrRaising) {
  for (const auto& c : kEmptyCases) {
    FakeRegistry reg;
    c.script(reg);
    FakeMemoryReader memory;
    Text date = "unset";

    EXPECT_NO_THROW(date = ReadBiosDate(reg, memory, kNt)) << c.name;

    EXPECT_EQ(date, "") << c.name;
    ASSERT_EQ(reg.queries.size(), 1u) << c.name;
    EXPECT_FALSE(reg.queries[0].with_buffer) << c.name;
    EXPECT_EQ(reg.closes.size(), 1u) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

struct RaiseCase {
  const char* name;
  uint32_t type;
  std::string data;
  long read_status;
  const char* message;
};

const RaiseCase kRaiseCases[] = {
    {"REG_SZ whose read fails", kRegSz, "12/31/99\0"s, FakeRegistry::kErrorAccessDenied,
     "Failed to get data for 'SystemBiosDate'"},
    {"REG_DWORD", kRegDword, "\x01\x02\x03\x04"s, kErrorSuccess,
     "Invalid data type for 'SystemBiosDate'"},
    {"REG_BINARY holding a date", kRegBinary, "12/31/99\0"s, kErrorSuccess,
     "Invalid data type for 'SystemBiosDate'"},
    {"REG_MULTI_SZ", kRegMultiSz, "12/31/99\0\0"s, kErrorSuccess,
     "Invalid data type for 'SystemBiosDate'"},
    {"REG_NONE with data", kRegNone, "x"s, kErrorSuccess,
     "Invalid data type for 'SystemBiosDate'"},
    // The type is tested only after the read: a failed read of a DWORD reports the read.
    {"REG_DWORD whose read fails", kRegDword, "\x01\x02\x03\x04"s,
     FakeRegistry::kErrorAccessDenied, "Failed to get data for 'SystemBiosDate'"},
};

TEST(BiosDateNt, RaisesRegistryErrorsAfterTheReadAndStillClosesTheKey) {
  for (const auto& c : kRaiseCases) {
    FakeRegistry reg;
    reg.values["SystemBiosDate"] = {c.type, c.data};
    reg.read_status = c.read_status;
    FakeMemoryReader memory;

    try {
      ReadBiosDate(reg, memory, kNt);
      ADD_FAILURE() << c.name << ": nothing raised";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }

    ASSERT_EQ(reg.queries.size(), 2u) << c.name;
    EXPECT_TRUE(reg.queries[1].with_buffer) << c.name;
    EXPECT_EQ(reg.closes.size(), 1u) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

// ---- 9x family: the ROM date field -------------------------------------------------------

TEST(RebuildRomDate, KeepsBytes12_45_78AndPutsSlashesBetween) {
  struct Case {
    std::string rom;
    std::string expected;
  } cases[] = {
      {"12/31/99", "12/31/99"},
      {"12-31-99", "12/31/99"},
      {"ABCDEFGH", "AB/DE/GH"},
      {std::string(8, '\0'), "\0\0/\0\0/\0\0"s},
      {"\x01\x1f\xff\x7f\n\r\t\x80"s, "\x01\x1f/\x7f\n/\t\x80"s},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.rom.size(), 8u);
    EXPECT_EQ(RebuildRomDate(reinterpret_cast<const uint8_t*>(c.rom.data())), c.expected)
        << c.rom;
  }
}

TEST(BiosDate9x, RebuildsTheEightRomBytesAt0xFFFF5WithoutTheRegistry) {
  for (const uint32_t family : {0u, 1u, 3u}) {
    FakeRegistry reg;
    reg.values["SystemBiosDate"] = {kRegSz, "registry\0"s};
    FakeMemoryReader memory;
    memory.bytes = "12-31-99";

    EXPECT_EQ(ReadBiosDate(reg, memory, family), "12/31/99") << family;

    ASSERT_EQ(memory.reads.size(), 1u) << family;
    EXPECT_EQ(memory.reads[0].address, 0xFFFF5u) << family;
    EXPECT_EQ(memory.reads[0].size, 8u) << family;
    EXPECT_TRUE(reg.Untouched()) << family;
  }
}

TEST(BiosDate9x, AnyFailureGivesExactlyThePlaceholder) {
  using Outcome = FakeMemoryReader::Outcome;
  for (const Outcome outcome :
       {Outcome::kFails, Outcome::kThrowsStdException, Outcome::kThrowsAnythingElse}) {
    FakeRegistry reg;
    FakeMemoryReader memory;
    memory.outcome = outcome;
    Text date;
    EXPECT_NO_THROW(date = ReadBiosDate(reg, memory, 1));
    EXPECT_EQ(date, "XX.XX.XXXX") << static_cast<int>(outcome);
    EXPECT_TRUE(reg.Untouched());
  }
}

}  // namespace
