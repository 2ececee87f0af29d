// Fault injection over the seams: each decorator passes its calls to the seam it wraps
// (one of the fakes) and fails the one call of one operation that a plan names, counting
// the calls of every operation as they come. A failed call never reaches the wrapped
// seam, so the fake's record shows only what really happened.
#pragma once

#include <map>

#include "platform/device_io.h"
#include "platform/file_api.h"
#include "platform/memory_reader.h"
#include "platform/registry_api.h"

enum class Operation {
  kDeviceOpen,     // CreateFileA on the drive's device
  kDeviceControl,  // DeviceIoControl
  kRegistryOpen,   // RegOpenKeyExA
  kRegistryQuery,  // RegQueryValueExA for the type and size only
  kRegistryRead,   // RegQueryValueExA into a buffer
  kMemoryRead,     // the ROM date field
  kFileCreate,     // CreateFileA on an identification file
  kFileWrite,      // WriteFile
  kFileClose,      // CloseHandle on an identification file
};

// Which call fails (the `call`-th of `operation`, counted from 1), and how many calls of
// each operation were made.
struct FaultPlan {
  Operation operation = Operation::kDeviceOpen;
  int call = 0;  // 0: nothing fails
  std::map<Operation, int> calls;

  bool Fails(Operation made) {
    const int number = ++calls[made];
    return made == operation && number == call;
  }
};

// The error codes a failed call gives.
constexpr long kRegistryAccessDenied = 5;  // ERROR_ACCESS_DENIED
constexpr long kRegistryNotFound = 2;      // ERROR_FILE_NOT_FOUND
constexpr long kRegistryMoreData = 234;    // ERROR_MORE_DATA: the value grew meanwhile
constexpr uint32_t kFileAccessDenied = 5;  // ERROR_ACCESS_DENIED
constexpr uint32_t kFileDiskFull = 112;    // ERROR_DISK_FULL
constexpr uint32_t kFileInvalidHandle = 6;  // ERROR_INVALID_HANDLE

class FaultyDeviceIo : public DeviceIo {
 public:
  FaultyDeviceIo(DeviceIo& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}

  DeviceHandle Open(const char* name, uint32_t access, uint32_t share,
                    uint32_t disposition) override {
    if (plan_.Fails(Operation::kDeviceOpen)) return kInvalidDevice;
    return inner_.Open(name, access, share, disposition);
  }
  bool Control(DeviceHandle device, uint32_t code, const void* in, uint32_t in_size, void* out,
               uint32_t out_size, uint32_t* returned) override {
    if (plan_.Fails(Operation::kDeviceControl)) return false;
    return inner_.Control(device, code, in, in_size, out, out_size, returned);
  }
  void Close(DeviceHandle device) override { inner_.Close(device); }

 private:
  DeviceIo& inner_;
  FaultPlan& plan_;
};

class FaultyRegistry : public RegistryApi {
 public:
  FaultyRegistry(RegistryApi& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}

  long OpenKey(RegistryKey root, const char* subkey, uint32_t access,
               RegistryKey* key) override {
    if (plan_.Fails(Operation::kRegistryOpen)) return kRegistryAccessDenied;
    return inner_.OpenKey(root, subkey, access, key);
  }
  long QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    if (data == nullptr && plan_.Fails(Operation::kRegistryQuery)) return kRegistryNotFound;
    if (data != nullptr && plan_.Fails(Operation::kRegistryRead)) return kRegistryMoreData;
    return inner_.QueryValue(key, name, type, data, size);
  }
  void CloseKey(RegistryKey key) override { inner_.CloseKey(key); }

 private:
  RegistryApi& inner_;
  FaultPlan& plan_;
};

class FaultyMemoryReader : public MemoryReader {
 public:
  FaultyMemoryReader(MemoryReader& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}

  bool Read(uint32_t address, uint8_t* out, size_t size) override {
    if (plan_.Fails(Operation::kMemoryRead)) return false;
    return inner_.Read(address, out, size);
  }

 private:
  MemoryReader& inner_;
  FaultPlan& plan_;
};

class FaultyFileApi : public FileApi {
 public:
  FaultyFileApi(FileApi& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}

  uint32_t Create(const char* path, FileHandle* file) override {
    if (plan_.Fails(Operation::kFileCreate)) return kFileAccessDenied;
    return inner_.Create(path, file);
  }
  uint32_t Write(FileHandle file, const char* data, uint32_t size, uint32_t* written) override {
    if (plan_.Fails(Operation::kFileWrite)) return kFileDiskFull;
    return inner_.Write(file, data, size, written);
  }
  uint32_t Close(FileHandle file) override {
    if (plan_.Fails(Operation::kFileClose)) return kFileInvalidHandle;
    return inner_.Close(file);
  }

 private:
  FileApi& inner_;
  FaultPlan& plan_;
};
