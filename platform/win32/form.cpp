#include "platform/win32/form.h"

#include <exception>

#include "platform/exceptions.h"
#include "platform/form_geometry.h"
#include "platform/win32/application.h"
#include "platform/win32/gdi_handles.h"

namespace {

// A pop-up with no border, no caption bar and no system menu.
constexpr DWORD kBorderlessStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

void RegisterFormClass(HINSTANCE instance, const char* class_name, WNDPROC procedure) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, class_name, &existing)) return;
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = class_name;
  if (!RegisterClassA(&window_class)) throw Exception("Error registering window class");
}

int ScreenPixelsPerInch() {
  const WindowDc screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The height of "0" in the form's font at the given height, as the screen draws it.
int32_t MeasureTextHeight(const FontDefinition& font, int32_t height) {
  GdiObject<HFONT> handle(CreateFontA(
      height, 0, 0, 0, (font.style & fsBold) ? FW_BOLD : FW_NORMAL, (font.style & fsItalic) != 0,
      (font.style & fsUnderline) != 0, (font.style & fsStrikeOut) != 0,
      static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
      DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
  const WindowDc screen(nullptr);
  const Selection selected(screen.get(), handle.get());
  SIZE extent = {};
  GetTextExtentPoint32A(screen.get(), "0", 1, &extent);
  return extent.cy;
}

COLORREF ColorValue(const Color& color) {
  return color.system ? GetSysColor(static_cast<int>(color.value)) : color.value;
}

}  // namespace

WindowDefinition LoadWindowDefinition(HINSTANCE instance, const char* name) {
  const HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) throw Exception(std::string("Resource ") + name + " not found");
  return ReadWindowDefinition(static_cast<const uint8_t*>(bytes),
                              SizeofResource(instance, found));
}

TForm::TForm(TApplication& application) : application_(application) {}

TForm::~TForm() {
  if (handle_ != nullptr) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

void TForm::CreateHandle(const FormDefinition& definition) {
  if (definition.border_style != BorderStyle::bsNone) {
    throw Exception("Only borderless forms are supported");
  }
  RegisterFormClass(application_.Instance(), definition.class_name.c_str(), WindowProc);
  screen_center_ = definition.position == FormPosition::poScreenCenter;
  color_ = definition.color;

  ScaledLayout layout = {definition.font.height, definition.client_width,
                         definition.client_height};
  if (definition.scaled) {
    const DesignMetrics design = {definition.font.height, definition.client_width,
                                  definition.client_height, definition.pixels_per_inch,
                                  definition.text_height};
    layout = ScaleForScreen(design, ScreenPixelsPerInch(), [&](int32_t height) {
      return MeasureTextHeight(definition.font, height);
    });
  }

  // Without a frame the outer size is the client size.
  handle_ = CreateWindowExA(0, definition.class_name.c_str(), definition.caption.c_str(),
                            kBorderlessStyle, definition.left, definition.top,
                            layout.client_width, layout.client_height, application_.Handle(),
                            nullptr, application_.Instance(), this);
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
  const ScreenPoint at = CenteredPosition(GetSystemMetrics(SM_CXSCREEN),
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
  const GdiObject<HBRUSH> background(CreateSolidBrush(ColorValue(color_)));
  FillRect(dc, &client, background.get());
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
