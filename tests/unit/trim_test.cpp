#include <gtest/gtest.h>

#include <string>

#include "identity/text.h"

namespace {

using namespace std::string_literals;

// Every code from 0 to 32.
std::string ControlsAndBlank() {
  std::string s;
  for (int code = 0; code <= 32; ++code) s += static_cast<char>(code);
  return s;
}

TEST(Trim, RemovesCodes0To32AtBothEndsOnly) {
  const std::string edge = ControlsAndBlank();
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"empty", "", ""},
      {"only codes 0 to 32", edge, ""},
      {"every such code at both ends", edge + "A" + edge + "B" + edge, "A" + edge + "B"},
      {"zero byte and blank inside stay", "\0 12/31\0 99 \0"s, "12/31\0 99"s},
      {"code 33 is kept", "! x !", "! x !"},
      // Bytes of 128 and above are characters, not controls, whatever char's sign.
      {"high bytes are kept", "\x80\xff x \xa0\x81"s, "\x80\xff x \xa0\x81"s},
      {"code 127 is kept", "\x7f" "A\x7f"s, "\x7f" "A\x7f"s},
  };
  for (const auto& c : cases) EXPECT_EQ(Trim(c.text), c.expected) << c.name;
}

}  // namespace
