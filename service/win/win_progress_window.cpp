#include "service/win/win_progress_window.h"

CWinProgressWindow::CWinProgressWindow(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

CWinProgressWindow::~CWinProgressWindow() { Close(); }

void CWinProgressWindow::Show() {
  Close();  // an earlier window never stays on screen
  dialog_ = std::make_unique<CProgressDlg>(programFolder_);
  if (!dialog_->CreateModeless(owner_)) {
    dialog_.reset();
    return;
  }
  const HWND window = dialog_->Handle();
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  SetWindowPos(window, HWND_TOPMOST, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  dialog_->SetText(L"DrovaneProgressbar");
  dialog_->Bar().SetPosition(0);
  ShowWindow(window, SW_SHOW);
  // Painted now: the download that follows keeps this thread busy.
  UpdateWindow(window);
}

void CWinProgressWindow::SetPosition(int value) {
  if (dialog_) dialog_->Bar().SetPosition(value);
}

void CWinProgressWindow::Close() {
  if (!dialog_) return;
  if (const HWND window = dialog_->Handle()) {
    ShowWindow(window, SW_HIDE);
    dialog_->DestroyWindow();
  }
  dialog_.reset();
}
