// The six operations of Usbwarden.dll, exported by ordinal only
// (usbwarden.def) with the C calling convention.

#include <windows.h>

#include <type_traits>

#include "hid/usbwarden_abi.h"
#include "hid/usbwarden_library.h"

using korvex::hid::CUsbwardenLibrary;

extern "C" {

int32_t UsbwardenStartMonitoring(usbwarden::WindowHandle window, uint32_t message, int32_t) {
  return CUsbwardenLibrary::Instance().Start(reinterpret_cast<HWND>(window), message);
}

void UsbwardenStopMonitoring(int32_t) { CUsbwardenLibrary::Instance().Stop(); }

void UsbwardenSetDeviceFilter(const usbwarden::DeviceFilter* filter, int32_t) {
  CUsbwardenLibrary::Instance().SetFilter(filter);
}

void UsbwardenSetInputCallback(usbwarden::InputCallback callback, int32_t) {
  CUsbwardenLibrary::Instance().SetCallback(callback);
}

int32_t UsbwardenWriteReport(uint32_t deviceId, const uint8_t* bytes, int32_t length, int32_t) {
  return CUsbwardenLibrary::Instance().Write(deviceId, bytes, length) ? 1 : 0;
}

int32_t UsbwardenReadReport(uint32_t deviceId, uint8_t* buffer, int32_t length, int32_t) {
  return CUsbwardenLibrary::Instance().Read(deviceId, buffer, length) ? 1 : 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Unloaded by FreeLibrary (not at process exit): a running session holds a
  // reference on the module, so none runs now and nothing waits here. At
  // process exit the other threads are already gone and nothing is touched.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) CUsbwardenLibrary::DestroyInstance();
  return TRUE;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&UsbwardenStartMonitoring), usbwarden::StartMonitoringFn>);
static_assert(std::is_same_v<decltype(&UsbwardenStopMonitoring), usbwarden::StopMonitoringFn>);
static_assert(std::is_same_v<decltype(&UsbwardenSetDeviceFilter), usbwarden::SetDeviceFilterFn>);
static_assert(std::is_same_v<decltype(&UsbwardenSetInputCallback), usbwarden::SetInputCallbackFn>);
static_assert(std::is_same_v<decltype(&UsbwardenWriteReport), usbwarden::WriteReportFn>);
static_assert(std::is_same_v<decltype(&UsbwardenReadReport), usbwarden::ReadReportFn>);
