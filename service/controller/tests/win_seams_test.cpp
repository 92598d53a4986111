// The controller's Win32 seams on the real platform: shortcuts, files, the
// foreground process, finding and posting to windows, and window timers.

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/com_ref.h"
#include "service/controller/win/win_desktop.h"
#include "service/controller/win/win_shell.h"
#include "service/controller/win/win_timer_host.h"
#include "tests/support/temp_folder.h"

namespace {

std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

bool CreateShellLink(const std::wstring& linkPath, const std::wstring& target) {
  korvex::CComRef<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out()))))
    return false;
  if (FAILED(link->SetPath(target.c_str()))) return false;
  korvex::CComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) return false;
  return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

class WinShellTest : public ::testing::Test {
 protected:
  void SetUp() override { comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  void TearDown() override {
    if (comReady_) CoUninitialize();
  }
  korvex::testing::TempFolder dir{"korvex-shell"};
  CWinShell shell;

 private:
  bool comReady_ = false;
};

TEST_F(WinShellTest, ShellLinkResolvesToItsTarget) {
  const std::filesystem::path target = dir.Path() / "game.exe";
  std::ofstream(target) << "x";
  const std::filesystem::path link = dir.Path() / "game.lnk";
  ASSERT_TRUE(CreateShellLink(link.wstring(), target.wstring()));

  const std::optional<std::u16string> resolved = shell.ResolveShortcut(Utf16(link.wstring()));

  ASSERT_TRUE(resolved.has_value());
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(std::wstring(resolved->begin(), resolved->end())), target));
}

TEST_F(WinShellTest, PlainOrMissingFilesAreNoShortcuts) {
  const std::filesystem::path plain = dir.Path() / "notes.txt";
  std::ofstream(plain) << "not a link";

  EXPECT_FALSE(shell.ResolveShortcut(Utf16(plain.wstring())).has_value());
  EXPECT_FALSE(shell.ResolveShortcut(Utf16((dir.Path() / "missing.lnk").wstring())).has_value());
}

TEST_F(WinShellTest, FileExistsForFilesAndFolders) {
  const std::filesystem::path file = dir.Path() / "a.txt";
  std::ofstream(file) << "a";

  EXPECT_TRUE(shell.FileExists(Utf16(file.wstring())));
  EXPECT_TRUE(shell.FileExists(Utf16(dir.Path().wstring())));
  EXPECT_FALSE(shell.FileExists(Utf16((dir.Path() / "b.txt").wstring())));
}

// A top-level window of this process, destroyed with the object.
class TestWindow {
 public:
  explicit TestWindow(const wchar_t* name, DWORD style = WS_POPUP, HWND parent = nullptr) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KorvexSeamsTestWindow";
    RegisterClassW(&cls);  // a second registration fails harmlessly
    hwnd_ = CreateWindowExW(0, cls.lpszClassName, name, style, 10, 10, 120, 80, parent, nullptr, cls.hInstance,
                            nullptr);
  }
  ~TestWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

TEST_F(WinShellTest, ForegroundImageNameIsThatOfTheForegroundProcess) {
  TestWindow window(L"Korvex seams foreground", WS_POPUP | WS_VISIBLE);
  if (!window.Get()) GTEST_SKIP() << "no display for a top-level window";
  SetForegroundWindow(window.Get());
  if (GetForegroundWindow() != window.Get()) GTEST_SKIP() << "the window did not come to the foreground";

  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::u16string expected = Utf16(std::filesystem::path(module).filename().wstring());
  const std::optional<std::u16string> name = shell.ForegroundImageName();

  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(CompareStringOrdinal(reinterpret_cast<const wchar_t*>(name->c_str()), -1,
                                 reinterpret_cast<const wchar_t*>(expected.c_str()), -1, TRUE),
            CSTR_EQUAL);
}

TEST(WinDesktopTest, FindsWindowsByNameAndPostsToThem) {
  TestWindow top(L"Korvex seams top");
  if (!top.Get()) GTEST_SKIP() << "no display for a top-level window";
  TestWindow child(L"Korvex seams child", WS_CHILD, top.Get());
  CWinDesktop desktop;

  const WindowHandle found = desktop.FindTopLevelWindow(u"Korvex seams top");
  EXPECT_EQ(found, reinterpret_cast<WindowHandle>(top.Get()));
  EXPECT_EQ(desktop.FindChildWindow(found, u"Korvex seams child"), reinterpret_cast<WindowHandle>(child.Get()));
  EXPECT_EQ(desktop.FindTopLevelWindow(u"Korvex seams nobody"), 0u);
  EXPECT_EQ(desktop.FindChildWindow(0, u"Korvex seams child"), 0u);

  ASSERT_TRUE(desktop.PostWindowMessage(found, WM_APP + 7, 3, 4));
  EXPECT_FALSE(desktop.PostWindowMessage(0, WM_APP + 7, 3, 4));
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, top.Get(), WM_APP + 7, WM_APP + 7, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(msg.lParam, 4);
}

TEST(WinTimerHostTest, TimerTicksUntilKilled) {
  TestWindow window(L"Korvex seams timer");
  if (!window.Get()) GTEST_SKIP() << "no display for a top-level window";
  CWinTimerHost timers(window.Get());

  timers.SetTimer(0x1001, 1);
  bool ticked = false;
  const ULONGLONG deadline = GetTickCount64() + 5000;
  while (!ticked && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_TIMER);
    MSG msg{};
    while (PeekMessageW(&msg, window.Get(), WM_TIMER, WM_TIMER, PM_REMOVE))
      if (msg.wParam == 0x1001) ticked = true;
  }
  timers.KillTimer(0x1001);

  EXPECT_TRUE(ticked);
  EXPECT_FALSE(KillTimer(window.Get(), 0x1001));  // no longer running
}

}  // namespace
