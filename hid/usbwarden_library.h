#pragma once
// The state behind the library's six exported operations: the client's
// filter and callback, and the running session (backend and message
// delivery) between start and stop of monitoring.
//
// The backend is chosen at each start from KORVEX_KEYBOARD ("usb" when
// unset). While a session runs the library holds a reference on its own
// module, so a client that unloads it without stopping leaves it loaded with
// its threads instead of pulling the code from under them. Stop ends every
// thread (see CMessageDelivery for the one exception) before it returns.

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "hid/hid_backend.h"
#include "hid/message_delivery.h"
#include "hid/usbwarden_abi.h"

namespace korvex::hid {

class CUsbwardenLibrary {
 public:
  static CUsbwardenLibrary& Instance();
  // Called when the module is unloaded; no session can be running then.
  static void DestroyInstance();

  void SetFilter(const usbwarden::DeviceFilter* filter);  // nullptr clears it
  void SetCallback(usbwarden::InputCallback callback);     // nullptr clears it
  int32_t Start(HWND window, UINT message);                // the monitoring handle, 0 on failure
  void Stop();
  bool Write(uint32_t deviceId, const uint8_t* bytes, int32_t length);
  bool Read(uint32_t deviceId, uint8_t* buffer, int32_t length);

 private:
  struct Session {
    std::shared_ptr<IHidBackend> backend;
    std::unique_ptr<CMessageDelivery> delivery;
    HMODULE moduleReference = nullptr;
  };

  std::shared_ptr<IHidBackend> RunningBackend();

  std::mutex mutex_;  // guards filter_, session_, lastHandle_
  usbwarden::DeviceFilter filter_{};
  std::atomic<usbwarden::InputCallback> callback_{nullptr};
  Session session_;
  int32_t lastHandle_ = 0;
};

}  // namespace korvex::hid
