// The device operations a reader needs (CreateFileA, DeviceIoControl, CloseHandle),
// behind an interface so that the request and reply logic runs and is tested anywhere.
#pragma once

#include <cstdint>

using DeviceHandle = uintptr_t;

// CreateFileA's failure value, INVALID_HANDLE_VALUE; no other value counts as failure.
constexpr DeviceHandle kInvalidDevice = static_cast<DeviceHandle>(-1);

// Access, sharing and disposition values as CreateFileA takes them.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kFileShareRead = 0x00000001u;
constexpr uint32_t kFileShareWrite = 0x00000002u;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kOpenExisting = 3;

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;

  // CreateFileA(name, access, share, NULL, disposition, 0, NULL).
  virtual DeviceHandle Open(const char* name, uint32_t access, uint32_t share,
                            uint32_t disposition) = 0;

  // DeviceIoControl without an overlapped structure; nonzero (true) on success.
  virtual bool Control(DeviceHandle device, uint32_t code, const void* in, uint32_t in_size,
                       void* out, uint32_t out_size, uint32_t* returned) = 0;

  virtual void Close(DeviceHandle device) = 0;
};

// Owns one device handle and closes it exactly once; a failed open (INVALID_HANDLE_VALUE,
// the only failure value CreateFileA has) is never closed.
class DeviceHandleOwner {
 public:
  DeviceHandleOwner(DeviceIo& io, DeviceHandle handle) : io_(io), handle_(handle) {}
  ~DeviceHandleOwner() { Reset(); }
  DeviceHandleOwner(const DeviceHandleOwner&) = delete;
  DeviceHandleOwner& operator=(const DeviceHandleOwner&) = delete;

  bool valid() const { return handle_ != kInvalidDevice; }
  DeviceHandle get() const { return handle_; }

  void Reset() {
    if (valid()) io_.Close(handle_);
    handle_ = kInvalidDevice;
  }

 private:
  DeviceIo& io_;
  DeviceHandle handle_;
};
