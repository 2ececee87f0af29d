// Replaces one RCDATA resource of a program file with other bytes, in every language the
// file carries it in:  resource_replacer --file PATH --name NAME --bytes TEXT
// Used to give a copy of start.exe a damaged window definition. Exit code 0 on success.
#include <windows.h>

#include <string>
#include <vector>

#include "helper_support.h"

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
  reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
  return TRUE;
}

std::vector<WORD> LanguagesOf(const char* file, const char* name) {
  std::vector<WORD> languages;
  const HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return languages;
  EnumResourceLanguagesA(module, MAKEINTRESOURCEA(10), name, CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));  // RT_RCDATA
  FreeLibrary(module);
  return languages;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* file = Option("--file");
  const char* name = Option("--name");
  const char* bytes = Option("--bytes", "");
  if (file == nullptr || name == nullptr) return 2;

  const std::vector<WORD> languages = LanguagesOf(file, name);
  if (languages.empty()) return 3;

  const HANDLE update = BeginUpdateResourceA(file, FALSE);
  if (update == nullptr) return 4;
  std::string data(bytes);
  bool ok = true;
  for (const WORD language : languages) {
    ok = ok && UpdateResourceA(update, MAKEINTRESOURCEA(10), name, language, &data[0],
                               static_cast<DWORD>(data.size())) != FALSE;
  }
  // EndUpdateResourceA both writes and releases the update handle; discard on failure.
  if (!EndUpdateResourceA(update, ok ? FALSE : TRUE) || !ok) return 5;
  return 0;
}
