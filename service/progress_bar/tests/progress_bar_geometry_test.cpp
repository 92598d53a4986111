#include "service/progress_bar/progress_bar_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct FillCase {
  int32_t position, minimum, maximum, width, filled;
};

TEST(ProgressBarGeometry, FilledWidth) {
  const FillCase cases[] = {
      {50, 0, 100, 750, 375},   // half of the bar
      {50, 0, 100, 751, 375},   // half of an odd width, rounded down
      {33, 0, 100, 750, 247},   // 247.5 rounded down
      {0, 0, 100, 750, 0},      // empty
      {100, 0, 100, 750, 750},  // full
      {15, 10, 20, 100, 50},    // the range need not start at 0
      {5, 0, 10, 750, 375},     // the bar's range while it is being created
      {50, 0, 0, 750, 0},       // an empty range fills nothing instead of dividing by zero
      {50, 0, 100, 0, 0},       // no width
      {150, 0, 100, 750, 750},  // never wider than the bar
      {-20, 0, 100, 750, 0},    // never negative
      {INT32_MAX, 0, INT32_MAX, 2000, 2000},  // no overflow
  };
  for (const FillCase& c : cases) {
    EXPECT_EQ(FilledBarWidth(c.position, c.minimum, c.maximum, c.width), c.filled)
        << "position " << c.position << " of " << c.minimum << ".." << c.maximum << ", width " << c.width;
  }
}

struct ClampCase {
  int32_t value, minimum, maximum, position;
};

TEST(ProgressBarGeometry, AcceptedPositions) {
  const ClampCase cases[] = {
      {20, 0, 100, 20}, {0, 0, 100, 0}, {100, 0, 100, 100}, {-1, 0, 100, 0}, {101, 0, 100, 100}, {5, 10, 20, 10},
  };
  for (const ClampCase& c : cases) EXPECT_EQ(ClampBarPosition(c.value, c.minimum, c.maximum), c.position) << c.value;
}

struct DragCase {
  int32_t x, left, right, minimum, maximum, position;
};

TEST(ProgressBarGeometry, DragPosition) {
  const DragCase cases[] = {
      {375, 0, 750, 0, 100, 50},   // the middle
      {749, 0, 750, 0, 100, 99},   // rounded down
      {0, 0, 750, 0, 100, 0},      // the left limit
      {750, 0, 750, 0, 100, 100},  // the right limit
      {-40, 0, 750, 0, 100, 0},    // left of the bar
      {900, 0, 750, 0, 100, 100},  // right of the bar
      {150, 100, 200, 10, 20, 15},  // limits and range with offsets
      {300, 200, 200, 0, 100, 0},   // no room to drag
  };
  for (const DragCase& c : cases) {
    EXPECT_EQ(BarPositionAtPointer(c.x, c.left, c.right, c.minimum, c.maximum), c.position)
        << "x " << c.x << " in " << c.left << ".." << c.right;
  }
}

}  // namespace
