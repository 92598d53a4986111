#include "hid/usbwarden_library.h"

#include <chrono>

#include "hid/backend_choice.h"
#include "hid/module_reference.h"
#include "hid/usb_backend.h"
#include "hid/virtual_backend.h"
#include "hid/vkb_locations.h"
#include "hid/win32_hid_device_set.h"
#include "hid/win32_text.h"

namespace korvex::hid {

namespace {

// How often the usb backend looks for interfaces that arrived or went away.
constexpr std::chrono::milliseconds kRescanInterval{1000};

CUsbwardenLibrary* instance = nullptr;

std::unique_ptr<IHidBackend> MakeBackend(BackendKind kind) {
  if (kind == BackendKind::Virtual) return std::make_unique<CVirtualBackend>(VirtualKeyboardFolder(), ControlPipeName());
  return std::make_unique<CUsbBackend>(std::make_unique<CWin32HidDeviceSet>(), kRescanInterval);
}

}  // namespace

CUsbwardenLibrary& CUsbwardenLibrary::Instance() {
  // Created on the first call from a client, never during loading.
  static std::once_flag once;
  std::call_once(once, [] { instance = new CUsbwardenLibrary; });
  return *instance;
}

void CUsbwardenLibrary::DestroyInstance() {
  delete instance;
  instance = nullptr;
}

void CUsbwardenLibrary::SetFilter(const usbwarden::DeviceFilter* filter) {
  std::lock_guard lock(mutex_);
  filter_ = filter ? *filter : usbwarden::DeviceFilter{};
}

void CUsbwardenLibrary::SetCallback(usbwarden::InputCallback callback) { callback_.store(callback); }

int32_t CUsbwardenLibrary::Start(HWND window, UINT message) {
  Stop();
  const std::wstring choice = EnvironmentValue(L"KORVEX_KEYBOARD");
  const std::string narrowChoice = WideToUtf8(choice);
  const std::optional<BackendKind> kind = ParseBackendChoice(narrowChoice.c_str());
  if (!kind) {
    DebugTrace(L"KORVEX_KEYBOARD=" + choice + L" names no backend (usb or virtual)");
    return 0;
  }
  if (!IsWindow(window)) return 0;

  usbwarden::DeviceFilter filter;
  {
    std::lock_guard lock(mutex_);
    filter = filter_;
  }
  Session session;
  session.delivery = std::make_unique<CMessageDelivery>(window, message, callback_);
  if (!session.delivery->Start()) return 0;
  session.backend = MakeBackend(*kind);
  if (!session.backend->Start(filter, *session.delivery)) {
    session.delivery->Stop();
    return 0;
  }
  session.moduleReference = ReferenceOwnModule();

  std::lock_guard lock(mutex_);
  session_ = std::move(session);
  lastHandle_ = lastHandle_ == INT32_MAX ? 1 : lastHandle_ + 1;
  return lastHandle_;
}

void CUsbwardenLibrary::Stop() {
  Session session;
  {
    std::lock_guard lock(mutex_);
    session = std::move(session_);
    session_ = Session{};
  }
  // The backend first, so nothing is queued once the delivery has stopped.
  if (session.backend) session.backend->Stop();
  if (session.delivery) session.delivery->Stop();
  session.backend.reset();
  session.delivery.reset();
  // The caller holds its own reference while it calls us, so this never
  // unloads the code that is running.
  if (session.moduleReference) FreeLibrary(session.moduleReference);
}

std::shared_ptr<IHidBackend> CUsbwardenLibrary::RunningBackend() {
  std::lock_guard lock(mutex_);
  return session_.backend;
}

bool CUsbwardenLibrary::Write(uint32_t deviceId, const uint8_t* bytes, int32_t length) {
  const std::shared_ptr<IHidBackend> backend = RunningBackend();
  return backend && bytes != nullptr && length > 0 &&
         backend->Write(static_cast<uint16_t>(deviceId & 0xFFFF), bytes, static_cast<uint32_t>(length));
}

bool CUsbwardenLibrary::Read(uint32_t deviceId, uint8_t* buffer, int32_t length) {
  const std::shared_ptr<IHidBackend> backend = RunningBackend();
  return backend && buffer != nullptr && length > 0 &&
         backend->Read(static_cast<uint16_t>(deviceId & 0xFFFF), buffer, static_cast<uint32_t>(length));
}

}  // namespace korvex::hid
