#include <algorithm>

#include "identity/bios_readers.h"

StringList SplitMultiString(const uint8_t* data, size_t size) {
  StringList strings;
  size_t position = 0;
  while (position < size && data[position] != 0) {
    const uint8_t* begin = data + position;
    const uint8_t* end = std::find(begin, data + size, uint8_t{0});
    strings.emplace_back(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin));
    position += strings.back().size() + 1;
  }
  return strings;
}

Text JoinVersionStrings(const StringList& strings) {
  Text joined;
  const auto append_limited = [&joined](const Text& part) {
    if (joined.size() < kVersionTextLimit) {
      joined.append(part, 0, kVersionTextLimit - joined.size());
    }
  };
  for (size_t i = 0; i < strings.size(); ++i) {
    append_limited(strings[i]);
    if (i + 1 < strings.size()) append_limited(kVersionSeparator);
  }
  return joined;
}
