#include "identity/drive_serial.h"

#include "identity/drive_request.h"
#include "identity/platform_family.h"

using namespace drive_request;

namespace {

struct Route {
  const char* device;
  uint32_t access;
  uint32_t share;
  uint32_t disposition;
  void (*fill)(Buffer&);
  uint32_t code;
  uint32_t in_at, in_size;
  uint32_t out_at, out_size;
  uint32_t reply_at;
};

constexpr Route kNtRoute = {kScsiPortDevice, kGenericRead | kGenericWrite,
                            kFileShareRead | kFileShareWrite, kOpenExisting,
                            FillNtRequest, kIoctlScsiMiniport,
                            0, kNtInSize, 0, kNtOutSize, kNtReplyAt};

// The SMART driver is opened with no access and CREATE_NEW, as the 9x driver expects.
constexpr Route k9xRoute = {kSmartDevice, 0, 0, kCreateNew,
                            Fill9xRequest, kSmartRcvDriveData,
                            0, k9xInSize, k9xReplyAt, k9xOutSize, k9xReplyAt};

static_assert(kNtRoute.out_at + kNtRoute.out_size <= kBufferSize, "NT reply fits");
static_assert(k9xRoute.out_at + k9xRoute.out_size <= kBufferSize, "9x reply fits");
static_assert(kNtRoute.reply_at + kSerialInReplyAt + kSerialLength <= kBufferSize, "serial");

}  // namespace

void SwapBytePairs(uint8_t* bytes, uint32_t length) {
  const uint32_t pairs = length / 2;
  for (size_t k = 0; k < pairs; ++k) {
    const uint8_t first = bytes[2 * k];
    bytes[2 * k] = bytes[2 * k + 1];
    bytes[2 * k + 1] = first;
  }
}

Text ReadDriveSerial(DeviceIo& io, uint32_t platform_family) {
  Text serial;
  Buffer buffer{};  // zeroed before the route is chosen
  const Route& route = IsNtFamily(platform_family) ? kNtRoute : k9xRoute;

  DeviceHandleOwner device(io, io.Open(route.device, route.access, route.share,
                                       route.disposition));
  if (!device.valid()) return serial;

  route.fill(buffer);
  uint32_t returned = 0;  // not looked at: a nonzero answer counts as a good reply
  const bool answered =
      io.Control(device.get(), route.code, &buffer[route.in_at], route.in_size,
                 &buffer[route.out_at], route.out_size, &returned);
  device.Reset();  // closed before the reply is looked at
  if (!answered) return serial;

  uint8_t* field = &buffer[route.reply_at + kSerialInReplyAt];
  SwapBytePairs(field, kSerialLength);
  serial.assign(reinterpret_cast<const char*>(field), kSerialLength);
  return serial;
}
