#include <gtest/gtest.h>

#include "framework/device_contexts.h"
#include "framework/gdi_objects.h"
#include "framework/offscreen_paint.h"
#include "framework/tests/message_pump.h"
#include "framework/tests/test_pictures.h"
#include "framework/window.h"

namespace korvex {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

void Fill(HDC dc, RECT rect, COLORREF colour) {
  CBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush);
}

TEST(Gdi, OwnerDeletesReplacedAndHandsOverReleasedObjects) {
  CBrush brush(CreateSolidBrush(kRed));
  HBRUSH first = brush;
  brush.Reset(CreateSolidBrush(kBlue));
  EXPECT_EQ(GetObjectType(first), 0u);  // deleted

  CBrush moved = std::move(brush);
  EXPECT_FALSE(brush);
  HBRUSH kept = moved.Release();
  EXPECT_FALSE(moved);
  EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
  DeleteObject(kept);
}

TEST(Gdi, SelectionGuardPutsThePreviousObjectBack) {
  CMemoryDC dc;
  HGDIOBJ before = GetCurrentObject(dc, OBJ_PEN);
  CPen pen(CreatePen(PS_SOLID, 1, kRed));
  {
    CSelectObject select(dc, pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), before);
}

TEST(Gdi, OffscreenPaintingReachesTheTargetInOneCopy) {
  CBitmap target = test::MakeBitmap(20, 10, 32, std::vector<COLORREF>(200, kWhite));
  CMemoryDC dc;
  CSelectObject select(dc, target);
  const RECT area{5, 2, 15, 8};
  {
    COffscreenPaint paint(dc, area);
    ASSERT_NE(paint.Dc(), static_cast<HDC>(dc));
    Fill(paint.Dc(), {0, 0, 20, 10}, kGreen);  // beyond the area: clipped away
    Fill(paint.Dc(), area, kRed);
    Fill(paint.Dc(), {5, 2, 10, 8}, kBlue);
    EXPECT_EQ(GetPixel(dc, 6, 3), kWhite) << "drawn before the copy";
  }
  EXPECT_EQ(GetPixel(dc, 6, 3), kBlue);
  EXPECT_EQ(GetPixel(dc, 14, 7), kRed);
  EXPECT_EQ(GetPixel(dc, 4, 3), kWhite);
  EXPECT_EQ(GetPixel(dc, 15, 3), kWhite);
  EXPECT_EQ(GetPixel(dc, 6, 8), kWhite);
}

TEST(Gdi, EmptyAreaPaintsStraightIntoTheTarget) {
  CMemoryDC dc;
  COffscreenPaint paint(dc, {3, 3, 3, 9});
  EXPECT_EQ(paint.Dc(), static_cast<HDC>(dc));
}

// A window painting its client area off-screen in WM_PAINT.
class PaintedWindow : public CWindow {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return CWindow::WindowProc(message, wParam, lParam);
    CPaintDC dc(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    COffscreenPaint paint(dc, client);
    Fill(paint.Dc(), client, kBlue);
    Fill(paint.Dc(), {0, 0, client.right / 2, client.bottom}, kRed);
    ++paints;
    return 0;
  }
};

TEST(Gdi, WindowPaintedOffscreenShowsTheComposition) {
  PaintedWindow window;
  ASSERT_TRUE(window.Create({}, WS_EX_TOPMOST, L"painted", WS_POPUP | WS_VISIBLE,
                            RECT{0, 0, 40, 20}, nullptr));
  UpdateWindow(window.Handle());
  ASSERT_TRUE(test::PumpUntil([&] { return window.paints > 0; }));
  CClientDC dc(window.Handle());
  EXPECT_EQ(GetPixel(dc, 5, 10), kRed);
  EXPECT_EQ(GetPixel(dc, 30, 10), kBlue);
}

}  // namespace
}  // namespace korvex
