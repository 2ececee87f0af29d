// The idle hook as a component: attaches itself to the application's idle step for its
// lifetime and hands the step to its OnIdle handler.
#pragma once

#include <functional>

#include "platform/win32/application.h"

class TApplicationEvents : public IdleListener {
 public:
  using IdleHandler = std::function<void(TApplication* sender, bool& done)>;

  explicit TApplicationEvents(TApplication& application) : application_(application) {
    application_.AddIdleListener(this);
  }
  ~TApplicationEvents() override { application_.RemoveIdleListener(this); }
  TApplicationEvents(const TApplicationEvents&) = delete;
  TApplicationEvents& operator=(const TApplicationEvents&) = delete;

  IdleHandler OnIdle;

  void ApplicationIdle(bool& done) override {
    if (OnIdle) OnIdle(&application_, done);
  }

 private:
  TApplication& application_;
};
