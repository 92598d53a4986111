#include "service/usb_driver.h"

#include <algorithm>
#include <cstdio>

#include "service/hid_messages.h"
#include "service/input_decoder.h"
#include "service/window_names.h"

namespace {

constexpr uint32_t Usage(const usbwarden::DeviceState& d) { return d.UsageWord >> 16; }
constexpr uint32_t UsagePage(const usbwarden::DeviceState& d) { return d.UsagePage & 0xFFFF; }
constexpr uint16_t ShortId(uint32_t deviceId) { return static_cast<uint16_t>(deviceId & 0xFFFF); }

// The keyboard: its vendor and product and its five vendor interfaces.
usbwarden::DeviceFilter KeyboardFilter() {
  usbwarden::DeviceFilter filter{};
  filter.VendorID = keyboard::kVendorId;
  filter.ProductID = keyboard::kProductId;
  filter.PairCount = keyboard::kInterfaceCount;
  for (uint32_t k = 0; k < keyboard::kInterfaceCount; ++k) {
    filter.Pairs[k].Usage = k + 1;
    filter.Pairs[k].UsagePage = keyboard::kVendorUsagePage;
  }
  return filter;
}

}  // namespace

std::atomic<CUSBDriver*> CUSBDriver::instance_{nullptr};

CUSBDriver::CUSBDriver(IHidLibrary& library, IDesktop& desktop) : library_(library), desktop_(desktop) {
  instance_.store(this);
}

CUSBDriver::~CUSBDriver() {
  // A callback arriving after this point must not reach a destroyed object.
  CUSBDriver* self = this;
  instance_.compare_exchange_strong(self, nullptr);
}

CUSBDriver* CUSBDriver::Instance() { return instance_.load(); }

void USBWARDEN_CALLBACK CUSBDriver::InputCallback(uint32_t deviceId, const uint8_t* bytes, uint32_t length) {
  if (CUSBDriver* driver = Instance()) driver->OnInputReport(deviceId, bytes, length);
}

bool CUSBDriver::RegisterDevice() {
  if (monitorHandle_ != 0) library_.StopMonitoring();
  library_.SetDeviceFilter(KeyboardFilter());
  library_.SetInputCallback(&CUSBDriver::InputCallback);
  monitorHandle_ = library_.StartMonitoring(monitorWindow_, WM_HID_MONITOR);
  return monitorHandle_ != 0;
}

bool CUSBDriver::EnsureRegistered() { return monitorHandle_ != 0 || RegisterDevice(); }

void CUSBDriver::Reregister() {
  library_.SetDeviceFilter(usbwarden::DeviceFilter{});
  library_.SetInputCallback(nullptr);
  library_.StopMonitoring();
  monitorHandle_ = 0;
  RegisterDevice();
}

uint16_t CUSBDriver::FindInterface(uint32_t usage) const {
  for (const auto& device : devices_) {
    if (Usage(device) == usage && UsagePage(device) == keyboard::kVendorUsagePage) return ShortId(device.DeviceID);
  }
  return devices_.empty() ? 0 : ShortId(devices_.back().DeviceID);
}

bool CUSBDriver::WriteReport(uint32_t usage, const HidReport& report) {
  return library_.WriteReport(FindInterface(usage), report.data(), static_cast<uint32_t>(report.size()));
}

bool CUSBDriver::ReadReport(uint32_t usage, HidReport& buffer) {
  return library_.ReadReport(FindInterface(usage), buffer.data(), static_cast<uint32_t>(buffer.size()));
}

bool CUSBDriver::OnMonitorEvent(const usbwarden::DeviceState& event) {
  const usbwarden::DeviceState copy = event;  // the library's record is only borrowed
  if (copy.State == 1) return OnInterfaceOpened(copy);
  if (copy.State == 0) OnInterfaceClosed(copy);
  return true;
}

bool CUSBDriver::OnInterfaceOpened(const usbwarden::DeviceState& event) {
  WriteTrace(trace_, "MONITOROPEN:dwDeviceID=%x,usage:0x%x,uagePage:0x%x\n", ShortId(event.DeviceID), Usage(event),
             UsagePage(event));
  auto same = std::find_if(devices_.begin(), devices_.end(), [&](const usbwarden::DeviceState& d) {
    return Usage(d) == Usage(event) && UsagePage(d) == UsagePage(event);
  });
  if (same != devices_.end()) {
    *same = event;  // reopened: the keyboard's presence has not changed
    return false;
  }
  devices_.push_back(event);
  monitorHandle_ = 1;
  NotifyDeviceChange(true);
  return true;
}

void CUSBDriver::OnInterfaceClosed(const usbwarden::DeviceState& event) {
  WriteTrace(trace_, "MONITORCLOSE:dwDeviceID=%x,usage:0x%x,uagePage:0x%x\n", ShortId(event.DeviceID),
             Usage(event), UsagePage(event));
  const bool wasEmpty = devices_.empty();
  if (!wasEmpty) {
    auto closed = std::find_if(devices_.begin(), devices_.end(), [&](const usbwarden::DeviceState& d) {
      return ShortId(d.DeviceID) == ShortId(event.DeviceID);
    });
    if (closed != devices_.end()) devices_.erase(closed);
  }
  if (wasEmpty || (devices_.empty() && monitorHandle_ != 0)) {
    monitorHandle_ = 0;
    NotifyDeviceChange(false);
  }
}

void CUSBDriver::NotifyDeviceChange(bool present) {
  if (WindowHandle window = NotifyWindow()) desktop_.PostWindowMessage(window, WM_HID_DEVICE_CHANGE, 0, present ? 1 : 0);
}

void CUSBDriver::OnInputReport(uint32_t deviceId, const uint8_t* bytes, uint32_t length) {
  if (trace_) {
    WriteTrace(trace_, "ID:0x%x,pBuffer=0x%llx , Length=0x%x\n", deviceId,
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(bytes)), length);
    // Only the bytes delivered, at most the first eight.
    char line[8 * 3 + 2] = {};
    size_t used = 0;
    for (uint32_t i = 0; bytes && i < length && i < 8; ++i)
      used += std::snprintf(line + used, sizeof line - used, i ? " %02x" : "%02x", bytes[i]);
    WriteTrace(trace_, "%s\n", line);
  }
  for (const DecodedPost& post : DecodeInputReport(bytes, length)) {
    WindowHandle target = 0;
    if (post.target == PostTarget::kServiceWindow) {
      target = NotifyWindow();
    } else if (WindowHandle main = desktop_.FindTopLevelWindow(MAIN_WINDOW_NAME)) {
      target = desktop_.FindChildWindow(main, SETTINGS_PAGE_NAME);
    }
    if (target) desktop_.PostWindowMessage(target, post.message, post.wParam, post.lParam);
  }
}
