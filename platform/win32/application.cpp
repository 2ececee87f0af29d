#include "platform/win32/application.h"

#include <algorithm>

#include "platform/app_title.h"
#include "platform/exception_display.h"
#include "platform/exceptions.h"
#include "platform/win32/form.h"
#include "platform/win32/module_name.h"

TApplication* Application = nullptr;

namespace {

constexpr char kApplicationClass[] = "TApplication";
constexpr char kMainIcon[] = "MAINICON";
constexpr DWORD kApplicationStyle =
    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;

std::string SystemLower(const std::string& text) {
  std::string lower = text;
  if (!lower.empty()) CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
  return lower;
}

// wShowWindow when STARTF_USESHOWWINDOW is set, SW_SHOWDEFAULT otherwise.
int StartupShowState() {
  STARTUPINFOA info = {};
  info.cb = sizeof info;
  GetStartupInfoA(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

TApplication::TApplication()
    : instance_(GetModuleHandleA(nullptr)),
      title_(TitleFromModuleName(ModuleFileName(), SystemLower)) {

  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance_;
  window_class.hIcon = LoadIconA(instance_, kMainIcon);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = kApplicationClass;
  RegisterClassA(&window_class);

  // No size: the window is there for the taskbar button and to own the forms.
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2;
  handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(), kApplicationStyle, left, top,
                            0, 0, nullptr, nullptr, instance_, nullptr);
}

TApplication::~TApplication() {
  DestroyComponents();
  if (handle_ != nullptr) DestroyWindow(handle_);
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
  form->RunCreateHandler();
  if (main_form_ == nullptr) main_form_ = form.get();
  forms_.push_back(std::move(form));
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::ShowMainForm() {
  if (main_form_ == nullptr) return;
  switch (StartupShowState()) {
    case SW_SHOWMAXIMIZED:
      ShowWindow(handle_, SW_SHOWNOACTIVATE);
      main_form_->ShowMaximized();
      break;
    case SW_SHOWMINNOACTIVE:
      // The application is minimised to its taskbar button; the form is not shown.
      ShowWindow(handle_, SW_SHOWMINNOACTIVE);
      break;
    default:
      ShowWindow(handle_, SW_SHOWNOACTIVATE);
      main_form_->ShowNormal();
      break;
  }
}

void TApplication::Idle() {
  bool done = true;
  for (IdleListener* listener : idle_listeners_) {
    try {
      listener->ApplicationIdle(done);
    } catch (const std::exception& error) {
      HandleException(error);
    }
  }
  if (done) WaitMessage();
}

void TApplication::Run() {
  ShowMainForm();
  for (;;) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) break;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      Idle();
    }
  }
}

void TApplication::HandleException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  const std::string text = DisplayText(error.what());
  MessageBoxA(handle_, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::AddIdleListener(IdleListener* listener) {
  idle_listeners_.push_back(listener);
}

void TApplication::RemoveIdleListener(IdleListener* listener) {
  idle_listeners_.erase(std::remove(idle_listeners_.begin(), idle_listeners_.end(), listener),
                        idle_listeners_.end());
}

void TApplication::DestroyComponents() {
  // The application hides what it owns before the windows go.
  if (handle_ != nullptr) ShowWindow(handle_, SW_HIDE);
  while (!forms_.empty()) forms_.pop_back();
  main_form_ = nullptr;
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wparam,
                                          LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}
