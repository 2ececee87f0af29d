// The picture control: shows its picture unscaled at its own position on the form.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/jpeg_image.h"
#include "platform/win32/gdi_handles.h"
#include "platform/window_definition.h"

class TImage {
 public:
  // Reads the picture's header now; the image itself is decoded at the first paint.
  explicit TImage(const ImageDefinition& definition);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Paint(HDC dc);

 private:
  void DrawDecoded(HDC dc, const DecodedPicture& picture);
  HPALETTE PaletteFor(const DecodedPicture& picture);

  int left_, top_, width_, height_;
  bool center_;
  std::unique_ptr<TJPEGImage> picture_;
  GdiObject<HPALETTE> palette_;
};
