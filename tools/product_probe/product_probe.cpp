// product_probe.exe PROGRAM MANIFEST_OUT
// Reads PROGRAM's version resource through the version API and prints
//   translation=LLLLCCCC            (the first language and code page, hex)
//   fixed.FileVersion=A.B.C.D       (VS_FIXEDFILEINFO)
//   fixed.ProductVersion=A.B.C.D
//   fixed.FileOS=HEX
//   fixed.FileType=HEX
//   string.NAME=TEXT                (each string value below, for the first translation)
// and copies its manifest resource (RT_MANIFEST, id 1) byte for byte to MANIFEST_OUT.
// A value that is missing is left out; the caller decides what is required.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

enum ExitCode { kRead = 0, kUsage = 1, kNoVersionInfo = 2, kNoManifest = 3, kCannotWrite = 4 };

constexpr WORD kManifestId = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
const char* const kStringNames[] = {"FileDescription", "FileVersion", "InternalName",
                                    "OriginalFilename", "ProductName", "ProductVersion"};

// A module loaded as data only: its resources can be read, none of its code runs.
class DataModule {
 public:
  explicit DataModule(const char* path)
      : module_(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

void PrintQuad(const char* name, DWORD high, DWORD low) {
  std::printf("fixed.%s=%lu.%lu.%lu.%lu\n", name, static_cast<unsigned long>(HIWORD(high)),
              static_cast<unsigned long>(LOWORD(high)), static_cast<unsigned long>(HIWORD(low)),
              static_cast<unsigned long>(LOWORD(low)));
}

bool PrintVersionInfo(const char* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path, 0, size, block.data())) return false;

  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    PrintQuad("FileVersion", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    PrintQuad("ProductVersion", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    std::printf("fixed.FileOS=%lx\nfixed.FileType=%lx\n",
                static_cast<unsigned long>(fixed->dwFileOS),
                static_cast<unsigned long>(fixed->dwFileType));
  }
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
      length < 2 * sizeof(WORD)) {
    return true;
  }
  const auto* translation = static_cast<const WORD*>(value);
  char block_name[16];
  (void)std::snprintf(block_name, sizeof block_name, "%04x%04x", translation[0], translation[1]);
  std::printf("translation=%s\n", block_name);
  for (const char* name : kStringNames) {
    char query[64];
    (void)std::snprintf(query, sizeof query, "\\StringFileInfo\\%s\\%s", block_name, name);
    if (VerQueryValueA(block.data(), query, &value, &length)) {
      std::printf("string.%s=%s\n", name, static_cast<const char*>(value));
    }
  }
  return true;
}

bool CopyManifest(const char* path, const char* out_path, ExitCode* failure) {
  DataModule module(path);
  HRSRC found = module.get() == nullptr
                    ? nullptr
                    : FindResourceA(module.get(), MAKEINTRESOURCEA(kManifestId),
                                    MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(module.get(), found);
  const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
  if (bytes == nullptr) {
    *failure = kNoManifest;
    return false;
  }
  const DWORD size = SizeofResource(module.get(), found);
  std::FILE* out = std::fopen(out_path, "wb");
  if (out == nullptr) {
    *failure = kCannotWrite;
    return false;
  }
  const bool written = std::fwrite(bytes, 1, size, out) == size;
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) *failure = kCannotWrite;
  return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    (void)std::fprintf(stderr, "usage: product_probe PROGRAM MANIFEST_OUT\n");
    return kUsage;
  }
  if (!PrintVersionInfo(argv[1])) return kNoVersionInfo;
  ExitCode failure = kRead;
  if (!CopyManifest(argv[1], argv[2], &failure)) return failure;
  return kRead;
}
