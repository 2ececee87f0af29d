// Finds the message boxes of one program (by its image name) or of any program, records
// what each shows and what else held at that moment, and then presses its OK button.
//
//   box_watcher --out FILE --stop FILE [--image NAME] [--recorder-dir DIR]
//               [--probe-file PATH] [--timeout-ms N]
//
// FILE is rewritten after every box, one line each:
//   box image=HEX caption=HEX text=HEX buttons=ID,ID icon=0|1 other_visible=0|1 owned=0|1
//       recorder_called=0|1 [probe_read=CODE probe_write=CODE]
// where the probes are the error codes (0: it opened) of opening PATH for reading and for
// writing, each sharing everything, while the box is up.
// and gets a last line "end stop" or "end timeout" when the watcher ends: once the STOP
// file exists, or after the bound (default 120 s).
#include <windows.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <vector>

#include "helper_support.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a box's text
constexpr int kMessageIconId = 0x0440;  // Wine's icon control; it holds no icon without MB_ICON*
constexpr int kTextRoom = 4096;
constexpr DWORD kDismissMilliseconds = 5000;
constexpr DWORD kDefaultTimeoutMilliseconds = 120000;
constexpr int kButtonIds[] = {IDOK,  IDCANCEL, IDABORT, IDRETRY,    IDIGNORE,  IDYES,
                              IDNO,  IDCLOSE,  IDHELP,  IDTRYAGAIN, IDCONTINUE};

enum ExitCode { kStopped = 0, kUsage = 1, kTimedOut = 2, kCannotWrite = 3 };

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool IsVisibleBox(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, kDialogClass) == 0 && IsWindowVisible(window);
}

// The file name of the process's image, without its folder; empty when it is gone.
std::string ImageName(DWORD pid) {
  OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return {};
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID != pid) continue;
    const std::string full = entry.szExeFile;
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
  }
  return {};
}

bool OtherWindowVisible(DWORD pid, HWND box) {
  for (HWND window : TopLevelWindows()) {
    if (window != box && ProcessOf(window) == pid && IsWindowVisible(window)) return true;
  }
  return false;
}

bool FolderHasEntries(const char* folder) {
  if (folder == nullptr) return false;
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((std::string(folder) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    any = lstrcmpA(found.cFileName, ".") != 0 && lstrcmpA(found.cFileName, "..") != 0;
  } while (!any && FindNextFileA(search, &found));
  FindClose(search);
  return any;
}

bool ControlVisible(HWND box, int id) {
  HWND control = GetDlgItem(box, id);
  return control != nullptr && IsWindowVisible(control);
}

bool ShowsIcon(HWND box) {
  HWND control = GetDlgItem(box, kMessageIconId);
  DWORD_PTR icon = 0;
  return control != nullptr &&
         SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG,
                             kDismissMilliseconds, &icon) != 0 &&
         icon != 0;
}

std::string VisibleButtons(HWND box) {
  std::string ids;
  for (int id : kButtonIds) {
    if (!ControlVisible(box, id)) continue;
    if (!ids.empty()) ids += ',';
    ids += std::to_string(id);
  }
  return ids;
}

// The error code of opening `path` with `access` and full sharing; 0 when it opens.
DWORD OpenError(const char* path, DWORD access) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  OwnedHandle file(CreateFileA(path, access, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() ? 0 : GetLastError();
}

std::string ProbeFile(const char* path) {
  if (path == nullptr) return {};
  return " probe_read=" + std::to_string(OpenError(path, GENERIC_READ)) +
         " probe_write=" + std::to_string(OpenError(path, GENERIC_WRITE));
}

// Everything is read before the box is dismissed, while it is still up.
std::string DescribeBox(HWND box, DWORD pid, const std::string& image,
                        const char* recorder_dir, const char* probe_file) {
  char caption[kTextRoom] = {};
  char text[kTextRoom] = {};
  const int caption_length = GetWindowTextA(box, caption, kTextRoom);
  const UINT text_length = GetDlgItemTextA(box, kMessageTextId, text, kTextRoom);
  HWND owner = GetWindow(box, GW_OWNER);
  const bool owned = owner != nullptr && ProcessOf(owner) == pid;
  return "box image=" + Hex(image.data(), image.size()) +
         " caption=" + Hex(caption, caption_length) + " text=" + Hex(text, text_length) +
         " buttons=" + VisibleButtons(box) +
         " icon=" + (ShowsIcon(box) ? "1" : "0") +
         " other_visible=" + (OtherWindowVisible(pid, box) ? "1" : "0") +
         " owned=" + (owned ? "1" : "0") +
         " recorder_called=" + (FolderHasEntries(recorder_dir) ? "1" : "0") +
         ProbeFile(probe_file) + "\n";
}

void Dismiss(HWND box) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, SMTO_ABORTIFHUNG,
                      kDismissMilliseconds, &result);
  const Deadline gone(kDismissMilliseconds);
  while (IsWindow(box) && !gone.passed()) Sleep(kPollMilliseconds);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* out = Option("--out");
  const char* stop = Option("--stop");
  const char* image = Option("--image");  // none: boxes of any process
  const char* recorder_dir = Option("--recorder-dir");
  const char* probe_file = Option("--probe-file");
  const Deadline deadline(OptionMilliseconds("--timeout-ms", kDefaultTimeoutMilliseconds));
  if (out == nullptr || stop == nullptr) return kUsage;

  std::string report;
  if (!WriteResultFile(out, report)) return kCannotWrite;
  std::set<HWND> seen;
  while (!FileExists(stop)) {
    if (deadline.passed()) {
      WriteResultFile(out, report + "end timeout\n");
      return kTimedOut;
    }
    for (HWND window : TopLevelWindows()) {
      if (seen.count(window) != 0 || !IsVisibleBox(window)) continue;
      seen.insert(window);
      const DWORD pid = ProcessOf(window);
      const std::string name = ImageName(pid);
      if (image != nullptr && lstrcmpiA(name.c_str(), image) != 0) continue;
      report += DescribeBox(window, pid, name, recorder_dir, probe_file);
      Dismiss(window);
      WriteResultFile(out, report);
    }
    Sleep(kPollMilliseconds);
  }
  WriteResultFile(out, report + "end stop\n");
  return kStopped;
}
