#pragma once
// Hands the backend's events to the client on a thread of the library's own:
// interface changes as the client's monitor message, sent (SendMessageW) with
// wParam 1 and lParam pointing to a record on this thread's stack, so the
// record stays valid exactly until the window has handled it; input reports
// through the client's callback. Events keep their order; the backend only
// queues them and never waits for the client.
//
// Stop discards what is still queued and waits for the thread; while waiting
// it lets a monitor message that is being sent to the calling thread's window
// through, so stopping from the window's thread cannot deadlock. Called from
// the delivery thread itself (inside the callback) or while handling a sent
// message, it does not wait: the thread ends by itself once the client
// returns, holding a reference on the library until then.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "hid/host_events.h"

namespace korvex::hid {

class CMessageDelivery final : public IHostEvents {
 public:
  // `callback` is read at each delivery, so the client may change it at any time.
  CMessageDelivery(HWND window, UINT message, const std::atomic<usbwarden::InputCallback>& callback);
  ~CMessageDelivery() override;  // Stop

  bool Start();
  void Stop();

  void InterfaceChanged(const usbwarden::DeviceState& state) override;
  void InputReport(uint16_t deviceId, const uint8_t* bytes, uint32_t length) override;

 private:
  struct Event {
    bool isInput;
    usbwarden::DeviceState state;
    uint16_t deviceId;
    std::vector<uint8_t> bytes;
  };
  // Shared by the thread and this object, so the thread may outlive it.
  struct Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Event> queue;
    bool stopping = false;
  };

  static DWORD WINAPI ThreadMain(void* parameter);
  void Push(Event event);

  HWND window_;
  UINT message_;
  const std::atomic<usbwarden::InputCallback>& callback_;
  std::shared_ptr<Shared> shared_;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

}  // namespace korvex::hid
