// The form base: one borderless top-level window owned by the application's window,
// created hidden, painted by the derived class.
#pragma once

#include <windows.h>

#include <string>

#include "platform/window_definition.h"

class TApplication;

// The definition carried as the RCDATA resource `name` of the program.
WindowDefinition LoadWindowDefinition(HINSTANCE instance, const char* name);

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
  // Creates the window from the form's own values, hidden, at its final size: scaled when
  // the screen's pixels per inch differ from the design's.
  void CreateHandle(const FormDefinition& definition);

  virtual void FormCreateHandler() {}
  // Fills the background with the form's colour; derived forms draw over it.
  virtual void Paint(HDC dc, const RECT& client);

  TApplication& application_;

 private:
  void PlaceOnce();
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
  Color color_ = clBtnFace;
  bool screen_center_ = false;
  bool placed_ = false;
};
