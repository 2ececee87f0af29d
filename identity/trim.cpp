#include "identity/text.h"

namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

Text Trim(const Text& text) {
  size_t first = 0;
  size_t end = text.size();
  while (first < end && IsBlankOrControl(text[first])) ++first;
  while (end > first && IsBlankOrControl(text[end - 1])) --end;
  return text.substr(first, end - first);
}
