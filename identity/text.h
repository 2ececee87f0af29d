// Text as the readers and the identification files see it: 8-bit characters in the
// system's ANSI code page, any byte value allowed (NUL included), any length.
#pragma once

#include <string>

using Text = std::string;

// Removes every leading and trailing character whose code is 0 to 32; characters of
// those codes inside the text stay.
Text Trim(const Text& text);
