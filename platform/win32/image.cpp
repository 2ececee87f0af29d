#include "platform/win32/image.h"

#include <vector>

#include "platform/exceptions.h"

namespace {

// A DIB header for the decoded rows (top-down), with room for a 256-entry colour table.
struct DibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

}  // namespace

TImage::TImage(const ImageDefinition& definition)
    : left_(definition.left),
      top_(definition.top),
      width_(definition.width),
      height_(definition.height),
      center_(definition.center) {
  const PictureData& data = definition.picture;
  if (data.class_name.empty()) return;
  if (data.class_name != TJPEGImage::kClassName) {
    throw Exception("Unknown picture class " + data.class_name);
  }
  picture_ = std::make_unique<TJPEGImage>(data.bytes);
  if (definition.auto_size) {  // the control takes the picture's size
    width_ = static_cast<int>(picture_->Width());
    height_ = static_cast<int>(picture_->Height());
  }
}

void TImage::Paint(HDC dc) {
  if (!picture_) return;
  const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  DrawDecoded(dc, picture_->Decoded(ColorsForDisplay(bits)));
}

HPALETTE TImage::PaletteFor(const DecodedPicture& picture) {
  if (palette_.get() != nullptr) return palette_.get();
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(picture.palette.size());
  for (size_t i = 0; i < picture.palette.size(); ++i) {
    logical->palPalEntry[i] = {picture.palette[i].red, picture.palette[i].green,
                               picture.palette[i].blue, 0};
  }
  palette_.Reset(CreatePalette(logical));
  return palette_.get();
}

void TImage::DrawDecoded(HDC dc, const DecodedPicture& picture) {
  DibHeader dib = {};
  dib.header.biSize = sizeof dib.header;
  dib.header.biWidth = static_cast<LONG>(picture.width);
  dib.header.biHeight = -static_cast<LONG>(picture.height);  // rows top-down
  dib.header.biPlanes = 1;
  dib.header.biBitCount = static_cast<WORD>(picture.bits_per_pixel);
  dib.header.biCompression = BI_RGB;
  dib.header.biClrUsed = static_cast<DWORD>(picture.palette.size());
  for (size_t i = 0; i < picture.palette.size(); ++i) {
    dib.colors[i] = {picture.palette[i].blue, picture.palette[i].green, picture.palette[i].red,
                     0};
  }

  // Centred within the control; with AutoSize the control has the picture's size, so the
  // offset is 0 and the picture sits at the control's corner, unscaled.
  int x = left_;
  int y = top_;
  if (center_) {
    x += (width_ - static_cast<int>(picture.width)) / 2;
    y += (height_ - static_cast<int>(picture.height)) / 2;
  }

  std::unique_ptr<PaletteSelection> selected;
  if (!picture.palette.empty()) {
    selected = std::make_unique<PaletteSelection>(dc, PaletteFor(picture));
  }
  SetDIBitsToDevice(dc, x, y, picture.width, picture.height, 0, 0, 0, picture.height,
                    picture.pixels.data(), reinterpret_cast<const BITMAPINFO*>(&dib),
                    DIB_RGB_COLORS);
}
