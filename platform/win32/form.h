// The form base: one borderless top-level window owned by the application's window,
// created hidden, painted by the derived class.
#pragma once

#include <windows.h>

#include <string>

class TApplication;

struct FormProperties {
  std::string caption;
  int left = 0;
  int top = 0;
  int client_width = 0;
  int client_height = 0;
  bool screen_center = false;  // centre once when first shown
};

class TForm {
 public:
  explicit TForm(TApplication& application);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle() const { return handle_; }

  // Runs the creation handler; an exception leaving it goes to the exception display.
  void RunCreateHandler();

  void ShowNormal();
  void ShowMaximized();

 protected:
  // Creates the window, hidden, at its final size.
  void CreateHandle(const FormProperties& properties);

  virtual void FormCreateHandler() {}
  virtual void Paint(HDC dc, const RECT& client);

  TApplication& application_;

 private:
  void PlaceOnce();
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
  bool screen_center_ = false;
  bool placed_ = false;
};
