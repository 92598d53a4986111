#include "service/win/progress_marker.h"

#include <windowsx.h>

#include "framework/device_contexts.h"
#include "framework/offscreen_paint.h"
#include "service/progress_bar/progress_bar_geometry.h"

namespace {

// Where the bar text goes, in the bar's coordinates, and how it looks.
constexpr RECT kTextRect{175, 60, 575, 105};
constexpr int kTextHeight = 38;
constexpr COLORREF kTextColour = 0xD2D2D2;

void CopyPicture(HDC target, HBITMAP picture, int width, int height) {
  if (!picture || width <= 0 || height <= 0) return;
  korvex::CMemoryDC source(target);
  korvex::CSelectObject select(source, picture);
  BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
}

}  // namespace

bool CDMarker::CreateBar(HWND owner, const RECT& rect) {
  owner_ = owner;
  font_.Reset(CreateFontW(kTextHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
  return Create(korvex::WindowClassParams{}, 0, nullptr, WS_CHILD | WS_VISIBLE, rect, owner);
}

void CDMarker::SetPictures(HBITMAP normal, korvex::CBitmap filled) {
  normal_ = normal;
  filled_ = std::move(filled);
}

void CDMarker::SetRange(int32_t minimum, int32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = ClampBarPosition(position_, minimum_, maximum_);
}

void CDMarker::SetDragLimits(int32_t left, int32_t right) {
  leftLimit_ = left;
  rightLimit_ = right;
}

void CDMarker::SetPosition(int32_t value) {
  position_ = ClampBarPosition(value, minimum_, maximum_);
  if (!Handle()) return;
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

void CDMarker::Paint(HDC target) {
  RECT client{};
  GetClientRect(Handle(), &client);
  korvex::COffscreenPaint offscreen(target, client);
  const HDC dc = offscreen.Dc();
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  CopyPicture(dc, normal_, width, height);
  CopyPicture(dc, filled_, FilledBarWidth(position_, minimum_, maximum_, width), height);
  PaintText(dc);
}

void CDMarker::PaintText(HDC dc) const {
  if (text_.empty()) return;
  korvex::CSelectObject selectFont(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTextColour);
  RECT rect = kTextRect;
  ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CDMarker::DragTo(LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MapWindowPoints(Handle(), owner_, &point, 1);
  SetPosition(BarPositionAtPointer(point.x, leftLimit_, rightLimit_, minimum_, maximum_));
}

LRESULT CDMarker::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      korvex::CPaintDC dc(Handle());
      Paint(dc);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_LBUTTONDOWN:
      if (dragAllowed_) {
        SetCapture(Handle());
        dragging_ = true;
      }
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_ && (wParam & MK_LBUTTON)) DragTo(lParam);
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        DragTo(lParam);
        dragging_ = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
    case WM_KILLFOCUS:
      dragging_ = false;
      break;
    default:
      break;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}
