#include "service/win/usb_transport_window.h"

#include "service/hid_messages.h"
#include "service/usb_driver.h"

bool CUsbTransportWindow::CreateHidden() {
  const RECT rect{1, 1, 2, 2};
  return Create(korvex::WindowClassParams{}, 0, L"", WS_POPUP, rect, nullptr);
}

bool CUsbTransportWindow::DeliverMonitorMessage(CUSBDriver* transport, WPARAM wParam, LPARAM lParam) {
  if (!transport || wParam != usbwarden::kMonitorEventWParam || lParam == 0) return true;
  // The record lives on the library's thread until this message returns.
  return transport->OnMonitorEvent(*reinterpret_cast<const usbwarden::DeviceState*>(lParam));
}

LRESULT CUsbTransportWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HID_MONITOR && !DeliverMonitorMessage(transport_, wParam, lParam)) return 0;
  return CWindow::WindowProc(message, wParam, lParam);
}
