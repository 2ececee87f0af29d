// Owners for GDI objects and device contexts: each released exactly once.
#pragma once

#include <windows.h>

// A font, brush, bitmap or palette, deleted with DeleteObject.
template <class Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle get() const { return handle_; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

// The screen's (or a window's) device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for the owner's lifetime.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A palette selected into a device context and realised, deselected on the way out.
class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette)
      : dc_(dc), previous_(SelectPalette(dc, palette, FALSE)) {
    RealizePalette(dc);
  }
  ~PaletteSelection() {
    if (previous_ != nullptr) SelectPalette(dc_, previous_, FALSE);
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;

 private:
  HDC dc_;
  HPALETTE previous_;
};
