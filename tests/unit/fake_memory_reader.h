// A scripted view of the process's memory: gives the bytes a case sets, fails, or throws,
// and records every read asked of it.
#pragma once

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/memory_reader.h"

class FakeMemoryReader : public MemoryReader {
 public:
  enum class Outcome { kBytes, kFails, kThrowsStdException, kThrowsAnythingElse };

  struct ReadCall {
    uint32_t address;
    size_t size;
  };

  Outcome outcome = Outcome::kBytes;
  std::string bytes = std::string(8, 'Z');  // what a successful read gives

  std::vector<ReadCall> reads;

  bool Read(uint32_t address, uint8_t* out, size_t size) override {
    reads.push_back({address, size});
    switch (outcome) {
      case Outcome::kFails:
        return false;
      case Outcome::kThrowsStdException:
        throw std::runtime_error("access violation");
      case Outcome::kThrowsAnythingElse:
        throw 0xC0000005u;
      case Outcome::kBytes:
        break;
    }
    std::memcpy(out, bytes.data(), std::min(size, bytes.size()));
    return true;
  }
};
