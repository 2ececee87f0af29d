#include "platform/exceptions.h"

// Out of line so that the return address is the raising code's, which the last-resort
// handler shows as the place of the fault.
__attribute__((noinline)) Exception::Exception(const std::string& message)
    : std::runtime_error(message),
      address_(reinterpret_cast<uintptr_t>(__builtin_return_address(0))) {}
