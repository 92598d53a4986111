#include "framework/bitmap_region.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/tests/test_pictures.h"
#include "framework/window.h"

namespace korvex {
namespace {

// '.' pure white (outside); anything else is inside: '#' black, 'w' a white
// one step off, 'r' red.
COLORREF ColourOf(char c) {
  switch (c) {
    case '.': return RGB(255, 255, 255);
    case 'w': return RGB(255, 255, 254);
    case 'r': return RGB(255, 0, 0);
    default: return RGB(0, 0, 0);
  }
}

struct Mask {
  int width, height;
  std::vector<COLORREF> pixels;
  std::vector<bool> inside;
};

Mask FromArt(const std::vector<std::string>& rows) {
  Mask mask{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}, {}};
  for (const std::string& row : rows) {
    for (char c : row) {
      mask.pixels.push_back(ColourOf(c));
      mask.inside.push_back(c != '.');
    }
  }
  return mask;
}

void ExpectRegionMatches(HRGN region, const Mask& mask) {
  int wrong = 0;
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x)
      if (bool(PtInRegion(region, x, y)) != mask.inside[static_cast<size_t>(y * mask.width + x)])
        ++wrong;
  EXPECT_EQ(wrong, 0);
  // Nothing outside the bitmap.
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_GE(box.left, 0);
  EXPECT_GE(box.top, 0);
  EXPECT_LE(box.right, mask.width);
  EXPECT_LE(box.bottom, mask.height);
}

TEST(BitmapRegion, AllWhiteOrEmptyGivesNoRegion) {
  auto white = test::MakeBitmap(6, 4, 32, std::vector<COLORREF>(24, RGB(255, 255, 255)));
  EXPECT_FALSE(BitmapToRegion(white));
  EXPECT_FALSE(BitmapToRegion(nullptr));
}

TEST(BitmapRegion, HoldsExactlyTheNonWhitePixelsAtEveryDepth) {
  const Mask mask = FromArt({
      "#........",
      "..###..w.",
      ".r#.#rr..",
      "#########",
      ".........",
      "....#....",
      "........#",
  });
  for (int depth : {24, 32}) {
    SCOPED_TRACE(depth);
    auto bitmap = test::MakeBitmap(mask.width, mask.height, depth, mask.pixels);
    CRegion region = BitmapToRegion(bitmap);
    ASSERT_TRUE(region);
    ExpectRegionMatches(region, mask);
  }
}

TEST(BitmapRegion, SinglePixelGivesAOnePixelShape) {
  std::vector<COLORREF> pixels(9, RGB(255, 255, 255));
  pixels[4] = RGB(10, 20, 30);
  CRegion region = BitmapToRegion(test::MakeBitmap(3, 3, 32, pixels));
  ASSERT_TRUE(region);
  RECT box;
  EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.top, 1);
  EXPECT_EQ(box.right, 2);
  EXPECT_EQ(box.bottom, 2);
}

TEST(BitmapRegion, ManyRunsAreJoinedAcrossBatches) {
  // A checkerboard: one run per dark pixel, 10 000 runs in all.
  Mask mask{200, 100, {}, {}};
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      bool dark = (x + y) % 2 == 0;
      mask.pixels.push_back(dark ? RGB(0, 0, 0) : RGB(255, 255, 255));
      mask.inside.push_back(dark);
    }
  }
  CRegion region = BitmapToRegion(test::MakeBitmap(mask.width, mask.height, 32, mask.pixels));
  ASSERT_TRUE(region);
  ExpectRegionMatches(region, mask);
}

TEST(BitmapRegion, WindowTakesTheShapeItAccepts) {
  CWindow window;
  ASSERT_TRUE(window.Create({}, 0, L"shaped", WS_POPUP, RECT{0, 0, 3, 3}, nullptr));
  std::vector<COLORREF> pixels(9, RGB(255, 255, 255));
  pixels[4] = RGB(0, 0, 0);
  auto mask = test::MakeBitmap(3, 3, 32, pixels);
  EXPECT_TRUE(SetWindowShape(window.Handle(), BitmapToRegion(mask)));
  CRegion shape(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(window.Handle(), shape), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(shape, 1, 1));
  EXPECT_FALSE(PtInRegion(shape, 0, 0));

  EXPECT_FALSE(SetWindowShape(window.Handle(), CRegion()));
  EXPECT_FALSE(SetWindowShape(nullptr, BitmapToRegion(mask)));
}

}  // namespace
}  // namespace korvex
