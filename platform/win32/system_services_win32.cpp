// The seams carried out by the Windows API, ANSI variants throughout.
#include <windows.h>

#include "platform/system_services.h"

namespace {

HANDLE AsHandle(DeviceHandle device) { return reinterpret_cast<HANDLE>(device); }
HKEY AsKey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE, "access");
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE,
              "sharing");
static_assert(kCreateNew == CREATE_NEW && kOpenExisting == OPEN_EXISTING, "disposition");
static_assert(kKeyRead == KEY_READ && kKeyQueryValue == KEY_QUERY_VALUE, "registry access");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegMultiSz == REG_MULTI_SZ,
              "registry types");

class Win32DeviceIo final : public DeviceIo {
 public:
  DeviceHandle Open(const char* name, uint32_t access, uint32_t share,
                    uint32_t disposition) override {
    return reinterpret_cast<DeviceHandle>(
        CreateFileA(name, access, share, nullptr, disposition, 0, nullptr));
  }

  bool Control(DeviceHandle device, uint32_t code, const void* in, uint32_t in_size,
               void* out, uint32_t out_size, uint32_t* returned) override {
    DWORD count = 0;
    const BOOL ok = DeviceIoControl(AsHandle(device), code, const_cast<void*>(in), in_size,
                                    out, out_size, &count, nullptr);
    *returned = count;
    return ok != FALSE;
  }

  void Close(DeviceHandle device) override { CloseHandle(AsHandle(device)); }
};

class Win32Registry final : public RegistryApi {
 public:
  long OpenKey(RegistryKey root, const char* subkey, uint32_t access,
               RegistryKey* key) override {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(AsKey(root), subkey, 0, access, &opened);
    if (status == ERROR_SUCCESS) *key = reinterpret_cast<RegistryKey>(opened);
    return status;
  }

  long QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    DWORD value_type = REG_NONE;
    DWORD value_size = *size;
    const LONG status =
        RegQueryValueExA(AsKey(key), name, nullptr, &value_type, data, &value_size);
    *type = value_type;
    *size = value_size;
    return status;
  }

  void CloseKey(RegistryKey key) override { RegCloseKey(AsKey(key)); }
};

class Win32Memory final : public MemoryReader {
 public:
  bool Read(uint32_t address, uint8_t* out, size_t size) override {
    SIZE_T count = 0;
    const BOOL ok = ReadProcessMemory(GetCurrentProcess(),
                                      reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                                      out, size, &count);
    return ok != FALSE && count == size;
  }
};

}  // namespace

DeviceIo& SystemDeviceIo() {
  static Win32DeviceIo io;
  return io;
}

RegistryApi& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

MemoryReader& SystemMemory() {
  static Win32Memory memory;
  return memory;
}

bool QuerySystemPlatformId(uint32_t* platform_id) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return false;
  *platform_id = info.dwPlatformId;
  return true;
}
