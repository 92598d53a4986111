#pragma once
// CUSBDriver: the transport between the service and the keyboard's five
// vendor interfaces, over the HID access library. It keeps the list of open
// interfaces, addresses reports by interface usage, turns the library's
// open/close notifications into WM_HID_DEVICE_CHANGE for the service window,
// and hands input reports from the library's callback to the decoder.
//
// There is one per process: constructing one makes it the process-wide
// instance the static input callback serves. Everything except the input
// callback runs on the service window's thread; the callback only reads the
// instance pointer and the notify window and posts, so the IDesktop given
// must allow finding windows and posting from any thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "hid/usbwarden_abi.h"
#include "keyboard/keyboard_layout.h"
#include "service/debug_trace.h"
#include "service/desktop.h"
#include "service/hid_library.h"

using HidReport = std::array<uint8_t, keyboard::kReportSize>;

class CUSBDriver {
 public:
  static constexpr uint32_t kDefaultWriteDelayMs = 20;

  CUSBDriver(IHidLibrary& library, IDesktop& desktop);
  ~CUSBDriver();
  CUSBDriver(const CUSBDriver&) = delete;
  CUSBDriver& operator=(const CUSBDriver&) = delete;

  // The process-wide transport, or null when none exists.
  static CUSBDriver* Instance();
  // The callback handed to the library: passes the report to the instance.
  static void USBWARDEN_CALLBACK InputCallback(uint32_t deviceId, const uint8_t* bytes, uint32_t length);

  // The window that receives the library's WM_HID_MONITOR notifications.
  void SetMonitorWindow(WindowHandle window) { monitorWindow_ = window; }
  // The service window: receives WM_HID_DEVICE_CHANGE and WM_HID_KEY_EVENT.
  void SetNotifyWindow(WindowHandle window) { notifyWindow_.store(window); }
  WindowHandle NotifyWindow() const { return notifyWindow_.load(); }
  // Set before registering: the callback thread reads it.
  void SetDebugTrace(DebugTrace trace) { trace_ = std::move(trace); }

  // Pause after a query or begin report, in milliseconds.
  uint32_t WriteDelay() const { return writeDelayMs_; }
  // 0: not registered or keyboard gone; the library's handle once monitoring
  // started; 1 once an interface has opened.
  int32_t MonitorHandle() const { return monitorHandle_; }
  // The open interfaces, oldest first.
  const std::vector<usbwarden::DeviceState>& Devices() const { return devices_; }

  // (Re)starts monitoring the keyboard with its filter and the input
  // callback. True when the library returned a monitoring handle.
  bool RegisterDevice();
  // RegisterDevice when not registered; false when that fails.
  bool EnsureRegistered();
  // Clears the library's filter and callback, stops monitoring and registers
  // again (the service window's WM_HID_REREGISTER).
  void Reregister();

  // The 16-bit identifier of the oldest open vendor interface of `usage`.
  // Without one: the identifier of the last listed interface, 0 when none is.
  uint16_t FindInterface(uint32_t usage) const;
  bool WriteReport(uint32_t usage, const HidReport& report);
  bool ReadReport(uint32_t usage, HidReport& buffer);

  // An interface opened or closed (WM_HID_MONITOR). Returns whether the
  // message should also get the default handling: false only when an open
  // event replaced an interface already listed.
  bool OnMonitorEvent(const usbwarden::DeviceState& event);

  // One input report from the library: traced, decoded and posted.
  void OnInputReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length);

 private:
  // False when the interface was already listed and has only been replaced.
  bool OnInterfaceOpened(const usbwarden::DeviceState& event);
  void OnInterfaceClosed(const usbwarden::DeviceState& event);
  void NotifyDeviceChange(bool present);

  IHidLibrary& library_;
  IDesktop& desktop_;
  std::vector<usbwarden::DeviceState> devices_;
  uint32_t writeDelayMs_ = kDefaultWriteDelayMs;
  int32_t monitorHandle_ = 0;
  WindowHandle monitorWindow_ = 0;
  std::atomic<WindowHandle> notifyWindow_{0};
  DebugTrace trace_;

  static std::atomic<CUSBDriver*> instance_;
};
