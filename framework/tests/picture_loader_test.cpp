#include "framework/picture_loader.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/gdiplus_pictures.h"
#include "framework/tests/test_pictures.h"

namespace korvex {
namespace {

constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kBlue = RGB(20, 40, 210);

// Three columns wide, so every BMP row carries padding.
const std::vector<COLORREF> kSmallPixels = {
    RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
    RGB(10, 20, 30), RGB(255, 255, 255), RGB(0, 0, 0),
};

void ExpectSmallPixels(HBITMAP bitmap) {
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(test::PixelAt(bitmap, x, y), kSmallPixels[static_cast<size_t>(y * 3 + x)])
          << x << "," << y;
}

// Left half red, right half blue: far enough apart to survive JPEG.
std::vector<COLORREF> TwoHalves(int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(x < width / 2 ? kRed : kBlue);
  return pixels;
}

TEST(PictureLoader, BmpFromMemory) {
  auto bytes = test::MakeBmpFile(3, 2, kSmallPixels);
  CBitmap bitmap = LoadPictureFromMemory(bytes.data(), bytes.size());
  ASSERT_TRUE(bitmap);
  SIZE size = BitmapSize(bitmap);
  EXPECT_EQ(size.cx, 3);
  EXPECT_EQ(size.cy, 2);
  ExpectSmallPixels(bitmap);
}

TEST(PictureLoader, BmpFileReplacesTheBitmap) {
  auto bytes = test::MakeBmpFile(3, 2, kSmallPixels);
  std::wstring path = test::TempPath(L".bmp");
  ASSERT_TRUE(test::WriteFileBytes(path, bytes.data(), bytes.size()));
  CBitmap bitmap = test::MakeBitmap(1, 1, 32, {RGB(1, 2, 3)});
  SIZE size = LoadPictureFile(path.c_str(), bitmap);
  EXPECT_EQ(size.cx, 3);
  EXPECT_EQ(size.cy, 2);
  ExpectSmallPixels(bitmap);
  DeleteFileW(path.c_str());
}

TEST(PictureLoader, UnreadableOrUndecodableFileLeavesTheBitmapAlone) {
  std::wstring garbage = test::TempPath(L".jpg");
  const char text[] = "not a picture at all";
  ASSERT_TRUE(test::WriteFileBytes(garbage, text, sizeof(text)));
  for (const std::wstring& path : {test::TempPath(L"_missing.bmp"), garbage}) {
    CBitmap bitmap = test::MakeBitmap(1, 1, 32, {RGB(1, 2, 3)});
    HBITMAP before = bitmap;
    SIZE size = LoadPictureFile(path.c_str(), bitmap);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    EXPECT_EQ(bitmap.Get(), before);
    EXPECT_EQ(test::PixelAt(bitmap, 0, 0), RGB(1, 2, 3));
  }
  EXPECT_FALSE(LoadPictureFromMemory(nullptr, 0));
  DeleteFileW(garbage.c_str());
}

struct EncodedFormat {
  const wchar_t* mimeType;
  const wchar_t* suffix;
  int tolerance;
};

class EncodedPicture : public ::testing::TestWithParam<EncodedFormat> {
 protected:
  CGdiplusSession gdiplus;
};

TEST_P(EncodedPicture, LoadsThroughTheOlePictureLoaderAndGdiplus) {
  ASSERT_TRUE(gdiplus.Started());
  const EncodedFormat format = GetParam();
  const int width = 32, height = 16;
  std::wstring path = test::TempPath(format.suffix);
  ASSERT_TRUE(test::EncodeWithGdiplus(path, format.mimeType, width, height, TwoHalves(width, height)));

  CBitmap bitmap;
  SIZE size = LoadPictureFile(path.c_str(), bitmap);
  EXPECT_EQ(size.cx, width);
  EXPECT_EQ(size.cy, height);
  ASSERT_TRUE(bitmap);
  EXPECT_TRUE(test::NearColour(test::PixelAt(bitmap, 4, 8), kRed, format.tolerance));
  EXPECT_TRUE(test::NearColour(test::PixelAt(bitmap, 27, 8), kBlue, format.tolerance));

  auto gdiplusBitmap = LoadGdiplusBitmap(path.c_str());
  ASSERT_NE(gdiplusBitmap, nullptr);
  EXPECT_EQ(gdiplusBitmap->GetWidth(), static_cast<UINT>(width));
  EXPECT_EQ(gdiplusBitmap->GetHeight(), static_cast<UINT>(height));
  Gdiplus::Color colour;
  ASSERT_EQ(gdiplusBitmap->GetPixel(27, 8, &colour), Gdiplus::Ok);
  EXPECT_TRUE(test::NearColour(RGB(colour.GetR(), colour.GetG(), colour.GetB()), kBlue,
                               format.tolerance));
  // Loaded from memory: the file may go while the bitmap lives.
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(gdiplusBitmap->GetPixel(4, 8, &colour), Gdiplus::Ok);
  EXPECT_TRUE(test::NearColour(RGB(colour.GetR(), colour.GetG(), colour.GetB()), kRed,
                               format.tolerance));
}

INSTANTIATE_TEST_SUITE_P(Formats, EncodedPicture,
                         ::testing::Values(EncodedFormat{L"image/jpeg", L".jpg", 40},
                                           EncodedFormat{L"image/bmp", L".bmp", 0}));

TEST(GdiplusPictures, MissingFileGivesNoBitmap) {
  CGdiplusSession gdiplus;
  EXPECT_EQ(LoadGdiplusBitmap(test::TempPath(L"_missing.jpg").c_str()), nullptr);
}

}  // namespace
}  // namespace korvex
