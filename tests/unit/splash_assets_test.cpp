// The committed artwork has the form the program relies on: tools/assets/make-assets.sh
// must keep producing it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "splash_data.h"

namespace {

uint16_t Be16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

TEST(SplashPicture, IsAProgressiveJfif251x159WithFullChroma) {
  const unsigned char* jpeg = kSplashJpeg;
  const size_t size = sizeof kSplashJpeg;
  ASSERT_EQ(Be16(jpeg), 0xFFD8);
  bool jfif = false, frame = false;
  // Marker segments up to the first scan: FF xx, a 16-bit length that counts itself.
  for (size_t at = 2; at + 4 <= size && !frame;) {
    ASSERT_EQ(jpeg[at], 0xFF) << "at " << at;
    const uint8_t marker = jpeg[at + 1];
    const size_t length = Be16(jpeg + at + 2);
    const unsigned char* body = jpeg + at + 4;
    ASSERT_LE(at + 2 + length, size);
    if (marker == 0xE0 && length >= 7 && std::memcmp(body, "JFIF", 5) == 0) jfif = true;
    ASSERT_NE(marker, 0xC0) << "baseline frame";
    ASSERT_NE(marker, 0xDA) << "a scan before the frame header";
    if (marker == 0xC2) {  // progressive, Huffman coded
      frame = true;
      EXPECT_EQ(body[0], 8) << "sample precision";
      EXPECT_EQ(Be16(body + 1), 159);
      EXPECT_EQ(Be16(body + 3), 251);
      ASSERT_EQ(body[5], 3) << "components";
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(body[6 + 3 * c + 1], 0x11) << "sampling of component " << c;
      }
    }
    at += 2 + length;
  }
  EXPECT_TRUE(jfif);
  EXPECT_TRUE(frame);
  EXPECT_LE(size, 64u * 1024) << "kept small: it travels inside the program";
}

TEST(MainIcon, HoldsOne36x36ImageOf32BitsPerPixel) {
  const unsigned char* ico = kMainIcon;
  ASSERT_GE(sizeof kMainIcon, 6u + 16u + 40u);
  EXPECT_EQ(Le16(ico + 0), 0);  // reserved
  EXPECT_EQ(Le16(ico + 2), 1);  // icon
  ASSERT_EQ(Le16(ico + 4), 1);  // one image
  const unsigned char* entry = ico + 6;
  EXPECT_EQ(entry[0], 36);
  EXPECT_EQ(entry[1], 36);
  EXPECT_EQ(Le16(entry + 4), 1);   // planes
  EXPECT_EQ(Le16(entry + 6), 32);  // bits per pixel
  const uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
  ASSERT_EQ(offset + bytes, sizeof kMainIcon);

  // A DIB: its header, 36 x 36 colour pixels with alpha, then the 1-bit mask whose rows of
  // 36 bits are padded to 8 bytes. The height counts colour and mask together.
  const unsigned char* dib = ico + offset;
  EXPECT_EQ(Le32(dib + 0), 40u);
  EXPECT_EQ(Le32(dib + 4), 36u);
  EXPECT_EQ(Le32(dib + 8), 72u);
  EXPECT_EQ(Le16(dib + 14), 32);
  EXPECT_EQ(bytes, 40u + 36 * 36 * 4 + 36 * 8);
}

}  // namespace
