#include "platform/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/jpeg_decode.h"
#include "splash_data.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Splash() { return Bytes(kSplashJpeg, kSplashJpeg + sizeof kSplashJpeg); }

// The reference decode: djpeg's binary PPM of the splash picture, red-green-blue rows.
struct Reference {
  uint32_t width = 0, height = 0;
  const unsigned char* rgb = nullptr;
};

Reference ParseReference() {
  const std::string header = "P6\n251 159\n255\n";
  EXPECT_EQ(0, std::memcmp(kSplashReferencePpm, header.data(), header.size()));
  EXPECT_EQ(sizeof kSplashReferencePpm, header.size() + 251 * 159 * 3);
  return {251, 159, kSplashReferencePpm + header.size()};
}

// Mean of |decoded - reference| per channel over the whole picture, where `pixel` gives
// the decoded red, green and blue of a position.
template <class PixelAt>
double MeanError(const Reference& ref, PixelAt pixel) {
  uint64_t total = 0;
  for (uint32_t y = 0; y < ref.height; ++y) {
    for (uint32_t x = 0; x < ref.width; ++x) {
      const unsigned char* expected = ref.rgb + (static_cast<size_t>(y) * ref.width + x) * 3;
      const PaletteEntry got = pixel(x, y);
      total += std::abs(got.red - expected[0]) + std::abs(got.green - expected[1]) +
               std::abs(got.blue - expected[2]);
    }
  }
  return static_cast<double>(total) / (3.0 * ref.width * ref.height);
}

PaletteEntry TrueColorAt(const DecodedPicture& p, uint32_t x, uint32_t y) {
  const uint8_t* bgr = p.pixels.data() + y * p.stride + x * 3;
  return {bgr[2], bgr[1], bgr[0]};
}

TEST(TJPEGImage, ReadsTheHeaderWhenLoaded) {
  TJPEGImage image(Splash());
  EXPECT_EQ(image.Width(), 251u);
  EXPECT_EQ(image.Height(), 159u);
  EXPECT_TRUE(image.Progressive());
}

TEST(TJPEGImage, TrueColorIsTopDownBlueGreenRedInDibRows) {
  TJPEGImage image(Splash());
  const DecodedPicture& p = image.Decoded(PictureColors::kTrueColor);
  EXPECT_EQ(p.width, 251u);
  EXPECT_EQ(p.height, 159u);
  EXPECT_EQ(p.bits_per_pixel, 24u);
  EXPECT_EQ(p.stride, 756u);  // 753 bytes of pixels, padded to a multiple of 4
  EXPECT_EQ(p.pixels.size(), 756u * 159);
  EXPECT_TRUE(p.palette.empty());

  const Reference ref = ParseReference();
  // The same library decodes both, with or without its SIMD routines: at most rounding.
  EXPECT_LT(MeanError(ref, [&](uint32_t x, uint32_t y) { return TrueColorAt(p, x, y); }), 0.5);
}

int decodes = 0;

DecodedPicture CountingDecoder(const Bytes& bytes, uint32_t width, uint32_t height,
                               PictureColors colors) {
  ++decodes;
  return DecodeJpeg(bytes, width, height, colors);
}

TEST(TJPEGImage, DecodesOnceHoweverManyDrawRequests) {
  decodes = 0;
  TJPEGImage image(Splash(), CountingDecoder);
  EXPECT_EQ(decodes, 0) << "loading only reads the header";

  const DecodedPicture* first = &image.Decoded(PictureColors::kTrueColor);
  for (int repaint = 0; repaint < 5; ++repaint) {
    EXPECT_EQ(&image.Decoded(PictureColors::kTrueColor), first);
  }
  EXPECT_EQ(decodes, 1);

  const DecodedPicture* indexed = &image.Decoded(PictureColors::kPalette236);
  for (int repaint = 0; repaint < 5; ++repaint) {
    EXPECT_EQ(&image.Decoded(PictureColors::kPalette236), indexed);
  }
  EXPECT_EQ(decodes, 2);
}

TEST(TJPEGImage, PaletteDecodeHasAtMost236ColoursAndStaysClose) {
  TJPEGImage image(Splash());
  const DecodedPicture& p = image.Decoded(PictureColors::kPalette236);
  const DecodedPicture& full = image.Decoded(PictureColors::kTrueColor);
  EXPECT_EQ(p.bits_per_pixel, 8u);
  EXPECT_EQ(p.stride, 252u);
  EXPECT_EQ(p.pixels.size(), 252u * 159);
  ASSERT_LE(p.palette.size(), 236u);
  EXPECT_GE(p.palette.size(), 64u) << "a palette chosen for the picture, not a handful";

  for (uint32_t y = 0; y < p.height; ++y) {
    for (uint32_t x = 0; x < p.width; ++x) {
      ASSERT_LT(p.pixels[y * p.stride + x], p.palette.size()) << x << "," << y;
    }
  }
  Reference as_decoded{full.width, full.height, nullptr};
  std::vector<unsigned char> rgb;
  for (uint32_t y = 0; y < full.height; ++y) {
    for (uint32_t x = 0; x < full.width; ++x) {
      const PaletteEntry c = TrueColorAt(full, x, y);
      rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    }
  }
  as_decoded.rgb = rgb.data();
  const double error = MeanError(
      as_decoded, [&](uint32_t x, uint32_t y) { return p.palette[p.pixels[y * p.stride + x]]; });
  EXPECT_LT(error, 4.0);
}

