#include "service/win/hid_wnd.h"

#include "service/hid_messages.h"
#include "service/key_event.h"

namespace {

constexpr const wchar_t* kServiceWindowName = L"Korvex_Hid";
constexpr const wchar_t* kHidLibraryFile = L"Usbwarden.dll";
// What every handler of the service's messages returns.
constexpr LRESULT kHandled = 1;

void TraceToDebugger(std::u16string_view line) {
  const std::wstring text(line.begin(), line.end());
  OutputDebugStringW(text.c_str());
}

}  // namespace

CHidWnd::CHidWnd(std::filesystem::path programFolder, std::filesystem::path dataFolder)
    : programFolder_(std::move(programFolder)),
      dataFolder_(std::move(dataFolder)),
      hid_(programFolder_ / kHidLibraryFile),
      progress_(programFolder_) {}

CHidWnd::~CHidWnd() {
  DestroyWindow();
  hid_.Disconnect();
  controller_.reset();
  transportWindow_.DestroyWindow();
}

bool CHidWnd::CreateServiceWindow() {
  const RECT rect{1, 1, 2, 2};
  return Create(korvex::WindowClassParams{}, 0, kServiceWindowName, WS_POPUP, rect, nullptr);
}

int CHidWnd::OnCreate(CREATESTRUCTW& create) {
  if (CWindow::OnCreate(create) == -1) return -1;
  SetText(kServiceWindowName);
  const HWND self = Handle();
  progress_.SetOwner(self);
  timers_ = std::make_unique<CWinTimerHost>(self);
  controller_ = std::make_unique<CHidController>(
      HidControllerSeams{hid_, desktop_, clock_, *timers_, shell_, progress_, &registry_}, programFolder_,
      dataFolder_);
  CUSBDriver& transport = controller_->Transport();
  transport.SetDebugTrace(&TraceToDebugger);
  WindowHandle monitorWindow = 0;
  if (transportWindow_.CreateHidden()) {
    transportWindow_.SetTransport(&transport);
    monitorWindow = reinterpret_cast<WindowHandle>(transportWindow_.Handle());
  }
  controller_->OnCreate(reinterpret_cast<WindowHandle>(self), monitorWindow);
  return 0;
}

void CHidWnd::OnDestroy() {
  if (controller_) controller_->OnDestroy();
  // The service window is the application's main window: its end ends the
  // message loop.
  PostQuitMessage(0);
}

LRESULT CHidWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HID_REREGISTER) {
    if (controller_) controller_->OnReregister();
    return DefaultProc(message, wParam, lParam);
  }
  if (controller_ && ForwardServiceMessage(message, wParam, lParam)) return kHandled;
  return CWindow::WindowProc(message, wParam, lParam);
}

bool CHidWnd::ForwardServiceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CHidController& controller = *controller_;
  switch (message) {
    case WM_HID_DEVICE_CHANGE:
      controller.OnDeviceChange(lParam != 0);
      return true;
    case WM_HID_SHOW_PROGRESS:
      controller.OnShowProgress();
      return true;
    case WM_HID_APPLY_PROFILE:
      controller.OnApplyProfile(wParam, lParam);
      return true;
    case WM_HID_APPLY_LIGHTING:
      controller.OnApplyLighting(wParam);
      return true;
    case WM_HID_PROFILE_INDEX:
      controller.OnProfileIndex(wParam);
      return true;
    case WM_HID_RELOAD:
      controller.OnReload();
      return true;
    case WM_HID_KEY_EVENT:
      controller.OnKeyEvent(KeyEventCode(wParam), KeyEventClass(lParam), KeyEventFlag(lParam));
      return true;
    case WM_HID_LAUNCH:
      controller.OnLaunch(lParam);
      return true;
    case WM_TIMER:
      // Timers the controller does not own get the default handling.
      return controller.OnTimer(wParam);
    default:
      return false;
  }
}
