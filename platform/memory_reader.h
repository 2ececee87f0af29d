// Reads bytes at a linear address of the process's own address space. On Windows this
// is ReadProcessMemory on the own process, so a fault comes back as a failed call instead
// of an access violation.
#pragma once

#include <cstddef>
#include <cstdint>

class MemoryReader {
 public:
  virtual ~MemoryReader() = default;
  // True when all `size` bytes were read into `out`.
  virtual bool Read(uint32_t address, uint8_t* out, size_t size) = 0;
};
