// What the fuzz targets share: a property check that stops the run with the property's
// text, and a reader over the input that hands out zeros once the bytes run out, so that
// every input, however short, means something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_REQUIRE(condition)                                                      \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,      \
                   #condition);                                                      \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

  uint32_t UInt32() {  // little-endian
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(Byte()) << shift;
    return value;
  }

  // The next `length` bytes, or as many as are left.
  std::string Bytes(size_t length) {
    const size_t count = length < size_ - position_ ? length : size_ - position_;
    std::string bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
  }

  std::string Rest() { return Bytes(size_ - position_); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};
