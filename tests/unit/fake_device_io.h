// A scripted device: records every call and answers as a case tells it to.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/device_io.h"

class FakeDeviceIo : public DeviceIo {
 public:
  struct OpenCall {
    std::string name;
    uint32_t access, share, disposition;
  };
  struct ControlCall {
    DeviceHandle device;
    uint32_t code;
    std::vector<uint8_t> in;  // the input bytes as they stood at the call
    uint32_t in_size, out_size;
    const uint8_t* in_ptr;
    const uint8_t* out_ptr;
    std::vector<uint8_t> whole_buffer;  // the 572-byte buffer around `in`, at the call
  };

  DeviceHandle open_result = 0x1234;
  bool control_result = true;
  // Writes the reply into the output area; given the output pointer and its size.
  std::function<void(uint8_t* out, uint32_t out_size)> reply;
  // Called in place of the reply to reach the whole buffer (the caller's 572 bytes).
  const uint8_t* buffer_base_hint = nullptr;

  std::vector<OpenCall> opens;
  std::vector<ControlCall> controls;
  std::vector<DeviceHandle> closes;
  bool control_after_close = false;

  DeviceHandle Open(const char* name, uint32_t access, uint32_t share,
                    uint32_t disposition) override {
    opens.push_back({name, access, share, disposition});
    return open_result;
  }

  bool Control(DeviceHandle device, uint32_t code, const void* in, uint32_t in_size, void* out,
               uint32_t out_size, uint32_t* returned) override {
    if (!closes.empty()) control_after_close = true;
    const auto* in_bytes = static_cast<const uint8_t*>(in);
    controls.push_back({device, code, std::vector<uint8_t>(in_bytes, in_bytes + in_size), in_size,
                        out_size, in_bytes, static_cast<const uint8_t*>(out), {}});
    // Both routes' input starts at the buffer's first byte, so the whole buffer is here.
    controls.back().whole_buffer.assign(in_bytes, in_bytes + 572);
    if (reply) reply(static_cast<uint8_t*>(out), out_size);
    *returned = out_size;
    return control_result;
  }

  void Close(DeviceHandle device) override { closes.push_back(device); }
};
