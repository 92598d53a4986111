#pragma once
// CProgressDlg: the borderless, skinned window shown while settings are
// downloaded to the keyboard. Its shape comes from the mask picture, its
// background and bar from two pictures, all in the product folder's skin
// folder; the bar text comes from Strings.xml.

#include <filesystem>
#include <string>

#include "framework/dialog.h"
#include "framework/gdi_objects.h"
#include "service/win/progress_marker.h"

class CProgressDlg final : public korvex::CDialog {
 public:
  explicit CProgressDlg(std::filesystem::path programFolder);

  CDMarker& Bar() { return bar_; }

 protected:
  BOOL OnInitDialog() override;
  // Enter and Escape must not close the window in the middle of a download.
  void OnOK() override {}
  void OnCancel() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintBackground(HDC target);

  std::filesystem::path programFolder_;
  std::wstring text_;
  korvex::CBitmap mask_;
  korvex::CBitmap background_;
  SIZE size_{};
  CDMarker bar_;
};
