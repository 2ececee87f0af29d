#include "platform/form_geometry.h"

#include <cstdlib>

ScreenPoint CenteredPosition(int screen_width, int screen_height, int width, int height) {
  const int left = (screen_width - width) / 2;  // C++ division truncates toward zero
  const int top = (screen_height - height) / 2;
  return {left < 0 ? 0 : left, top < 0 ? 0 : top};
}

int32_t MulDivRound(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const int64_t magnitude = std::llabs(product);
  const int64_t divisor = std::llabs(static_cast<int64_t>(denominator));
  const int64_t rounded = (magnitude + divisor / 2) / divisor;
  if (rounded > INT32_MAX) return -1;
  return static_cast<int32_t>(negative ? -rounded : rounded);
}

ScaledLayout ScaleForScreen(const DesignMetrics& design, int32_t screen_pixels_per_inch,
                            const std::function<int32_t(int32_t)>& measure_text_height) {
  ScaledLayout layout{design.font_height, design.client_width, design.client_height};
  if (screen_pixels_per_inch == design.pixels_per_inch) return layout;

  layout.font_height =
      MulDivRound(design.font_height, screen_pixels_per_inch, design.pixels_per_inch);
  const int32_t measured = measure_text_height(layout.font_height);
  if (measured != design.text_height) {
    layout.client_width = MulDivRound(design.client_width, measured, design.text_height);
    layout.client_height = MulDivRound(design.client_height, measured, design.text_height);
  }
  return layout;
}
