// Decode time of the splash picture, in both forms the window can ask for: 24-bit colour
// and 236 colours with a palette of its own (for displays of 256 colours or fewer). Each
// iteration decodes from the file's bytes, as the first drawing of the window does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/jpeg_image.h"

namespace {

std::vector<uint8_t> ReadPicture() {
  std::ifstream file(SPLASH_PICTURE, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (bytes.empty()) throw std::runtime_error("cannot read " SPLASH_PICTURE);
  return bytes;
}

void DecodeSplash(benchmark::State& state, PictureColors colors) {
  const std::vector<uint8_t> bytes = ReadPicture();
  const TJPEGImage header(bytes);
  for (auto _ : state) {
    DecodedPicture picture = DecodeJpeg(bytes, header.Width(), header.Height(), colors);
    benchmark::DoNotOptimize(picture.pixels.data());
  }
  state.counters["pixels"] = static_cast<double>(header.Width()) * header.Height();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK_CAPTURE(DecodeSplash, true_color_24bit, PictureColors::kTrueColor)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(DecodeSplash, palette_236_colors, PictureColors::kPalette236)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
