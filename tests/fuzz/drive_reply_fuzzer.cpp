// The drive serial number: any 572 bytes of reply from the driver, on either route, with
// the open or the control call failing.
//
// Input:
//   byte 0    flags: 0x01 9x family, 0x02 the open fails, 0x04 the control call fails
//   the rest  the reply the driver writes over the output area, first byte first; zeros
//             where the input ends
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "identity/drive_request.h"
#include "identity/drive_serial.h"
#include "tests/unit/fake_device_io.h"

namespace {

constexpr uint8_t k9xFamily = 0x01;
constexpr uint8_t kOpenFails = 0x02;
constexpr uint8_t kControlFails = 0x04;

// Where the serial field stands within the output area: the NT route's output is the
// whole buffer and its reply sits at 28; the 9x route's output and reply both start at 32.
constexpr size_t kNtSerialInOutput = 64;
constexpr size_t k9xSerialInOutput = 36;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t flags = in.Byte();
  std::string reply = in.Bytes(drive_request::kBufferSize);
  reply.resize(drive_request::kBufferSize);

  FakeDeviceIo io;
  if (flags & kOpenFails) io.open_result = kInvalidDevice;
  io.control_result = (flags & kControlFails) == 0;
  io.reply = [&reply](uint8_t* out, uint32_t out_size) {
    FUZZ_REQUIRE(out_size <= reply.size());
    std::copy(reply.begin(), reply.begin() + out_size, out);
  };

  const Text serial = ReadDriveSerial(io, (flags & k9xFamily) ? 1 : 2);

  FUZZ_REQUIRE(io.opens.size() == 1);
  if (flags & kOpenFails) {
    FUZZ_REQUIRE(serial.empty());
    FUZZ_REQUIRE(io.controls.empty() && io.closes.empty());
    return 0;
  }
  FUZZ_REQUIRE(io.controls.size() == 1);
  FUZZ_REQUIRE(io.closes.size() == 1 && io.closes[0] == io.open_result);
  FUZZ_REQUIRE(!io.control_after_close);
  if (flags & kControlFails) {
    FUZZ_REQUIRE(serial.empty());
    return 0;
  }
  // Twenty characters, each pair of the field exchanged, whatever else the reply holds.
  const size_t at = (flags & k9xFamily) ? k9xSerialInOutput : kNtSerialInOutput;
  FUZZ_REQUIRE(serial.size() == drive_request::kSerialLength);
  for (size_t i = 0; i < drive_request::kSerialLength; ++i) {
    FUZZ_REQUIRE(serial[i] == reply[at + (i ^ 1)]);
  }
  return 0;
}
