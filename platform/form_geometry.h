// The arithmetic of a form's placement and size, apart from the window system that
// supplies the screen size and measures text.
#pragma once

#include <cstdint>
#include <functional>

struct ScreenPoint {
  int left;
  int top;
};

// Where a window of outer size width x height sits when centred on a screen of
// screen_width x screen_height: the halves of the differences, truncated toward zero, and
// never negative, so that on a smaller screen the window starts at the top-left corner.
ScreenPoint CenteredPosition(int screen_width, int screen_height, int width, int height);

// number * numerator / denominator in 64 bits, rounded half away from zero, as the
// window system's MulDiv does; -1 when denominator is 0 or the result leaves 32 bits.
int32_t MulDivRound(int32_t number, int32_t numerator, int32_t denominator);

struct ScaledLayout {
  int32_t font_height;
  int32_t client_width;
  int32_t client_height;
};

struct DesignMetrics {
  int32_t font_height;  // the font's height as designed (negative: character height)
  int32_t client_width;
  int32_t client_height;
  int32_t pixels_per_inch;  // the pixels per inch the form was laid out for
  int32_t text_height;      // the height of "0" in the font at that density
};

// A form laid out for `design` shown on a screen of `screen_pixels_per_inch`: at the same
// density nothing changes; otherwise the font height is scaled to the screen first, then
// `measure_text_height` gives the height of "0" in that scaled font, and if that differs
// from the designed text height the client size is scaled by measured / designed.
ScaledLayout ScaleForScreen(const DesignMetrics& design, int32_t screen_pixels_per_inch,
                            const std::function<int32_t(int32_t font_height)>& measure_text_height);
