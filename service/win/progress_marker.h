#pragma once
// CDMarker: the progress window's bar. A child window that paints the empty
// bar picture, the filled bar picture up to the position, and the bar text,
// off-screen and copied to the screen in one step. The position follows the
// download; while dragging is allowed the user may also drag it.

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/gdi_objects.h"
#include "framework/window.h"

class CDMarker final : public korvex::CWindow {
 public:
  // A visible child of `owner` covering `rect` (owner's client coordinates).
  bool CreateBar(HWND owner, const RECT& rect);

  // `normal` is borrowed (the owner keeps it alive as long as the bar);
  // `filled` is the bar's own.
  void SetPictures(HBITMAP normal, korvex::CBitmap filled);
  void SetText(std::wstring text) { text_ = std::move(text); }
  void SetRange(int32_t minimum, int32_t maximum);
  void AllowDragging(bool allowed) { dragAllowed_ = allowed; }
  // The owner's x coordinates between which a drag spans the whole range.
  void SetDragLimits(int32_t left, int32_t right);

  // Takes the position (kept within the range) and repaints at once, so that
  // the change shows while the caller's thread stays busy.
  void SetPosition(int32_t value);
  int32_t Position() const { return position_; }
  int32_t Minimum() const { return minimum_; }
  int32_t Maximum() const { return maximum_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC target);
  void PaintText(HDC dc) const;
  // The position for the pointer at `lParam` (this window's coordinates).
  void DragTo(LPARAM lParam);

  HWND owner_ = nullptr;
  bool dragging_ = false;
  int32_t leftLimit_ = 0;
  int32_t rightLimit_ = 0;
  HBITMAP normal_ = nullptr;
  korvex::CBitmap filled_;
  int32_t minimum_ = 0;
  int32_t maximum_ = 100;
  int32_t position_ = 0;
  bool dragAllowed_ = false;
  std::wstring text_;
  korvex::CFont font_;
};
