#include "platform/jpeg_image.h"

#include "platform/exceptions.h"
#include "platform/jpeg_decode.h"

namespace {

// Larger pictures are refused before any memory is asked for: a damaged header can claim
// up to 65500 x 65500 pixels.
constexpr uint64_t kMaxPixels = uint64_t{16} * 1024 * 1024;

[[noreturn]] void RaiseJpegError(const char* message) {
  throw Exception(std::string("JPEG error: ") + message);
}

DecodedPicture EmptyPicture(uint32_t width, uint32_t height, uint32_t bits_per_pixel) {
  if (static_cast<uint64_t>(width) * height > kMaxPixels) {
    RaiseJpegError(("picture too large to decode (" + std::to_string(width) + " x " +
                    std::to_string(height) + ")")
                       .c_str());
  }
  DecodedPicture picture;
  picture.width = width;
  picture.height = height;
  picture.bits_per_pixel = bits_per_pixel;
  picture.stride = JpegDecodeStride(width, bits_per_pixel / 8);
  picture.pixels.resize(picture.stride * height);
  return picture;
}

}  // namespace

PictureColors ColorsForDisplay(int bits_per_pixel) {
  return bits_per_pixel <= 8 ? PictureColors::kPalette236 : PictureColors::kTrueColor;
}

DecodedPicture DecodeJpeg(const std::vector<uint8_t>& bytes, uint32_t width, uint32_t height,
                          PictureColors colors) {
  char message[JPEG_DECODE_MESSAGE_SIZE];
  if (colors == PictureColors::kTrueColor) {
    DecodedPicture picture = EmptyPicture(width, height, 24);
    if (JpegDecodeBgr(bytes.data(), bytes.size(), width, height, picture.pixels.data(),
                      picture.pixels.size(), message) != JPEG_DECODE_OK) {
      RaiseJpegError(message);
    }
    return picture;
  }

  DecodedPicture picture = EmptyPicture(width, height, 8);
  uint8_t palette[JPEG_DECODE_PALETTE_COLORS][3];
  uint32_t colors_used = 0;
  if (JpegDecodeIndexed(bytes.data(), bytes.size(), width, height, picture.pixels.data(),
                        picture.pixels.size(), palette, &colors_used, message) != JPEG_DECODE_OK) {
    RaiseJpegError(message);
  }
  for (uint32_t i = 0; i < colors_used; ++i) {
    picture.palette.push_back({palette[i][0], palette[i][1], palette[i][2]});
  }
  return picture;
}

TJPEGImage::TJPEGImage(std::vector<uint8_t> bytes, Decoder decoder)
    : bytes_(std::move(bytes)), decoder_(decoder) {
  JpegHeader header;
  char message[JPEG_DECODE_MESSAGE_SIZE];
  if (JpegDecodeHeader(bytes_.data(), bytes_.size(), &header, message) != JPEG_DECODE_OK) {
    RaiseJpegError(message);
  }
  width_ = header.width;
  height_ = header.height;
  progressive_ = header.progressive != 0;
}

const DecodedPicture& TJPEGImage::Decoded(PictureColors colors) {
  Cached& cached = colors == PictureColors::kTrueColor ? true_color_ : palette_;
  if (!cached.picture && cached.error.empty()) {
    try {
      cached.picture = std::make_unique<DecodedPicture>(decoder_(bytes_, width_, height_, colors));
    } catch (const std::exception& error) {
      cached.error = error.what();
    }
  }
  if (!cached.picture) throw Exception(cached.error);
  return *cached.picture;
}
