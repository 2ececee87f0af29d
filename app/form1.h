// The one window: the splash, built from the window definition "TFORM1". Its creation
// handler runs the identification run; its idle handler repaints it at once.
#pragma once

#include <memory>

#include "platform/win32/application.h"
#include "platform/win32/application_events.h"
#include "platform/win32/form.h"
#include "platform/win32/image.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TApplication& application);
  ~TForm1() override;

  std::unique_ptr<TImage> Image1;
  std::unique_ptr<TApplicationEvents> ApplicationEvents1;

  void FormCreate(TForm* sender);
  void ApplicationEvents1Idle(TApplication* sender, bool& done);

 protected:
  void FormCreateHandler() override;
  void Paint(HDC dc, const RECT& client) override;

 private:
  void (TForm1::*on_create_)(TForm*) = nullptr;
};

extern TForm1* Form1;
