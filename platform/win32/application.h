// The application object: its own hidden window (whose text is the title and which carries
// the taskbar button), the forms it owns, the message loop with its idle step, and the
// exception display.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

class TForm;

// Receives the application's idle step; `done` arrives true.
class IdleListener {
 public:
  virtual ~IdleListener() = default;
  virtual void ApplicationIdle(bool& done) = 0;
};

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  HINSTANCE Instance() const { return instance_; }
  TForm* MainForm() const { return main_form_; }

  // Creates a form of class T into `reference`, owned by the application. The form's
  // creation handler runs inside; an exception leaving it is shown and dropped.
  template <class T>
  void CreateForm(T*& reference) {
    auto form = std::make_unique<T>(*this);
    reference = form.get();
    AdoptForm(std::move(form));
  }

  // Posts the quit request (no terminate procedures are ever registered).
  void Terminate();

  // Shows the main form by the start-up show state, then runs the loop until WM_QUIT.
  void Run();

  // Shows an exception in a modal error box captioned with the title; EAbort shows nothing.
  void HandleException(const std::exception& error);

  void AddIdleListener(IdleListener* listener);
  void RemoveIdleListener(IdleListener* listener);

  // Destroys the forms it owns, last created first.
  void DestroyComponents();

 private:
  void AdoptForm(std::unique_ptr<TForm> form);
  void ShowMainForm();
  void Idle();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  std::string title_;
  HWND handle_ = nullptr;
  TForm* main_form_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
  std::vector<IdleListener*> idle_listeners_;
};

// The one application object, created during module initialisation.
extern TApplication* Application;
