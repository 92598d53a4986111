// Any bytes, any length, into the input decoder and the transport's input
// path (trace formatting included). The bytes are copied into a buffer of
// exactly `size` bytes so that a read past the delivered length is caught.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "service/desktop.h"
#include "service/hid_library.h"
#include "service/hid_messages.h"
#include "service/input_decoder.h"
#include "service/usb_driver.h"

namespace {

class NullLibrary final : public IHidLibrary {
 public:
  void SetDeviceFilter(const usbwarden::DeviceFilter&) override {}
  void SetInputCallback(usbwarden::InputCallback) override {}
  int32_t StartMonitoring(usbwarden::WindowHandle, uint32_t) override { return 1; }
  void StopMonitoring() override {}
  bool WriteReport(uint32_t, const uint8_t*, uint32_t) override { return false; }
  bool ReadReport(uint32_t, uint8_t*, uint32_t) override { return false; }
};

// Every window exists, so every decoded post is delivered.
class EveryWindowDesktop final : public IDesktop {
 public:
  WindowHandle FindTopLevelWindow(std::u16string_view) override { return 1; }
  WindowHandle FindChildWindow(WindowHandle, std::u16string_view) override { return 2; }
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t, intptr_t) override {
    if (window == 0 || (message != WM_HID_KEY_EVENT && message != WM_HID_SPECIAL_STATE)) __builtin_trap();
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
  if (size) std::memcpy(exact.get(), data, size);

  const auto posts = DecodeInputReport(exact.get(), size);
  if (posts.size() > 2) __builtin_trap();
  for (const DecodedPost& post : posts) {
    if (post.target == PostTarget::kServiceWindow && post.message != WM_HID_KEY_EVENT) __builtin_trap();
    if (post.target == PostTarget::kSettingsPage && post.message != WM_HID_SPECIAL_STATE) __builtin_trap();
    if (post.wParam > 0xFF || post.lParam < 0 || post.lParam > 0xFF00FF) __builtin_trap();
  }

  static NullLibrary library;
  static EveryWindowDesktop desktop;
  static CUSBDriver driver(library, desktop);
  static bool configured = false;
  if (!configured) {
    driver.SetNotifyWindow(3);
    driver.SetDebugTrace([](std::u16string_view line) {
      if (line.empty() || line.back() != u'\n') __builtin_trap();
    });
    configured = true;
  }
  CUSBDriver::InputCallback(0x12, exact.get(), static_cast<uint32_t>(size));
  return 0;
}
