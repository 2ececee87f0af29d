// The one window: the splash, created hidden; its creation handler runs the
// identification run.
#pragma once

#include "platform/win32/application.h"
#include "platform/win32/form.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TApplication& application);

  void FormCreate(TForm* sender);

 protected:
  void FormCreateHandler() override { FormCreate(this); }
};

extern TForm1* Form1;
