// The least a launcher of this kind can do: register a window class, create one window and
// show it, hand the local address to the shell, post the quit request, run the message loop
// until it takes that request, and exit. The benchmark puts start.exe beside it, so the
// difference between the two is the cost of start.exe's own work (identification run,
// window definition, picture). Built with the same compiler and flags as start.exe.
#include <windows.h>

namespace {

constexpr char kClassName[] = "FloorWindow";
constexpr char kLocalAddress[] = "http://localhost:5683/";
constexpr char kNoText[] = "";
constexpr int kWidth = 320;
constexpr int kHeight = 240;

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  return RegisterClassA(&window_class) != 0;
}

HWND CreateCentredWindow(HINSTANCE instance) {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  return CreateWindowExA(0, kClassName, "Floor", WS_POPUP, left, top, kWidth, kHeight,
                         nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  if (!RegisterWindowClass(instance)) return 1;
  HWND window = CreateCentredWindow(instance);
  if (window == nullptr) return 1;
  ShellExecuteA(window, "open", kLocalAddress, kNoText, kNoText, SW_SHOWNORMAL);
  PostQuitMessage(0);
  ShowWindow(window, show_command);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DestroyWindow(window);
  return 0;
}
