#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "fake_device_io.h"
#include "identity/drive_serial.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }

const Bytes kNtRequestHead =
    Hex({0x1C, 0x00, 0x00, 0x00, 0x53, 0x43, 0x53, 0x49, 0x44, 0x49, 0x53, 0x4B, 0x02, 0x00,
         0x00, 0x00, 0x01, 0x05, 0x1B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x02, 0x00, 0x00,
         0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC, 0x00, 0x00});
const Bytes k9xRequestHead =
    Hex({0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC, 0x00});

struct RouteCase {
  const char* name;
  uint32_t family;
  const char* device;
  uint32_t access, share, disposition;
  uint32_t code, in_size, out_size;
  uint32_t out_offset;  // where the output area starts in the 572-byte buffer
  const Bytes* head;    // the request bytes; every other byte of the buffer is 0
  uint32_t serial_at;   // buffer position of the serial field
};

const RouteCase kRoutes[] = {
    {"nt", 2, "\\\\.\\Scsi0:", 0xC0000000u, 3, 3, 0x4D008, 572, 572, 0, &kNtRequestHead, 64},
    {"9x", 1, "\\\\.\\SMARTVSD", 0, 0, 1, 0x7C088, 32, 528, 32, &k9xRequestHead, 68},
    {"version query failed", 0, "\\\\.\\SMARTVSD", 0, 0, 1, 0x7C088, 32, 528, 32,
     &k9xRequestHead, 68},
    {"unknown family", 3, "\\\\.\\SMARTVSD", 0, 0, 1, 0x7C088, 32, 528, 32, &k9xRequestHead,
     68},
};

class DriveRoute : public ::testing::TestWithParam<RouteCase> {};

TEST_P(DriveRoute, SendsTheRequestByteForByte) {
  const RouteCase& c = GetParam();
  FakeDeviceIo io;
  ReadDriveSerial(io, c.family);

  ASSERT_EQ(io.opens.size(), 1u);
  EXPECT_EQ(io.opens[0].name, c.device);
  EXPECT_EQ(io.opens[0].access, c.access);
  EXPECT_EQ(io.opens[0].share, c.share);
  EXPECT_EQ(io.opens[0].disposition, c.disposition);

  ASSERT_EQ(io.controls.size(), 1u);
  const auto& call = io.controls[0];
  EXPECT_EQ(call.device, io.open_result);
  EXPECT_EQ(call.code, c.code);
  EXPECT_EQ(call.in_size, c.in_size);
  EXPECT_EQ(call.out_size, c.out_size);
  EXPECT_EQ(call.out_ptr - call.in_ptr, static_cast<ptrdiff_t>(c.out_offset));

  Bytes expected(572, 0);
  std::copy(c.head->begin(), c.head->end(), expected.begin());
  EXPECT_EQ(call.whole_buffer, expected);

  EXPECT_EQ(io.closes, std::vector<DeviceHandle>{io.open_result});
}

TEST_P(DriveRoute, TakesOnlyTheSerialFieldWhateverTheStatusBytesHold) {
  const RouteCase& c = GetParam();
  FakeDeviceIo io;
  // Every output byte set, the serial field to "badc..." so the swap shows.
  io.reply = [&](uint8_t* out, uint32_t size) {
    std::memset(out, 0xFF, size);
    uint8_t* field = out + (c.serial_at - c.out_offset);
    for (int i = 0; i < 20; ++i) field[i] = static_cast<uint8_t>('A' + (i ^ 1));
  };
  EXPECT_EQ(ReadDriveSerial(io, c.family), "ABCDEFGHIJKLMNOPQRST") << c.name;
}

INSTANTIATE_TEST_SUITE_P(Routes, DriveRoute, ::testing::ValuesIn(kRoutes),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(DriveSerial, OpenFailsGivesEmptyTextWithoutControlOrClose) {
  for (uint32_t family : {1u, 2u}) {
    FakeDeviceIo io;
    io.open_result = kInvalidDevice;
    EXPECT_EQ(ReadDriveSerial(io, family), "");
    EXPECT_TRUE(io.controls.empty());
    EXPECT_TRUE(io.closes.empty());
  }
}

TEST(DriveSerial, ControlFailsClosesExactlyOnce) {
  for (uint32_t family : {1u, 2u}) {
    FakeDeviceIo io;
    io.control_result = false;
    io.reply = [](uint8_t* out, uint32_t size) { std::memset(out, 'X', size); };
    EXPECT_EQ(ReadDriveSerial(io, family), "") << family;
    EXPECT_EQ(io.closes.size(), 1u) << family;
  }
}

TEST(DriveSerial, ClosesBeforeTheReplyIsRead) {
  // The fake notes a control after a close; the reader must close after the control call
  // and before it returns, so the one close is recorded by the time the reply is taken.
  FakeDeviceIo io;
  ReadDriveSerial(io, 2);
  EXPECT_FALSE(io.control_after_close);
  EXPECT_EQ(io.closes.size(), 1u);
}

TEST(DriveSerial, AnyHandleButInvalidHandleValueIsOpen) {
  FakeDeviceIo io;
  io.open_result = 0;  // NULL is a handle as far as CreateFileA's contract goes
  ReadDriveSerial(io, 2);
  EXPECT_EQ(io.controls.size(), 1u);
  EXPECT_EQ(io.closes.size(), 1u);
}

struct SerialCase {
  const char* name;
  std::string field;     // bytes as the drive stores them
  std::string expected;  // the reader's result
};

const SerialCase kSerials[] = {
    {"untouched reply", std::string(20, '\0'), std::string(20, '\0')},
    {"padded with leading blanks", "            5RBC8H9W",
     "            R5CBH8W9"},
    {"zero bytes inside", std::string("AB\0\0CD\0\0EFGHIJKLMNOP", 20),
     std::string("BA\0\0DC\0\0FEHGJILKNMPO", 20)},
};

TEST(DriveSerial, KeepsAllTwentyCharactersAsTheyStand) {
  for (const auto& c : kSerials) {
    FakeDeviceIo io;
    io.reply = [&](uint8_t* out, uint32_t) { std::memcpy(out + 64, c.field.data(), 20); };  // NT: R+36 = 64
    const Text serial = ReadDriveSerial(io, 2);
    EXPECT_EQ(serial.size(), 20u) << c.name;
    EXPECT_EQ(serial, c.expected) << c.name;
  }
}

TEST(SwapBytePairs, ExchangesLengthDivTwoPairs) {
  struct Case {
    uint32_t length;
    const char* expected;  // of "0123456789abcdefghijk" plus guard
  } cases[] = {
      {20, "1032547698badcfehgjik#"},
      {21, "1032547698badcfehgjik#"},
      {1, "0123456789abcdefghijk#"},
      {0, "0123456789abcdefghijk#"},
  };
  for (const auto& c : cases) {
    char bytes[] = "0123456789abcdefghijk#";
    SwapBytePairs(reinterpret_cast<uint8_t*>(bytes), c.length);
    EXPECT_STREQ(bytes, c.expected) << c.length;
  }
}

}  // namespace
