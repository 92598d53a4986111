#pragma once
// The binary interface of the HID access library Usbwarden.dll, shared by the
// library itself and by the service that imports it. The six operations are
// exported by ordinal only, with the C calling convention; integers are 32-bit.

#include <cstdint>

namespace usbwarden {

// One opened or closed interface, as delivered with the monitor message.
struct DeviceState {
  uint32_t State;      // 1 = opened, 0 = closed
  uint32_t DeviceID;   // the library's identifier; the low 16 bits address it
  uint32_t UsageWord;  // bits 16..31: HID usage
  uint32_t UsagePage;  // bits 0..15: HID usage page
};
static_assert(sizeof(DeviceState) == 16);

// The device filter: vendor, product and up to ten (usage, usage page) pairs.
// 92 bytes of little-endian 32-bit words; `PairCount` governs.
struct DeviceFilter {
  uint32_t VendorID;
  uint32_t ProductID;
  uint32_t PairCount;
  struct Pair {
    uint32_t Usage;
    uint32_t UsagePage;
  } Pairs[10];
};
static_assert(sizeof(DeviceFilter) == 92);

constexpr uint32_t kMaxPairs = 10;
constexpr uint32_t kMonitorEventWParam = 1;

#if defined(_WIN32)
#define USBWARDEN_CALLBACK __stdcall
#else
#define USBWARDEN_CALLBACK
#endif

// Input reports: (device identifier, report bytes, length in bytes). May be
// called on any thread of the library; the bytes are valid only during the call.
using InputCallback = void(USBWARDEN_CALLBACK*)(uint32_t deviceId, const uint8_t* bytes,
                                                uint32_t length);

// The exported operations, by ordinal.
enum Ordinal : uint16_t {
  kStartMonitoring = 2,
  kStopMonitoring = 3,
  kSetDeviceFilter = 4,
  kSetInputCallback = 5,
  kWriteReport = 7,
  kReadReport = 8,
};

// Window handles are carried as pointer-sized integers so that portable code
// can name them without the Windows headers.
using WindowHandle = uintptr_t;

using SetDeviceFilterFn = void (*)(const DeviceFilter* filter, int32_t reserved);
using SetInputCallbackFn = void (*)(InputCallback callback, int32_t reserved);
using StartMonitoringFn = int32_t (*)(WindowHandle window, uint32_t message, int32_t reserved);
using StopMonitoringFn = void (*)(int32_t reserved);
using WriteReportFn = int32_t (*)(uint32_t deviceId, const uint8_t* bytes, int32_t length,
                                  int32_t reserved);
using ReadReportFn = int32_t (*)(uint32_t deviceId, uint8_t* buffer, int32_t length,
                                 int32_t reserved);

}  // namespace usbwarden
