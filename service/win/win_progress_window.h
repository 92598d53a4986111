#pragma once
// The controller's progress window over CProgressDlg: made when shown,
// destroyed when closed, owned by the service window.

#include <windows.h>

#include <filesystem>
#include <memory>

#include "service/controller/progress_window.h"
#include "service/win/progress_dlg.h"

class CWinProgressWindow final : public IProgressWindow {
 public:
  explicit CWinProgressWindow(std::filesystem::path programFolder);
  ~CWinProgressWindow() override;
  CWinProgressWindow(const CWinProgressWindow&) = delete;
  CWinProgressWindow& operator=(const CWinProgressWindow&) = delete;

  // The window that owns the progress window (the service window).
  void SetOwner(HWND owner) { owner_ = owner; }

  void Show() override;
  void SetPosition(int value) override;
  void Close() override;

 private:
  std::filesystem::path programFolder_;
  HWND owner_ = nullptr;
  std::unique_ptr<CProgressDlg> dialog_;
};
