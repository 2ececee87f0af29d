#include "platform/form_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct CenterCase {
  int screen_width, screen_height;
  int left, top;
};

TEST(CenteredPosition, TruncatedHalvesNeverNegative) {
  // The splash window is 250 x 158.
  const CenterCase cases[] = {
      {1024, 768, 387, 305},  // the test display
      {800, 600, 275, 221},
      {1023, 767, 386, 304},  // odd differences: the half is truncated
      {250, 158, 0, 0},       // exactly the window
      {251, 159, 0, 0},       // one pixel more: half of 1 is 0
      {249, 157, 0, 0},       // one pixel less: -1 / 2 truncates to 0
      {200, 100, 0, 0},       // smaller than the window
      {1280, 100, 515, 0},    // wide but low: only the top is clamped
      {100, 1024, 0, 433},    // narrow but tall: only the left is clamped
  };
  for (const CenterCase& c : cases) {
    const ScreenPoint at = CenteredPosition(c.screen_width, c.screen_height, 250, 158);
    EXPECT_EQ(at.left, c.left) << c.screen_width << " x " << c.screen_height;
    EXPECT_EQ(at.top, c.top) << c.screen_width << " x " << c.screen_height;
  }
}

struct MulDivCase {
  int32_t number, numerator, denominator, result;
};

TEST(MulDivRound, RoundsHalvesAwayFromZero) {
  const MulDivCase cases[] = {
      {-11, 120, 96, -14},   // -13.75: the splash font at 120 pixels per inch
      {-11, 144, 96, -17},   // -16.5
      {-11, 72, 96, -8},     // -8.25
      {250, 16, 13, 308},    // 307.69
      {158, 16, 13, 194},    // 194.46
      {5, 1, 2, 3},          // 2.5
      {-5, 1, 2, -3},        // -2.5
      {5, 1, -2, -3},        // a negative denominator
      {-5, -1, -2, -3},
      {7, 0, 3, 0},
      {1, 1, 0, -1},         // no denominator
      {INT_MAX, 2, 1, -1},   // beyond 32 bits
      {INT_MAX, 2, 2, INT_MAX},  // the product leaves 32 bits, the result does not
  };
  for (const MulDivCase& c : cases) {
    EXPECT_EQ(MulDivRound(c.number, c.numerator, c.denominator), c.result)
        << c.number << " * " << c.numerator << " / " << c.denominator;
  }
}

const DesignMetrics kSplash{-11, 250, 158, 96, 13};

TEST(ScaleForScreen, AtTheDesignDensityNothingChangesAndNothingIsMeasured) {
  int measured = 0;
  const ScaledLayout layout = ScaleForScreen(kSplash, 96, [&](int32_t) {
    ++measured;
    return 20;
  });
  EXPECT_EQ(measured, 0);
  EXPECT_EQ(layout.font_height, -11);
  EXPECT_EQ(layout.client_width, 250);
  EXPECT_EQ(layout.client_height, 158);
}

struct ScaleCase {
  int32_t pixels_per_inch;
  int32_t font_height;  // expected scaled font, as handed to the measurement
  int32_t text_height;  // what the measurement answers
  int32_t client_width, client_height;
};

TEST(ScaleForScreen, ScalesTheFontFirstThenTheClientByTheMeasuredHeight) {
  const ScaleCase cases[] = {
      {120, -14, 16, 308, 194},  // 250 * 16 / 13 = 307.7, 158 * 16 / 13 = 194.46
      {72, -8, 10, 192, 122},    // 192.3 and 121.54
      {144, -17, 20, 385, 243},  // 384.6 and 243.08
      {120, -14, 13, 250, 158},  // the font changed, its "0" did not: no client scaling
  };
  for (const ScaleCase& c : cases) {
    std::vector<int32_t> asked;
    const ScaledLayout layout = ScaleForScreen(kSplash, c.pixels_per_inch, [&](int32_t height) {
      asked.push_back(height);
      return c.text_height;
    });
    EXPECT_EQ(asked, std::vector<int32_t>{c.font_height}) << c.pixels_per_inch;
    EXPECT_EQ(layout.font_height, c.font_height) << c.pixels_per_inch;
    EXPECT_EQ(layout.client_width, c.client_width) << c.pixels_per_inch;
    EXPECT_EQ(layout.client_height, c.client_height) << c.pixels_per_inch;
  }
}

}  // namespace
