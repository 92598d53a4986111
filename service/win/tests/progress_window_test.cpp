#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "service/win/progress_dlg.h"
#include "service/win/win_progress_window.h"

namespace {

// The product folder holds the skin the progress window is drawn from.
const std::filesystem::path kProductFolder = KORVEX_DIST_DIR;
constexpr int kSkinWidth = 750, kSkinHeight = 150;

std::wstring WindowText(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

class ProgressWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner_.Create(korvex::WindowClassParams{}, 0, L"ProgressWindowTestOwner", WS_POPUP, RECT{1, 1, 2, 2},
                              nullptr));
  }
  korvex::CWindow owner_;
};

TEST_F(ProgressWindowTest, CreatedFromTheSkinWithItsNameAndBarRange) {
  CProgressDlg dialog(kProductFolder);
  ASSERT_TRUE(dialog.CreateModeless(owner_.Handle()));
  RECT rect{};
  GetWindowRect(dialog.Handle(), &rect);
  EXPECT_EQ(rect.right - rect.left, kSkinWidth);
  EXPECT_EQ(rect.bottom - rect.top, kSkinHeight);
  EXPECT_EQ(WindowText(dialog.Handle()), L"QUENNA_PROCESSBAR");
  EXPECT_EQ(dialog.Bar().Minimum(), 0);
  EXPECT_EQ(dialog.Bar().Maximum(), 100);
  EXPECT_EQ(GetParent(dialog.Bar().Handle()), dialog.Handle());
  EXPECT_TRUE(GetWindowLongPtrW(dialog.Bar().Handle(), GWL_STYLE) & WS_VISIBLE);
  // The mask cuts the rounded corners away.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(dialog.Handle(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, kSkinWidth / 2, kSkinHeight / 2));
  DeleteObject(region);
}

TEST_F(ProgressWindowTest, WithoutTheSkinTheWindowHasNoSize) {
  CProgressDlg dialog(kProductFolder / "no-such-folder");
  ASSERT_TRUE(dialog.CreateModeless(owner_.Handle()));
  RECT rect{};
  GetWindowRect(dialog.Handle(), &rect);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(ProgressWindowTest, ShownCentredOnTopAndClosed) {
  CWinProgressWindow progress(kProductFolder);
  progress.SetOwner(owner_.Handle());
  progress.Show();
  const HWND window = FindWindowW(nullptr, L"DrovaneProgressbar");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kSkinWidth) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kSkinHeight) / 2);

  // A second request replaces the window instead of leaving one behind.
  progress.Show();
  EXPECT_FALSE(IsWindow(window));
  progress.Close();
  EXPECT_EQ(FindWindowW(nullptr, L"DrovaneProgressbar"), nullptr);
}

struct PositionCase {
  int value, position;
};

TEST_F(ProgressWindowTest, BarPositionsKeepWithinTheRange) {
  CProgressDlg dialog(kProductFolder);
  ASSERT_TRUE(dialog.CreateModeless(owner_.Handle()));
  for (const PositionCase& c : {PositionCase{20, 20}, {100, 100}, {-5, 0}, {250, 100}, {0, 0}}) {
    dialog.Bar().SetPosition(c.value);
    EXPECT_EQ(dialog.Bar().Position(), c.position) << c.value;
  }
}

struct DragCase {
  int x, position;
};

TEST_F(ProgressWindowTest, DraggingMovesTheBarUntilTheButtonIsReleased) {
  CProgressDlg dialog(kProductFolder);
  ASSERT_TRUE(dialog.CreateModeless(owner_.Handle()));
  const HWND bar = dialog.Bar().Handle();
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
  for (const DragCase& c : {DragCase{375, 50}, {0, 0}, {749, 99}, {-30, 0}, {2000, 100}}) {
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(c.x), 20));
    EXPECT_EQ(dialog.Bar().Position(), c.position) << c.x;
  }
  SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(150, 20));
  EXPECT_EQ(dialog.Bar().Position(), 20);
  // Released: moving no longer drags.
  SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(600, 20));
  EXPECT_EQ(dialog.Bar().Position(), 20);
}

}  // namespace
