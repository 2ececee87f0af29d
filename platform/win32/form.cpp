#include "platform/win32/form.h"

#include <exception>

#include "platform/exceptions.h"
#include "platform/win32/application.h"

namespace {

constexpr char kFormClass[] = "TForm";
// A pop-up with no border, no caption bar and no system menu.
constexpr DWORD kFormStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

void RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, kFormClass, &existing)) return;
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = kFormClass;
  RegisterClassA(&window_class);
}

struct Placement {
  int left, top;
};

// Truncated halves, never negative: on a screen smaller than the window it sits at 0.
Placement CenterOnScreen(int screen_width, int screen_height, int width, int height) {
  const int left = (screen_width - width) / 2;
  const int top = (screen_height - height) / 2;
  return {left < 0 ? 0 : left, top < 0 ? 0 : top};
}

}  // namespace

TForm::TForm(TApplication& application) : application_(application) {}

TForm::~TForm() {
  if (handle_ != nullptr) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

void TForm::CreateHandle(const FormProperties& properties) {
  RegisterFormClass(application_.Instance(), WindowProc);
  screen_center_ = properties.screen_center;
  // Without a frame the outer size is the client size.
  handle_ = CreateWindowExA(0, kFormClass, properties.caption.c_str(), kFormStyle,
                            properties.left, properties.top, properties.client_width,
                            properties.client_height, application_.Handle(), nullptr,
                            application_.Instance(), this);
  if (handle_ == nullptr) throw Exception("Error creating window");
}

void TForm::RunCreateHandler() {
  try {
    FormCreateHandler();
  } catch (const std::exception& error) {
    application_.HandleException(error);
  }
}

void TForm::PlaceOnce() {
  if (placed_) return;
  placed_ = true;
  if (!screen_center_) return;
  RECT outer;
  GetWindowRect(handle_, &outer);
  const Placement at = CenterOnScreen(GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN), outer.right - outer.left,
                                      outer.bottom - outer.top);
  SetWindowPos(handle_, nullptr, at.left, at.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::ShowNormal() {
  PlaceOnce();
  ShowWindow(handle_, SW_SHOWNORMAL);
}

void TForm::ShowMaximized() {
  PlaceOnce();
  ShowWindow(handle_, SW_SHOWMAXIMIZED);
}

void TForm::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // Paint fills the background together with the picture
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(handle_, &paint);
      RECT client;
      GetClientRect(handle_, &client);
      try {
        Paint(dc, client);
      } catch (const std::exception& error) {
        EndPaint(handle_, &paint);
        application_.HandleException(error);
        return 0;
      }
      EndPaint(handle_, &paint);
      return 0;
    }
    default:
      return DefWindowProcA(handle_, message, wparam, lparam);
  }
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    auto* form = static_cast<TForm*>(create->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  // No exception may cross the system's frames: handlers report their own.
  try {
    return form->HandleMessage(message, wparam, lparam);
  } catch (const std::exception& error) {
    form->application_.HandleException(error);
    return 0;
  }
}
