#include "platform/exception_display.h"

#include <cstdio>

std::string DisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

std::string LastResortText(const std::string& class_name, const std::string& module_name,
                           uintptr_t address, const std::string& message) {
  char where[32];
  (void)std::snprintf(where, sizeof where, "%08lX", static_cast<unsigned long>(address));
  std::string text = "Exception " + class_name + " in module " + module_name + " at " + where +
                     ".\r\n" + message;
  if (!message.empty() && message.back() != '.') text += ".";
  return text;
}
