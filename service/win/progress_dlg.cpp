#include "service/win/progress_dlg.h"

#include "framework/bitmap_region.h"
#include "framework/device_contexts.h"
#include "framework/picture_loader.h"
#include "service/win/progress_dialog_id.h"
#include "xml/xml_document.h"

namespace {

// Below the product folder; Windows looks names up without regard to case.
constexpr const wchar_t* kMaskPicture = L"skins\\updatebar_Mask.bmp";
constexpr const wchar_t* kBackgroundPicture = L"skins\\updatebar_n.jpg";
constexpr const wchar_t* kFilledPicture = L"skins\\updatebar_o.jpg";
constexpr const wchar_t* kStringsFile = L"Strings.xml";

// The bar's range while the window is being made, and during downloads.
constexpr int32_t kCreationMaximum = 10;
constexpr int32_t kDownloadMaximum = 100;

std::wstring BarText(const std::filesystem::path& stringsFile) {
  CXmlDocument strings;
  if (!strings.LoadFile(stringsFile)) return {};
  const std::u16string text = GetXmlValue(strings, u"LOADING", u"BEACONET");
  return std::wstring(text.begin(), text.end());
}

}  // namespace

CProgressDlg::CProgressDlg(std::filesystem::path programFolder)
    : CDialog(IDD_PROGRESS), programFolder_(std::move(programFolder)) {}

BOOL CProgressDlg::OnInitDialog() {
  korvex::LoadPictureFile((programFolder_ / kMaskPicture).c_str(), mask_);
  size_ = korvex::LoadPictureFile((programFolder_ / kBackgroundPicture).c_str(), background_);
  korvex::CBitmap filled;
  korvex::LoadPictureFile((programFolder_ / kFilledPicture).c_str(), filled);
  text_ = BarText(programFolder_ / kStringsFile);

  const RECT whole{0, 0, size_.cx, size_.cy};
  bar_.CreateBar(Handle(), whole);
  bar_.SetRange(0, kCreationMaximum);
  bar_.AllowDragging(true);
  bar_.SetDragLimits(0, size_.cx);
  bar_.SetPictures(background_, std::move(filled));
  bar_.SetText(text_);

  MoveWindow(Handle(), 0, 0, size_.cx, size_.cy, FALSE);
  korvex::SetWindowShape(Handle(), korvex::BitmapToRegion(mask_));
  SetText(L"QUENNA_PROCESSBAR");
  bar_.SetRange(0, kDownloadMaximum);
  return FALSE;  // the window takes no focus: it only shows progress
}

void CProgressDlg::PaintBackground(HDC target) {
  if (!background_) return;
  korvex::CMemoryDC source(target);
  korvex::CSelectObject select(source, background_);
  BitBlt(target, 0, 0, size_.cx, size_.cy, source, 0, 0, SRCCOPY);
}

LRESULT CProgressDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      korvex::CPaintDC dc(Handle());
      PaintBackground(dc);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return CDialog::WindowProc(message, wParam, lParam);
  }
}
