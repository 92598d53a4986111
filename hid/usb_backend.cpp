#include "hid/usb_backend.h"

#include <algorithm>

#include "hid/report_framing.h"

namespace korvex::hid {

CUsbBackend::CUsbBackend(std::unique_ptr<IHidDeviceSet> devices, std::chrono::milliseconds rescanInterval)
    : devices_(std::move(devices)), rescanInterval_(rescanInterval) {}

CUsbBackend::~CUsbBackend() { Stop(); }

bool CUsbBackend::Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) {
  Stop();
  {
    std::lock_guard lock(mutex_);
    events_ = &events;
    tracker_.emplace(filter);
    stopping_ = false;
    rescanRequested_ = false;
  }
  Rescan();  // what is present now is reported before Start returns
  monitor_ = std::thread(&CUsbBackend::MonitorLoop, this);
  return true;
}

void CUsbBackend::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (monitor_.joinable()) monitor_.join();

  std::map<uint16_t, std::unique_ptr<OpenInterface>> closing;
  {
    std::lock_guard lock(mutex_);
    closing.swap(open_);
    tracker_.reset();
  }
  for (auto& [id, open] : closing) {
    open->connection->CancelRead();
    if (open->reader.joinable()) open->reader.join();
  }
}

void CUsbBackend::MonitorLoop() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    wake_.wait_for(lock, rescanInterval_, [this] { return stopping_ || rescanRequested_; });
    if (stopping_) break;
    rescanRequested_ = false;
    lock.unlock();
    Rescan();
    lock.lock();
  }
}

void CUsbBackend::Rescan() {
  // Enumerating and opening talk to the system and may take a while; only the
  // bookkeeping runs under the lock.
  const std::vector<HidInterfaceInfo> present = devices_->Enumerate();
  CInterfaceTracker::Changes changes;
  std::vector<std::pair<uint16_t, std::unique_ptr<OpenInterface>>> removed;
  {
    std::lock_guard lock(mutex_);
    if (!tracker_) return;
    changes = tracker_->Compare(present);
    for (uint16_t id : changes.removed) {
      tracker_->Remove(id);
      auto it = open_.find(id);
      if (it == open_.end()) continue;
      removed.emplace_back(id, std::move(it->second));
      open_.erase(it);
    }
  }
  for (auto& [id, open] : removed) Close(id, *open);

  for (const HidInterfaceInfo& info : changes.arrived) {
    std::shared_ptr<IHidConnection> connection = devices_->Open(info);
    if (!connection) continue;  // tried again at the next enumeration
    std::lock_guard lock(mutex_);
    if (stopping_ || !tracker_) return;
    const uint16_t id = tracker_->Add(info);
    events_->InterfaceChanged(MakeDeviceState(true, id, info.identity));
    auto open = std::make_unique<OpenInterface>(OpenInterface{info, connection, {}});
    // The opened event is queued before the reader can queue a report.
    if (info.inputReportBytes > 0)
      open->reader = std::thread(&CUsbBackend::ReaderLoop, this, id, connection, info.numberedReports);
    open_.emplace(id, std::move(open));
  }
}

void CUsbBackend::Close(uint16_t id, OpenInterface& open) {
  open.connection->CancelRead();
  if (open.reader.joinable()) open.reader.join();
  events_->InterfaceChanged(MakeDeviceState(false, id, open.info.identity));
}

void CUsbBackend::ReaderLoop(uint16_t id, std::shared_ptr<IHidConnection> connection, bool numbered) {
  std::vector<uint8_t> report;
  for (;;) {
    const ReadStatus status = connection->ReadInput(report);
    if (status == ReadStatus::Stopped) return;
    if (status == ReadStatus::Gone) {
      {
        std::lock_guard lock(mutex_);
        if (tracker_) tracker_->MarkGone(id);
        rescanRequested_ = true;
      }
      wake_.notify_all();
      return;
    }
    const std::vector<uint8_t> bytes = UnframeReport(report, numbered);
    if (!bytes.empty()) events_->InputReport(id, bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
}

std::optional<std::pair<HidInterfaceInfo, std::shared_ptr<IHidConnection>>> CUsbBackend::Lookup(uint16_t id) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(id);
  if (it == open_.end()) return std::nullopt;
  return std::make_pair(it->second->info, it->second->connection);
}

bool CUsbBackend::Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) {
  const auto open = Lookup(deviceId);
  if (!open) return false;
  const auto& [info, connection] = *open;
  const std::optional<ReportChannel> channel = WriteChannel(info);
  if (!channel) return false;
  const auto frame = FrameReport(bytes, length, ReportBytes(info, *channel), info.numberedReports);
  return frame && connection->Send(*channel, *frame);
}

bool CUsbBackend::Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) {
  const auto open = Lookup(deviceId);
  if (!open || buffer == nullptr || length == 0) return false;
  const auto& [info, connection] = *open;
  const std::optional<ReportChannel> channel = ReadChannel(info);
  if (!channel) return false;
  // The request names the report ID: for numbered reports the client's first
  // byte, otherwise 0.
  std::vector<uint8_t> request(ReportBytes(info, *channel), 0);
  if (request.empty()) return false;
  if (info.numberedReports) request[0] = buffer[0];
  if (!connection->Fetch(*channel, request)) return false;
  const std::vector<uint8_t> bytes = UnframeReport(request, info.numberedReports);
  const std::size_t copied = std::min<std::size_t>(bytes.size(), length);
  std::copy_n(bytes.begin(), copied, buffer);
  std::fill(buffer + copied, buffer + length, 0);
  return true;
}

}  // namespace korvex::hid