TEST(TJPEGImage, DisplaysOfEightBitsOrFewerGetThePalette) {
  EXPECT_EQ(ColorsForDisplay(1), PictureColors::kPalette236);
  EXPECT_EQ(ColorsForDisplay(4), PictureColors::kPalette236);
  EXPECT_EQ(ColorsForDisplay(8), PictureColors::kPalette236);
  EXPECT_EQ(ColorsForDisplay(16), PictureColors::kTrueColor);
  EXPECT_EQ(ColorsForDisplay(32), PictureColors::kTrueColor);
}

// Offset of the first start-of-frame marker's height field (progressive: FF C2).
size_t FrameSizeAt(const Bytes& jpeg) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC2) return i + 5;  // marker, length, precision
  }
  ADD_FAILURE() << "no progressive frame header";
  return 0;
}

Bytes WithFrameSize(uint16_t width, uint16_t height) {
  Bytes jpeg = Splash();
  const size_t at = FrameSizeAt(jpeg);
  jpeg[at] = static_cast<uint8_t>(height >> 8);
  jpeg[at + 1] = static_cast<uint8_t>(height);
  jpeg[at + 2] = static_cast<uint8_t>(width >> 8);
  jpeg[at + 3] = static_cast<uint8_t>(width);
  return jpeg;
}

// The splash picture with 64 bytes of its scan data overwritten by fill bytes.
Bytes WithDamagedScan() {
  Bytes jpeg = Splash();
  std::fill(jpeg.begin() + jpeg.size() / 2, jpeg.begin() + jpeg.size() / 2 + 64, 0xFF);
  return jpeg;
}

Bytes Prefix(size_t size) {
  const Bytes whole = Splash();
  return Bytes(whole.begin(), whole.begin() + size);
}

struct Corrupt {
  const char* name;
  Bytes bytes;
  bool header_readable;  // whether loading succeeds and only decoding fails
  const char* message;   // a part of the message
};

TEST(TJPEGImage, CorruptDataRaisesAClearError) {
  const Corrupt cases[] = {
      {"empty", {}, false, "Empty input file"},
      {"not a JPEG", {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'}, false, "Not a JPEG file"},
      {"start marker only", {0xFF, 0xD8}, false, "Premature end of JPEG file"},
      {"cut inside the tables", Prefix(100), false, "Premature end of JPEG file"},
      {"zero width", WithFrameSize(0, 159), false, "Empty JPEG image"},
      {"cut in the middle of the scans", Prefix(sizeof kSplashJpeg / 2), true,
       "Premature end of JPEG file"},
      {"end marker missing", Prefix(sizeof kSplashJpeg - 2), true, "Premature end of JPEG file"},
      {"damaged scan data", WithDamagedScan(), true, "Corrupt JPEG data"},
      {"far too large to decode", WithFrameSize(65000, 65000), true, "too large"},
  };
  for (const Corrupt& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = c.bytes;  // exactly sized: a read past the end is a sanitizer finding
    if (!c.header_readable) {
      try {
        TJPEGImage image(bytes);
        ADD_FAILURE() << "loaded";
      } catch (const Exception& error) {
        EXPECT_EQ(error.Message().rfind("JPEG error: ", 0), 0u) << error.Message();
        EXPECT_NE(error.Message().find(c.message), std::string::npos) << error.Message();
        EXPECT_GT(error.Message().size(), std::string("JPEG error: ").size());
      }
      continue;
    }
    TJPEGImage image(bytes);
    for (PictureColors colors : {PictureColors::kTrueColor, PictureColors::kPalette236}) {
      std::string first;
      for (int request = 0; request < 2; ++request) {
        try {
          image.Decoded(colors);
          ADD_FAILURE() << "decoded";
        } catch (const Exception& error) {
          EXPECT_EQ(error.Message().rfind("JPEG error: ", 0), 0u) << error.Message();
          EXPECT_NE(error.Message().find(c.message), std::string::npos) << error.Message();
          if (request == 0) first = error.Message();
          EXPECT_EQ(error.Message(), first) << "the same error on every request";
        }
      }
    }
  }
}

TEST(JpegDecode, RefusesABufferTooSmallForThePicture) {
  std::vector<uint8_t> pixels(JpegDecodeStride(251, 3) * 159 - 1);
  char message[JPEG_DECODE_MESSAGE_SIZE];
  EXPECT_EQ(JpegDecodeBgr(kSplashJpeg, sizeof kSplashJpeg, 251, 159, pixels.data(),
                          pixels.size(), message),
            JPEG_DECODE_BAD_REQUEST);
  pixels.resize(pixels.size() + 1);
  EXPECT_EQ(JpegDecodeBgr(kSplashJpeg, sizeof kSplashJpeg, 250, 159, pixels.data(),
                          pixels.size(), message),
            JPEG_DECODE_BAD_REQUEST)
      << "a size other than the picture's";
}

}  // namespace
