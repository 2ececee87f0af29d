// The JPEG picture class of the image control: holds the file's bytes, knows its size from
// the header as soon as it is loaded, and decodes the image only when it is first drawn.
// The decoded form is kept and handed out for every later drawing. Nothing here draws:
// the window layer puts the decoded rows on the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How a picture is decoded for a display: 24-bit colour, or, for displays of 8 bits per
// pixel or fewer, 236 colours with a palette computed for the picture.
enum class PictureColors { kTrueColor, kPalette236 };

PictureColors ColorsForDisplay(int bits_per_pixel);

struct PaletteEntry {
  uint8_t red, green, blue;
};

// A decoded picture laid out as a Windows DIB's bits: rows top-down (declare the DIB with a
// negative height), each `stride` bytes, a multiple of 4.
struct DecodedPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bits_per_pixel = 0;  // 24: blue, green, red bytes; 8: an index into `palette`
  size_t stride = 0;
  std::vector<uint8_t> pixels;
  std::vector<PaletteEntry> palette;  // 8 bits per pixel only; at most 236 entries
};

// Decodes `bytes`, whose header gave width x height. Raises Exception on corrupt data.
DecodedPicture DecodeJpeg(const std::vector<uint8_t>& bytes, uint32_t width, uint32_t height,
                          PictureColors colors);

class TJPEGImage {
 public:
  static constexpr const char* kClassName = "TJPEGImage";
  using Decoder = DecodedPicture (*)(const std::vector<uint8_t>& bytes, uint32_t width,
                                     uint32_t height, PictureColors colors);

  // Keeps the bytes and reads the header; raises Exception if the header cannot be read.
  // `decoder` is replaceable so that tests can watch the decoding.
  explicit TJPEGImage(std::vector<uint8_t> bytes, Decoder decoder = DecodeJpeg);

  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  bool Progressive() const { return progressive_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  // The picture decoded for `colors`: decoded at the first request, the same object for
  // every later one. Raises Exception when the data are corrupt, and raises the same
  // error again for later requests without decoding anew.
  const DecodedPicture& Decoded(PictureColors colors);

 private:
  struct Cached {
    std::unique_ptr<DecodedPicture> picture;
    std::string error;  // set when decoding failed
  };

  std::vector<uint8_t> bytes_;
  Decoder decoder_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  bool progressive_ = false;
  Cached true_color_;
  Cached palette_;
};
