#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_registry.h"
#include "identity/bios_readers.h"

namespace {

using namespace std::string_literals;

constexpr uint32_t kNt = 2;

// ---- SplitMultiString --------------------------------------------------------------------

struct SplitCase {
  const char* name;
  std::string bytes;  // the data, then guard bytes past `size` that must never be read
  size_t size;
  StringList expected;
};

const SplitCase kSplitCases[] = {
    {"A 0 B 0 0", "A\0B\0\0" "GUARD"s, 5, {"A", "B"}},
    {"an empty string ends the list", "A\0\0B\0\0"s, 6, {"A"}},
    {"no final zeros", "A\0B" "XY\0"s, 3, {"A", "B"}},
    {"one string filling the data", "ABC" "XY\0"s, 3, {"ABC"}},
    {"the size cuts a string", "ABCD\0\0"s, 2, {"AB"}},
    {"data beginning with zero", "\0A\0\0"s, 4, {}},
    {"size 0", "A\0\0"s, 0, {}},
    {"any byte but zero belongs to a string", "\xff\x01 \0\x80\0\0"s, 7, {"\xff\x01 ", "\x80"}},
};

TEST(SplitMultiString, ReadsStringsUpToTheFirstEmptyOneWithinTheSize) {
  for (const auto& c : kSplitCases) {
    // With guard bytes behind the size: nothing of them may show up in the result.
    EXPECT_EQ(SplitMultiString(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.size),
              c.expected)
        << c.name;
    // In a heap block of exactly `size` bytes: AddressSanitizer stops any look past it.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.size]);
    std::memcpy(exact.get(), c.bytes.data(), c.size);
    EXPECT_EQ(SplitMultiString(exact.get(), c.size), c.expected) << c.name;
  }
}

// ---- JoinVersionStrings ------------------------------------------------------------------

const std::string a254(254, 'a');

struct JoinCase {
  const char* name;
  StringList strings;
  std::string expected;
};

const JoinCase kJoinCases[] = {
    {"empty list", {}, ""},
    {"one string", {"A"}, "A"},
    {"separators between, none after the last", {"A", "B", "C"}, "A | B | C"},
    {"one string of 300 characters", {std::string(300, 'x')}, std::string(255, 'x')},
    {"255 characters and more", {std::string(255, 'x'), "B"}, std::string(255, 'x')},
    {"cut after the separator's blank", {a254, "B"}, a254 + " "},
    {"cut after blank and bar", {std::string(253, 'a'), "B"}, std::string(253, 'a') + " |"},
    {"cut after the whole separator", {std::string(252, 'a'), "B"},
     std::string(252, 'a') + " | "},
    {"the last string's first character fits", {std::string(251, 'a'), "BC"},
     std::string(251, 'a') + " | B"},
    {"many short strings", std::vector<Text>(100, "ab"),
     [] {
       std::string s = "ab";
       for (int i = 1; i < 100; ++i) s += " | ab";
       return s.substr(0, 255);
     }()},
    {"zero bytes inside a string stay", {"A\0B"s, "C"}, "A\0B | C"s},
};

TEST(JoinVersionStrings, JoinsWithSeparatorsAndKeepsTheFirst255Characters) {
  for (const auto& c : kJoinCases) {
    EXPECT_EQ(JoinVersionStrings(c.strings), c.expected) << c.name;
  }
}

// ---- ReadBiosVersion ---------------------------------------------------------------------

struct VersionCase {
  const char* name;
  uint32_t type;  // never looked at: every type is split as multi-string data
  std::string data;
  std::string expected;
};

const VersionCase kVersionCases[] = {
    {"REG_MULTI_SZ", kRegMultiSz, "A\0B\0C\0\0"s, "A | B | C"},
    {"REG_SZ", kRegSz, "BIOS 1.0\0"s, "BIOS 1.0"},
    {"REG_SZ with a zero inside", kRegSz, "A\0B\0"s, "A | B"},
    {"REG_EXPAND_SZ", kRegExpandSz, "%X%\0\0"s, "%X%"},
    {"REG_DWORD", kRegDword, "A\0B\0"s, "A | B"},
    {"REG_BINARY without zeros at the end", kRegBinary, "AB\0C"s, "AB | C"},
    {"an empty string first", kRegMultiSz, "\0A\0\0"s, ""},
    {"more than 255 characters", kRegMultiSz, std::string(300, 'v') + "\0\0"s,
     std::string(255, 'v')},
};

TEST(BiosVersionNt, SplitsTheValueWhateverItsTypeAndJoinsTheStrings) {
  for (const auto& c : kVersionCases) {
    FakeRegistry reg;
    reg.values["SystemBiosVersion"] = {c.type, c.data};

    EXPECT_EQ(ReadBiosVersion(reg, kNt), c.expected) << c.name;

    EXPECT_EQ(reg.AccessAsked(), std::vector<uint32_t>{0x20019}) << c.name;
    EXPECT_EQ(reg.opens[0].root, 0x80000002u) << c.name;
    EXPECT_EQ(reg.opens[0].subkey, "HARDWARE\\DESCRIPTION\\System") << c.name;
    ASSERT_EQ(reg.queries.size(), 2u) << c.name;
    EXPECT_EQ(reg.queries[0].name, "SystemBiosVersion") << c.name;
    EXPECT_FALSE(reg.queries[0].with_buffer) << c.name;
    EXPECT_EQ(reg.queries[1].room, c.data.size()) << c.name;
    EXPECT_EQ(reg.closes.size(), 1u) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

TEST(BiosVersionNt, KeyReadRefusedGivesEmptyTextWithNoOtherAttempt) {
  FakeRegistry reg;
  reg.refused_access = {0x20019};
  reg.values["SystemBiosVersion"] = {kRegMultiSz, "A\0\0"s};

  EXPECT_EQ(ReadBiosVersion(reg, kNt), "");

  EXPECT_EQ(reg.AccessAsked(), std::vector<uint32_t>{0x20019});
  EXPECT_TRUE(reg.queries.empty());
  EXPECT_TRUE(reg.closes.empty());
}

TEST(BiosVersionNt, MissingValueOrFailedReadGivesEmptyText) {
  struct Case {
    const char* name;
    bool stored;
    long size_query_status, read_status;
  } cases[] = {
      {"missing value", false, kErrorSuccess, kErrorSuccess},
      {"size query refused", true, FakeRegistry::kErrorAccessDenied, kErrorSuccess},
      {"read fails after the size query", true, kErrorSuccess, FakeRegistry::kErrorMoreData},
  };
  for (const auto& c : cases) {
    FakeRegistry reg;
    if (c.stored) reg.values["SystemBiosVersion"] = {kRegMultiSz, "A\0B\0\0"s};
    reg.size_query_status = c.size_query_status;
    reg.read_status = c.read_status;
    Text version = "unset";

    EXPECT_NO_THROW(version = ReadBiosVersion(reg, kNt)) << c.name;

    EXPECT_EQ(version, "") << c.name;
    EXPECT_EQ(reg.closes.size(), 1u) << c.name;
    EXPECT_TRUE(reg.EveryKeyClosedOnce()) << c.name;
  }
}

TEST(BiosVersion9x, IsEmptyWithoutAnyRegistryCall) {
  for (const uint32_t family : {0u, 1u, 3u}) {
    FakeRegistry reg;
    reg.values["SystemBiosVersion"] = {kRegMultiSz, "A\0\0"s};
    EXPECT_EQ(ReadBiosVersion(reg, family), "") << family;
    EXPECT_TRUE(reg.Untouched()) << family;
  }
}

}  // namespace
