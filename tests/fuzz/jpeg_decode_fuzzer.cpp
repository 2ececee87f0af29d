// The splash picture's decoding through our libjpeg wrapper: any bytes give a picture or a
// clear error, never a crash or a read outside the bytes or a write outside the pixels.
//
// Input: the JPEG file, all of it.
//
// libjpeg itself is Debian's, built without the sanitizers, so its own reads and writes are
// watched by guard pages instead: the input and each output buffer end right where a page
// begins that may not be touched.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/exceptions.h"
#include "platform/jpeg_decode.h"
#include "platform/jpeg_image.h"

namespace {

// Pictures larger than this are not decoded here: they cost time, not coverage. The
// header is still read, and the wrapper's own size limit still met through TJPEGImage.
constexpr uint64_t kFuzzMaxPixels = 512 * 512;

// `size` bytes that end right before an inaccessible page.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size) : size_(size) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t pages = (size + page - 1) / page;
    mapped_size_ = (pages + 1) * page;
    void* mapped = mmap(nullptr, mapped_size_, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    FUZZ_REQUIRE(mapped != MAP_FAILED);
    mapped_ = static_cast<uint8_t*>(mapped);
    FUZZ_REQUIRE(mprotect(mapped_ + pages * page, page, PROT_NONE) == 0);
    data_ = mapped_ + pages * page - size;
  }
  ~GuardedBuffer() { munmap(mapped_, mapped_size_); }
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  uint8_t* data() { return data_; }
  size_t size() const { return size_; }

 private:
  size_t size_;
  size_t mapped_size_ = 0;
  uint8_t* mapped_ = nullptr;
  uint8_t* data_ = nullptr;
};

// A refusal names its reason in a terminated message.
void CheckRefusal(int status, const char* message) {
  FUZZ_REQUIRE(status == JPEG_DECODE_CORRUPT);
  FUZZ_REQUIRE(std::memchr(message, '\0', JPEG_DECODE_MESSAGE_SIZE) != nullptr);
  FUZZ_REQUIRE(message[0] != '\0');
}

void DecodeBgr(GuardedBuffer& input, const JpegHeader& header) {
  GuardedBuffer pixels(JpegDecodeStride(header.width, 3) * header.height);
  char message[JPEG_DECODE_MESSAGE_SIZE];
  const int status = JpegDecodeBgr(input.data(), input.size(), header.width, header.height,
                                   pixels.data(), pixels.size(), message);
  if (status != JPEG_DECODE_OK) CheckRefusal(status, message);
}

void DecodeIndexed(GuardedBuffer& input, const JpegHeader& header) {
  const size_t stride = JpegDecodeStride(header.width, 1);
  GuardedBuffer pixels(stride * header.height);
  uint8_t palette[JPEG_DECODE_PALETTE_COLORS][3];
  uint32_t colors = 0;
  char message[JPEG_DECODE_MESSAGE_SIZE];
  const int status = JpegDecodeIndexed(input.data(), input.size(), header.width, header.height,
                                       pixels.data(), pixels.size(), palette, &colors, message);
  if (status != JPEG_DECODE_OK) {
    CheckRefusal(status, message);
    return;
  }
  // Every pixel names a colour of the palette.
  FUZZ_REQUIRE(colors >= 1 && colors <= JPEG_DECODE_PALETTE_COLORS);
  for (uint32_t y = 0; y < header.height; ++y) {
    for (uint32_t x = 0; x < header.width; ++x) {
      FUZZ_REQUIRE(pixels.data()[y * stride + x] < colors);
    }
  }
}

// The picture class: an Exception or a picture of the header's size, and the same answer
// again on the next request.
void DecodeThroughImage(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  try {
    TJPEGImage image(bytes);
    if (static_cast<uint64_t>(image.Width()) * image.Height() > kFuzzMaxPixels) return;
    for (const PictureColors colors : {PictureColors::kTrueColor, PictureColors::kPalette236}) {
      std::string first_error;
      const DecodedPicture* first = nullptr;
      try {
        first = &image.Decoded(colors);
        FUZZ_REQUIRE(first->width == image.Width() && first->height == image.Height());
        FUZZ_REQUIRE(first->pixels.size() == first->stride * first->height);
      } catch (const Exception& error) {
        first_error = error.what();
        FUZZ_REQUIRE(!first_error.empty());
      }
      try {
        FUZZ_REQUIRE(&image.Decoded(colors) == first);
      } catch (const Exception& error) {
        FUZZ_REQUIRE(first_error == error.what());
      }
    }
  } catch (const Exception& error) {
    FUZZ_REQUIRE(std::string(error.what()).rfind("JPEG error: ", 0) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GuardedBuffer input(size);
  if (size > 0) std::memcpy(input.data(), data, size);

  JpegHeader header{};
  char message[JPEG_DECODE_MESSAGE_SIZE];
  const int status = JpegDecodeHeader(input.data(), size, &header, message);
  if (status == JPEG_DECODE_OK) {
    FUZZ_REQUIRE(header.width > 0 && header.height > 0);
    if (static_cast<uint64_t>(header.width) * header.height <= kFuzzMaxPixels) {
      DecodeBgr(input, header);
      DecodeIndexed(input, header);
    }
  } else {
    CheckRefusal(status, message);
  }
  DecodeThroughImage(data, size);
  return 0;
}
