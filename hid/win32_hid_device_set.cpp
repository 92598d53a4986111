#include "hid/win32_hid_device_set.h"

#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <iterator>
#include <mutex>
#include <optional>

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include "hid/win32_text.h"

namespace korvex::hid {

namespace {

// A write that the device does not take within this time fails.
constexpr DWORD kWriteTimeoutMs = 1000;

class CHandle {
 public:
  explicit CHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~CHandle() {
    if (valid()) CloseHandle(h_);
  }
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// True when one of the `count` capabilities `get` lists for a report type
// carries a non-zero report ID.
template <typename Caps, typename Getter>
bool AnyReportId(Getter get, HIDP_REPORT_TYPE type, USHORT count, PHIDP_PREPARSED_DATA data) {
  if (count == 0) return false;
  std::vector<Caps> caps(count);
  if (get(type, caps.data(), &count, data) != HIDP_STATUS_SUCCESS) return false;
  return std::any_of(caps.begin(), caps.begin() + count, [](const Caps& c) { return c.ReportID != 0; });
}

// True when any report of any kind carries a non-zero report ID.
bool UsesReportIds(PHIDP_PREPARSED_DATA data, const HIDP_CAPS& caps) {
  const struct {
    HIDP_REPORT_TYPE type;
    USHORT values, buttons;
  } kinds[] = {{HidP_Input, caps.NumberInputValueCaps, caps.NumberInputButtonCaps},
               {HidP_Output, caps.NumberOutputValueCaps, caps.NumberOutputButtonCaps},
               {HidP_Feature, caps.NumberFeatureValueCaps, caps.NumberFeatureButtonCaps}};
  return std::any_of(std::begin(kinds), std::end(kinds), [&](const auto& kind) {
    return AnyReportId<HIDP_VALUE_CAPS>(HidP_GetValueCaps, kind.type, kind.values, data) ||
           AnyReportId<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, kind.type, kind.buttons, data);
  });
}

// Reads an interface's identity and report layout. Opening without access
// rights is enough for that, even for interfaces the system holds exclusively.
std::optional<HidInterfaceInfo> Describe(const std::wstring& path) {
  CHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return std::nullopt;
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!HidD_GetAttributes(file.get(), &attributes)) return std::nullopt;
  PHIDP_PREPARSED_DATA data = nullptr;
  if (!HidD_GetPreparsedData(file.get(), &data)) return std::nullopt;
  HIDP_CAPS caps{};
  const bool haveCaps = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS;
  const bool numbered = haveCaps && UsesReportIds(data, caps);
  HidD_FreePreparsedData(data);
  if (!haveCaps) return std::nullopt;

  HidInterfaceInfo info;
  info.path = WideToUtf8(path);
  info.identity = {attributes.VendorID, attributes.ProductID, caps.Usage, caps.UsagePage};
  info.inputReportBytes = caps.InputReportByteLength;
  info.outputReportBytes = caps.OutputReportByteLength;
  info.featureReportBytes = caps.FeatureReportByteLength;
  info.numberedReports = numbered;
  return info;
}

class CWin32HidConnection final : public IHidConnection {
 public:
  CWin32HidConnection(HANDLE file, uint16_t inputBytes)
      : file_(file),
        inputBytes_(inputBytes),
        readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        writeDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  bool valid() const { return file_.valid() && readDone_.valid() && writeDone_.valid() && cancel_.valid(); }

  ReadStatus ReadInput(std::vector<uint8_t>& report) override {
    if (WaitForSingleObject(cancel_.get(), 0) == WAIT_OBJECT_0) return ReadStatus::Stopped;
    report.assign(inputBytes_, 0);
    OVERLAPPED overlapped{};
    overlapped.hEvent = readDone_.get();
    ResetEvent(readDone_.get());
    if (!ReadFile(file_.get(), report.data(), inputBytes_, nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
      return ReadStatus::Gone;
    const HANDLE waits[] = {readDone_.get(), cancel_.get()};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woke != WAIT_OBJECT_0) CancelIoEx(file_.get(), &overlapped);
    DWORD read = 0;
    const BOOL ok = GetOverlappedResult(file_.get(), &overlapped, &read, TRUE);
    if (woke != WAIT_OBJECT_0) return ReadStatus::Stopped;
    if (!ok) return ReadStatus::Gone;
    report.resize(read);
    return ReadStatus::Report;
  }

  void CancelRead() override { SetEvent(cancel_.get()); }

  bool Send(ReportChannel channel, const std::vector<uint8_t>& report) override {
    std::lock_guard lock(writeMutex_);
    auto* bytes = const_cast<uint8_t*>(report.data());
    const auto length = static_cast<ULONG>(report.size());
    if (channel == ReportChannel::Feature) return HidD_SetFeature(file_.get(), bytes, length) != FALSE;
    if (channel != ReportChannel::Output) return false;
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeDone_.get();
    ResetEvent(writeDone_.get());
    if (!WriteFile(file_.get(), bytes, length, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING)
      return false;
    if (WaitForSingleObject(writeDone_.get(), kWriteTimeoutMs) != WAIT_OBJECT_0) CancelIoEx(file_.get(), &overlapped);
    DWORD written = 0;
    return GetOverlappedResult(file_.get(), &overlapped, &written, TRUE) && written == length;
  }

  bool Fetch(ReportChannel channel, std::vector<uint8_t>& report) override {
    const auto length = static_cast<ULONG>(report.size());
    if (channel == ReportChannel::Feature) return HidD_GetFeature(file_.get(), report.data(), length) != FALSE;
    if (channel == ReportChannel::Input) return HidD_GetInputReport(file_.get(), report.data(), length) != FALSE;
    return false;
  }

 private:
  CHandle file_;
  uint16_t inputBytes_;
  CHandle readDone_, writeDone_, cancel_;
  std::mutex writeMutex_;
};

}  // namespace

std::vector<HidInterfaceInfo> CWin32HidDeviceSet::Enumerate() {
  std::vector<HidInterfaceInfo> found;
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  HDEVINFO set = SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return found;
  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof(interfaceData);
  for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData); ++index) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<uint8_t> storage(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, size, nullptr, nullptr)) continue;
    if (auto info = Describe(detail->DevicePath)) found.push_back(std::move(*info));
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

std::unique_ptr<IHidConnection> CWin32HidDeviceSet::Open(const HidInterfaceInfo& info) {
  const HANDLE file = CreateFileW(Utf8ToWide(info.path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  auto connection = std::make_unique<CWin32HidConnection>(file, info.inputReportBytes);
  if (!connection->valid()) return nullptr;
  return connection;
}

}  // namespace korvex::hid
