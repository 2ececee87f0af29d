#include "platform/jpeg_decode.h"

#include <limits.h>
#include <setjmp.h>
#include <stdio.h> /* before jpeglib.h, which uses FILE without including it */
#include <string.h>

/* clang-format off */
#include <jpeglib.h>
/* clang-format on */

_Static_assert(JPEG_DECODE_MESSAGE_SIZE >= JMSG_LENGTH_MAX, "room for libjpeg's messages");

/* libjpeg's error manager with the way back to the decoding function's frame. */
typedef struct ErrorExit {
  struct jpeg_error_mgr manager; /* first, so that cinfo->err points at the whole struct */
  jmp_buf escape;
  char* message;
} ErrorExit;

static void FailDecode(j_common_ptr cinfo) {
  ErrorExit* errors = (ErrorExit*)cinfo->err;
  errors->manager.format_message(cinfo, errors->message);
  longjmp(errors->escape, 1);
}

/* Level -1 is a warning about damaged data: refused like an error. Trace output
 * (levels 0 and up) is dropped. */
static void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0) FailDecode(cinfo);
}

static void Prepare(struct jpeg_decompress_struct* cinfo, ErrorExit* errors, char* message) {
  memset(cinfo, 0, sizeof *cinfo);
  message[0] = '\0';
  cinfo->err = jpeg_std_error(&errors->manager);
  errors->manager.error_exit = FailDecode;
  errors->manager.emit_message = OnMessage;
  errors->message = message;
}

static int Refuse(char* message, const char* why) {
  (void)snprintf(message, JPEG_DECODE_MESSAGE_SIZE, "%s", why);
  return JPEG_DECODE_BAD_REQUEST;
}

/* libjpeg counts input bytes in an unsigned long, which is 32 bits on Windows. */
static int InputFits(size_t size) { return (unsigned long)size == size; }

/* The byte count of `height` rows of `stride`, or 0 when it does not fit in a size_t. */
static size_t ImageBytes(size_t stride, uint32_t height) {
  if (height != 0 && stride > SIZE_MAX / height) return 0;
  return stride * height;
}

size_t JpegDecodeStride(uint32_t width, uint32_t bytes_per_pixel) {
  return ((size_t)width * bytes_per_pixel + 3) & ~(size_t)3;
}

int JpegDecodeHeader(const uint8_t* data, size_t size, JpegHeader* header,
                     char message[JPEG_DECODE_MESSAGE_SIZE]) {
  struct jpeg_decompress_struct cinfo;
  ErrorExit errors;
  Prepare(&cinfo, &errors, message);
  if (!InputFits(size)) return Refuse(message, "JPEG data too large");
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&cinfo);
    return JPEG_DECODE_CORRUPT;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, (unsigned long)size);
  jpeg_read_header(&cinfo, TRUE);
  header->width = cinfo.image_width;
  header->height = cinfo.image_height;
  header->components = (uint32_t)cinfo.num_components;
  header->progressive = cinfo.progressive_mode ? 1 : 0;
  jpeg_destroy_decompress(&cinfo);
  return JPEG_DECODE_OK;
}

/* The output a decode is asked for: 24-bit colour when `palette` is null, otherwise palette
 * indices with up to 236 colours written to `palette` and their number to `colors`. */
typedef struct Output {
  uint8_t* pixels;
  size_t pixels_size;
  uint8_t (*palette)[3];
  uint32_t* colors;
} Output;

static void RequestOutput(struct jpeg_decompress_struct* cinfo, const Output* out) {
  if (out->palette == NULL) {
    cinfo->out_color_space = JCS_EXT_BGR;
    return;
  }
  cinfo->out_color_space = JCS_RGB;
  cinfo->quantize_colors = TRUE;
  cinfo->two_pass_quantize = TRUE;
  cinfo->dither_mode = JDITHER_FS;
  cinfo->desired_number_of_colors = JPEG_DECODE_PALETTE_COLORS;
}

static int OutputMatches(const struct jpeg_decompress_struct* cinfo, uint32_t width,
                         uint32_t height, const Output* out) {
  if (cinfo->output_width != width || cinfo->output_height != height) return 0;
  if (out->palette == NULL) return cinfo->output_components == 3;
  return cinfo->output_components == 1 && cinfo->out_color_components == 3 &&
         cinfo->actual_number_of_colors <= JPEG_DECODE_PALETTE_COLORS;
}

static int Decode(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                  const Output* out, char* message) {
  struct jpeg_decompress_struct cinfo;
  ErrorExit errors;
  Prepare(&cinfo, &errors, message);
  const size_t stride = JpegDecodeStride(width, out->palette == NULL ? 3 : 1);
  const size_t needed = ImageBytes(stride, height);
  if (!InputFits(size)) return Refuse(message, "JPEG data too large");
  if (needed == 0 || out->pixels_size < needed) return Refuse(message, "pixel buffer too small");
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&cinfo);
    return JPEG_DECODE_CORRUPT;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, (unsigned long)size);
  jpeg_read_header(&cinfo, TRUE);
  RequestOutput(&cinfo, out);
  jpeg_start_decompress(&cinfo);
  if (!OutputMatches(&cinfo, width, height, out)) {
    jpeg_destroy_decompress(&cinfo);
    return Refuse(message, "output format differs from the request");
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->pixels + (size_t)cinfo.output_scanline * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  if (out->palette != NULL) {
    /* The colour map belongs to the decompressor and is gone after finishing. */
    for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
      for (int c = 0; c < 3; ++c) out->palette[i][c] = cinfo.colormap[c][i];
    }
  }
  jpeg_finish_decompress(&cinfo);
  if (out->colors != NULL) *out->colors = (uint32_t)cinfo.actual_number_of_colors;
  jpeg_destroy_decompress(&cinfo);
  return JPEG_DECODE_OK;
}

int JpegDecodeBgr(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                  uint8_t* pixels, size_t pixels_size, char message[JPEG_DECODE_MESSAGE_SIZE]) {
  const Output out = {pixels, pixels_size, NULL, NULL};
  return Decode(data, size, width, height, &out, message);
}

int JpegDecodeIndexed(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                      uint8_t* pixels, size_t pixels_size,
                      uint8_t palette[JPEG_DECODE_PALETTE_COLORS][3], uint32_t* colors,
                      char message[JPEG_DECODE_MESSAGE_SIZE]) {
  const Output out = {pixels, pixels_size, palette, colors};
  *colors = 0;
  return Decode(data, size, width, height, &out, message);
}
