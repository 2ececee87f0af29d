/* Decoding a JPEG file held in memory, through libjpeg. Plain C on purpose: libjpeg reports
 * a fatal error by longjmp-ing back to the caller's setjmp, which must not skip C++ frames
 * with destructors. Every function here keeps its setjmp in its own frame and returns an
 * error code instead; no function reads outside [data, data + size).
 *
 * Warnings count as errors: libjpeg answers truncated or damaged data with a warning and a
 * made-up rest of the picture, which we would rather refuse than show.
 *
 * Output rows are top-down (row 0 is the picture's top row) and each starts at a multiple
 * of 4 bytes, as Windows DIB rows do; a top-down DIB is declared with a negative height. */
#ifndef PLATFORM_JPEG_DECODE_H
#define PLATFORM_JPEG_DECODE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  JPEG_DECODE_OK = 0,
  JPEG_DECODE_CORRUPT = 1,     /* libjpeg refused the data; the message says why */
  JPEG_DECODE_BAD_REQUEST = 2, /* the caller's buffers do not fit the picture */
};

enum { JPEG_DECODE_MESSAGE_SIZE = 200 }; /* libjpeg's own limit (JMSG_LENGTH_MAX) */

/* The largest palette the indexed decode produces: 256 colours minus the 20 that the
 * window system reserves for itself. */
enum { JPEG_DECODE_PALETTE_COLORS = 236 };

typedef struct JpegHeader {
  uint32_t width;
  uint32_t height;
  uint32_t components; /* as coded: 1 grey, 3 YCbCr, 4 CMYK or YCCK */
  int progressive;     /* nonzero for progressive coding */
} JpegHeader;

/* Bytes per output row of `width` pixels of `bytes_per_pixel` each, rounded up to 4. */
size_t JpegDecodeStride(uint32_t width, uint32_t bytes_per_pixel);

/* Reads the markers up to the first scan. */
int JpegDecodeHeader(const uint8_t* data, size_t size, JpegHeader* header,
                     char message[JPEG_DECODE_MESSAGE_SIZE]);

/* Decodes into 24-bit rows of blue, green, red bytes. `pixels` holds `height` rows of
 * JpegDecodeStride(width, 3) bytes; width and height must be the header's. */
int JpegDecodeBgr(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                  uint8_t* pixels, size_t pixels_size, char message[JPEG_DECODE_MESSAGE_SIZE]);

/* Decodes into one palette index per pixel, with a palette of at most 236 colours chosen
 * for this picture by libjpeg's two-pass quantizer (Floyd-Steinberg dithered). `pixels`
 * holds `height` rows of JpegDecodeStride(width, 1) bytes. `palette` receives red, green,
 * blue for each colour, `*colors` their number. */
int JpegDecodeIndexed(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                      uint8_t* pixels, size_t pixels_size,
                      uint8_t palette[JPEG_DECODE_PALETTE_COLORS][3], uint32_t* colors,
                      char message[JPEG_DECODE_MESSAGE_SIZE]);

#ifdef __cplusplus
}
#endif

#endif
