#include "platform/app_title.h"

std::string AsciiLower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string FileNamePart(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TitleFromModuleName(const std::string& module_name, LowerCaseFn lower) {
  std::string name = FileNamePart(module_name);
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > 1) name.replace(1, std::string::npos, lower(name.substr(1)));
  return name;
}
