// The text file's operations carried out by kernel32.
#include <windows.h>

#include "platform/system_services.h"

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

class Win32FileApi final : public FileApi {
 public:
  uint32_t Create(const char* path, FileHandle* file) override {
    // Others may read the file while it is written, but neither write nor delete it.
    const HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    *file = reinterpret_cast<FileHandle>(handle);
    return kNoError;
  }

  uint32_t Write(FileHandle file, const char* data, uint32_t size, uint32_t* written) override {
    DWORD count = 0;
    if (!WriteFile(AsHandle(file), data, size, &count, nullptr)) return GetLastError();
    *written = count;
    return kNoError;
  }

  uint32_t Close(FileHandle file) override {
    return CloseHandle(AsHandle(file)) ? kNoError : GetLastError();
  }
};

}  // namespace

FileApi& SystemFileApi() {
  static Win32FileApi files;
  return files;
}
