#include "platform/app_title.h"

std::string AsciiLower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string TitleFromModuleName(const std::string& module_name, LowerCaseFn lower) {
  const size_t slash = module_name.rfind('\\');
  std::string name = slash == std::string::npos ? module_name : module_name.substr(slash + 1);
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > 1) name.replace(1, std::string::npos, lower(name.substr(1)));
  return name;
}
