#include "service/progress_bar/progress_bar_geometry.h"

#include <algorithm>

int32_t ClampBarPosition(int32_t value, int32_t minimum, int32_t maximum) {
  if (value < minimum) return minimum;
  if (value > maximum) return std::max(minimum, maximum);
  return value;
}

int32_t FilledBarWidth(int32_t position, int32_t minimum, int32_t maximum, int32_t barWidth) {
  if (maximum <= minimum || barWidth <= 0) return 0;
  // 64-bit products: a wide bar times a wide range must not overflow.
  const int64_t filled = (int64_t{position} - minimum) * barWidth / (int64_t{maximum} - minimum);
  return static_cast<int32_t>(std::clamp<int64_t>(filled, 0, barWidth));
}

int32_t BarPositionAtPointer(int32_t x, int32_t leftLimit, int32_t rightLimit, int32_t minimum, int32_t maximum) {
  if (rightLimit <= leftLimit || maximum <= minimum) return minimum;
  const int64_t position =
      (int64_t{x} - leftLimit) * (int64_t{maximum} - minimum) / (int64_t{rightLimit} - leftLimit) + minimum;
  return static_cast<int32_t>(std::clamp<int64_t>(position, minimum, maximum));
}
