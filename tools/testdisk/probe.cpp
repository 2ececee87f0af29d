// Talks to the test disk through the real device operations, outside start.exe.
//
//   testdisk_probe.exe serial nt|9x|9x-widened OUT_FILE
//       The drive serial reader on one route; OUT_FILE receives its result byte for byte.
//       "9x-widened" opens "\\.\SMARTVSD" with read and write access instead of none: Wine
//       refuses SMART_RCV_DRIVE_DATA on a handle without access, so widening the open is the
//       only way to see the 9x request and its reply layout go through a device under Wine.
//
//   testdisk_probe.exe altered OUT_FILE CHANGE...
//       Sends the NT-route request once per CHANGE, each time with that one change, and writes
//       "CHANGE answered|failed" lines. CHANGE is byte:N (bit 0 of request byte N flipped),
//       in:N or out:N (that many bytes in or out instead of 572), code:HEX (another code).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "identity/drive_request.h"
#include "identity/drive_serial.h"
#include "platform/system_services.h"

namespace {

using namespace drive_request;

constexpr uint32_t kNtFamily = VER_PLATFORM_WIN32_NT;
constexpr uint32_t k9xFamily = VER_PLATFORM_WIN32_WINDOWS;
constexpr int kUsage = 2;

// The system's device operations, with every open asking for read and write access.
class WidenedOpen final : public DeviceIo {
 public:
  explicit WidenedOpen(DeviceIo& io) : io_(io) {}
  DeviceHandle Open(const char* name, uint32_t, uint32_t share, uint32_t disposition) override {
    return io_.Open(name, kGenericRead | kGenericWrite, share, disposition);
  }
  bool Control(DeviceHandle device, uint32_t code, const void* in, uint32_t in_size, void* out,
               uint32_t out_size, uint32_t* returned) override {
    return io_.Control(device, code, in, in_size, out, out_size, returned);
  }
  void Close(DeviceHandle device) override { io_.Close(device); }

 private:
  DeviceIo& io_;
};

bool WriteFileBytes(const char* path, const std::string& bytes) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

int Serial(const char* route, const char* out_file) {
  DeviceIo& io = SystemDeviceIo();
  WidenedOpen widened(io);
  Text serial;
  if (std::strcmp(route, "nt") == 0) {
    serial = ReadDriveSerial(io, kNtFamily);
  } else if (std::strcmp(route, "9x") == 0) {
    serial = ReadDriveSerial(io, k9xFamily);
  } else if (std::strcmp(route, "9x-widened") == 0) {
    serial = ReadDriveSerial(widened, k9xFamily);
  } else {
    return kUsage;
  }
  return WriteFileBytes(out_file, serial) ? 0 : 1;
}

struct Request {
  uint32_t code = kIoctlScsiMiniport;
  uint32_t in_size = kNtInSize;
  uint32_t out_size = kNtOutSize;
  std::vector<uint8_t> bytes = std::vector<uint8_t>(2 * kBufferSize, 0);  // room for more
};

// Applies one CHANGE to a correct NT-route request; false when CHANGE is not understood.
bool Apply(const std::string& change, Request& request) {
  const size_t colon = change.find(':');
  if (colon == std::string::npos) return false;
  const std::string kind = change.substr(0, colon);
  const unsigned long value = std::strtoul(change.c_str() + colon + 1, nullptr, 0);
  if (kind == "byte" && value < kBufferSize) {
    request.bytes[value] ^= 0x01;
  } else if (kind == "in" && value <= request.bytes.size()) {
    request.in_size = value;
  } else if (kind == "out" && value <= request.bytes.size()) {
    request.out_size = value;
  } else if (kind == "code") {
    request.code = value;
  } else {
    return false;
  }
  return true;
}

bool Send(const Request& request) {
  DeviceIo& io = SystemDeviceIo();
  DeviceHandleOwner device(io, io.Open(kScsiPortDevice, kGenericRead | kGenericWrite,
                                       kFileShareRead | kFileShareWrite, kOpenExisting));
  if (!device.valid()) return false;
  std::vector<uint8_t> buffer = request.bytes;
  uint32_t returned = 0;
  return io.Control(device.get(), request.code, buffer.data(), request.in_size, buffer.data(),
                    request.out_size, &returned);
}

int Altered(const char* out_file, int count, char** changes) {
  std::string report;
  for (int i = 0; i < count; ++i) {
    Request request;
    Buffer correct{};
    FillNtRequest(correct);
    std::memcpy(request.bytes.data(), correct.data(), correct.size());
    if (!Apply(changes[i], request)) return kUsage;
    report += std::string(changes[i]) + (Send(request) ? " answered\r\n" : " failed\r\n");
  }
  return WriteFileBytes(out_file, report) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  int result = kUsage;
  if (argc == 4 && std::strcmp(argv[1], "serial") == 0) {
    result = Serial(argv[2], argv[3]);
  } else if (argc >= 4 && std::strcmp(argv[1], "altered") == 0) {
    result = Altered(argv[2], argc - 3, argv + 3);
  }
  if (result == kUsage) {
    (void)std::fprintf(stderr,
                       "usage: testdisk_probe serial nt|9x|9x-widened OUT_FILE\n"
                       "       testdisk_probe altered OUT_FILE byte:N|in:N|out:N|code:HEX...\n");
  }
  return result;
}
