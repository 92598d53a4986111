#pragma once
// The transport's own hidden window: the HID library announces each opened
// or closed keyboard interface to it as WM_HID_MONITOR, and it hands the
// record to the transport. A plain pop-up of 1 x 1 pixel at (1, 1), never
// shown, and without a window name, so nothing that looks for the suite's
// windows by name ever finds it.

#include "framework/window.h"

class CUSBDriver;

class CUsbTransportWindow final : public korvex::CWindow {
 public:
  bool CreateHidden();
  // The transport that receives the notifications; none drops them.
  void SetTransport(CUSBDriver* transport) { transport_ = transport; }

  // Hands one WM_HID_MONITOR to `transport`. Returns true when the message
  // should also get the default handling (false when an interface already
  // listed was only replaced).
  static bool DeliverMonitorMessage(CUSBDriver* transport, WPARAM wParam, LPARAM lParam);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CUSBDriver* transport_ = nullptr;
};
