// The window definition reader: any resource bytes give a definition or an Exception that
// names the fault, never a crash, another kind of error or a read outside the bytes.
//
// Input: the resource's bytes, all of it.
#include <string>

#include "fuzz_support.h"
#include "platform/exceptions.h"
#include "platform/window_definition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const WindowDefinition definition = ReadWindowDefinition(data, size);
    // Whatever was read came out of these bytes.
    FUZZ_REQUIRE(!definition.form.class_name.empty());
    FUZZ_REQUIRE(definition.image.picture.bytes.size() < size);
    FUZZ_REQUIRE(definition.form.caption.size() < size);
  } catch (const Exception& error) {
    const std::string message = error.what();
    FUZZ_REQUIRE(message.rfind("Invalid window definition: ", 0) == 0);
    FUZZ_REQUIRE(message.find(" at offset ") != std::string::npos);
  }
  return 0;
}
