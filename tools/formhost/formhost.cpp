// A test host for the splash window: builds Form1 exactly as the program does (module
// initialisation, the application object, CreateForm) and runs the same message loop, which
// shows the window by this process's start-up show state. Instead of posting the quit
// request before the loop, it keeps the loop running until the test asks it to stop, so
// that the window can be looked at on the screen and from inside Win32.
//
//   formhost --report FILE --stop FILE [--timeout-ms N]
//
// Run it in a working folder with case\gen, so that the identification run succeeds
// without a box. On the loop's first idle step (everything waiting, painting included, has
// been handled) it writes FILE, one "name=value" line each; see WriteReport. It posts the
// quit request once the STOP file exists, or after the bound (default 120 s), and then
// exits like the program: the application object destroys the form, exit code 0 when
// stopped, kTimedOut after the bound.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/form1.h"
#include "helper_support.h"
#include "identity/platform_family.h"
#include "platform/system_services.h"
#include "platform/win32/application.h"
#include "platform/win32/gdi_handles.h"

namespace {

constexpr DWORD kDefaultTimeoutMilliseconds = 120000;
constexpr UINT kStopPollMilliseconds = 20;
constexpr char kMainIcon[] = "MAINICON";
constexpr int kTextRoom = 256;

// The splash font as the window definition gives it: "MS Sans Serif", 11 pixels at the
// 96 pixels per inch the window was laid out for.
constexpr char kFormFontName[] = "MS Sans Serif";
constexpr int kFormFontPixels = 11;
constexpr int kDesignPixelsPerInch = 96;

enum ExitCode { kStopped = 0, kUsage = 1, kTimedOut = 124 };

std::string Pair(long first, long second) {
  return std::to_string(first) + "," + std::to_string(second);
}

std::string Rect(const RECT& rect) {
  return Pair(rect.left, rect.top) + "," + Pair(rect.right, rect.bottom);
}

std::string Hex32(DWORD value) {
  char text[16];
  (void)std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(value));
  return text;
}

std::string Flag(BOOL value) { return value ? "1" : "0"; }

std::string WindowRectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return Rect(rect);
}

std::string WindowText(HWND window) {
  char text[kTextRoom] = {};
  const int length = GetWindowTextA(window, text, sizeof text);
  return Hex(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// Measured here, apart from the form: the height of "0" in the splash font scaled to the
// screen's pixels per inch, which decides the form's size when that density is not 96.
int TextHeightAt(int pixels_per_inch) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(kFormFontPixels, pixels_per_inch, kDesignPixelsPerInch);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  static_assert(sizeof kFormFontName <= LF_FACESIZE, "the face name fits with its terminator");
  std::memcpy(font.lfFaceName, kFormFontName, sizeof kFormFontName);
  GdiObject<HFONT> handle(CreateFontIndirectA(&font));
  const WindowDc screen(nullptr);
  const Selection selected(screen.get(), handle.get());
  SIZE extent = {};
  GetTextExtentPoint32A(screen.get(), "0", 1, &extent);
  return extent.cy;
}

// Which icon the application's window carries: "main" when it is the program's MAINICON.
std::string ApplicationIcon(HWND window) {
  HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
  if (icon == nullptr) return "none";
  return icon == LoadIconA(GetModuleHandleA(nullptr), kMainIcon) ? "main" : "other";
}

std::string Report() {
  const HWND form = Form1->Handle();
  const HWND application = Application->Handle();
  RECT client = {};
  GetClientRect(form, &client);
  POINT origin = {0, 0};
  ClientToScreen(form, &origin);
  const WindowDc screen(nullptr);
  const int pixels_per_inch = GetDeviceCaps(screen.get(), LOGPIXELSY);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const TImage& image = *Form1->Image1;

  std::string out;
  out += "screen=" + Pair(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) + "\n";
  out += "pixels_per_inch=" + std::to_string(pixels_per_inch) + "\n";
  out += "text_height=" + std::to_string(TextHeightAt(pixels_per_inch)) + "\n";
  out += "button_face=" + Pair(GetRValue(face), GetGValue(face)) + "," +
         std::to_string(GetBValue(face)) + "\n";
  out += "form_window=" + WindowRectOf(form) + "\n";
  out += "form_client=" + Pair(client.right - client.left, client.bottom - client.top) + "\n";
  out += "form_client_origin=" + Pair(origin.x, origin.y) + "\n";
  out += "form_style=" + Hex32(static_cast<DWORD>(GetWindowLongA(form, GWL_STYLE))) + "\n";
  out += "form_exstyle=" + Hex32(static_cast<DWORD>(GetWindowLongA(form, GWL_EXSTYLE))) + "\n";
  out += "form_owner_is_application=" + Flag(GetWindow(form, GW_OWNER) == application) + "\n";
  out += "form_text=" + WindowText(form) + "\n";
  out += "form_visible=" + Flag(IsWindowVisible(form)) + "\n";
  out += "form_zoomed=" + Flag(IsZoomed(form)) + "\n";
  out += "form_iconic=" + Flag(IsIconic(form)) + "\n";
  out += "image=" + Pair(image.Left(), image.Top()) + "," + Pair(image.Width(), image.Height()) +
         "\n";
  out += "application_window=" + WindowRectOf(application) + "\n";
  out += "application_text=" + WindowText(application) + "\n";
  out += "application_icon=" + ApplicationIcon(application) + "\n";
  out += "application_visible=" + Flag(IsWindowVisible(application)) + "\n";
  out += "application_iconic=" + Flag(IsIconic(application)) + "\n";
  return out;
}

// Reports once, on the loop's first idle step, and stops the loop when asked or at the
// bound. The application's idle step and its timer messages both run on this thread.
class Watch : public IdleListener {
 public:
  Watch(std::string report, std::string stop, DWORD timeout)
      : report_(std::move(report)), stop_(std::move(stop)), deadline_(timeout) {
    instance_ = this;
    timer_ = SetTimer(nullptr, 0, kStopPollMilliseconds, Poll);
  }
  ~Watch() override {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    instance_ = nullptr;
  }
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  void ApplicationIdle(bool& /*done*/) override {
    if (reported_) return;
    reported_ = true;
    WriteResultFile(report_, Report());
  }

  ExitCode exit_code() const { return exit_code_; }

 private:
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    Watch* watch = instance_;
    if (watch == nullptr || watch->quitting_) return;
    const bool stop = FileExists(watch->stop_.c_str());
    if (!stop && !watch->deadline_.passed()) return;
    watch->exit_code_ = stop ? kStopped : kTimedOut;
    watch->quitting_ = true;
    Application->Terminate();
  }

  static Watch* instance_;
  std::string report_;
  std::string stop_;
  Deadline deadline_;
  UINT_PTR timer_ = 0;
  bool reported_ = false;
  bool quitting_ = false;
  ExitCode exit_code_ = kStopped;
};

Watch* Watch::instance_ = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* report = Option("--report");
  const char* stop = Option("--stop");
  if (report == nullptr || stop == nullptr) return kUsage;

  // Module initialisation and the main window, as in the program block.
  InitPlatformFamily(QuerySystemPlatformId);
  Application = new TApplication();
  Application->CreateForm(Form1);

  ExitCode code = kStopped;
  {
    Watch watch(report, stop, OptionMilliseconds("--timeout-ms", kDefaultTimeoutMilliseconds));
    Application->AddIdleListener(&watch);
    Application->Run();
    Application->RemoveIdleListener(&watch);
    code = watch.exit_code();
  }
  delete Application;
  Application = nullptr;
  ExitProcess(code);
}
