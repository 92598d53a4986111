#include "hid/message_delivery.h"

#include <memory>

#include "hid/module_reference.h"

namespace korvex::hid {

namespace {

// What the thread needs, owned by the thread.
struct ThreadContext {
  std::shared_ptr<void> shared;  // keeps the queue alive
  HWND window;
  UINT message;
  const std::atomic<usbwarden::InputCallback>* callback;
  HMODULE module;  // the library's reference for the life of the thread
};

}  // namespace

CMessageDelivery::CMessageDelivery(HWND window, UINT message, const std::atomic<usbwarden::InputCallback>& callback)
    : window_(window), message_(message), callback_(callback), shared_(std::make_shared<Shared>()) {}

CMessageDelivery::~CMessageDelivery() { Stop(); }

bool CMessageDelivery::Start() {
  auto* context = new ThreadContext{shared_, window_, message_, &callback_, ReferenceOwnModule()};
  thread_ = CreateThread(nullptr, 0, &CMessageDelivery::ThreadMain, context, 0, &threadId_);
  if (thread_ == nullptr) {
    if (context->module) FreeLibrary(context->module);
    delete context;
    return false;
  }
  return true;
}

void CMessageDelivery::Stop() {
  if (thread_ == nullptr) return;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    shared_->queue.clear();
  }
  shared_->wake.notify_all();
  const bool mayWait = GetCurrentThreadId() != threadId_ && !InSendMessage();
  while (mayWait) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent message
  }
  CloseHandle(thread_);
  thread_ = nullptr;
}

void CMessageDelivery::Push(Event event) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopping) return;
    shared_->queue.push_back(std::move(event));
  }
  shared_->wake.notify_one();
}

void CMessageDelivery::InterfaceChanged(const usbwarden::DeviceState& state) { Push(Event{false, state, 0, {}}); }

void CMessageDelivery::InputReport(uint16_t deviceId, const uint8_t* bytes, uint32_t length) {
  Push(Event{true, {}, deviceId, std::vector<uint8_t>(bytes, bytes + length)});
}

DWORD WINAPI CMessageDelivery::ThreadMain(void* parameter) {
  std::unique_ptr<ThreadContext> context(static_cast<ThreadContext*>(parameter));
  const HMODULE module = context->module;
  {
    auto shared = std::static_pointer_cast<Shared>(context->shared);
    std::unique_lock lock(shared->mutex);
    for (;;) {
      shared->wake.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
      if (shared->stopping) break;
      Event event = std::move(shared->queue.front());
      shared->queue.pop_front();
      lock.unlock();
      if (event.isInput) {
        if (const usbwarden::InputCallback callback = context->callback->load())
          callback(event.deviceId, event.bytes.data(), static_cast<uint32_t>(event.bytes.size()));
      } else {
        usbwarden::DeviceState record = event.state;  // valid until the window returns
        SendMessageW(context->window, context->message, usbwarden::kMonitorEventWParam,
                     reinterpret_cast<LPARAM>(&record));
      }
      lock.lock();
    }
  }
  context.reset();
  if (module) FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace korvex::hid
