#include "identity/bios_readers.h"

Text RebuildRomDate(const uint8_t rom[kRomDateLength]) {
  const auto at = [rom](size_t position) { return static_cast<char>(rom[position - 1]); };
  return Text{at(1), at(2), '/', at(4), at(5), '/', at(7), at(8)};
}
