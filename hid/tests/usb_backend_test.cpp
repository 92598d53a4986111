#include "hid/usb_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>

#include "hid/tests/recording_host_events.h"

namespace korvex::hid {
namespace {

using testing::CRecordingHostEvents;
using testing::RecordedInput;
using testing::WaitUntil;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// A connection whose input reports the test pushes and whose sent reports it reads.
class CFakeConnection final : public IHidConnection {
 public:
  ReadStatus ReadInput(Bytes& report) override {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return cancelled_ || gone_ || !pending_.empty(); });
    if (cancelled_) return ReadStatus::Stopped;
    if (pending_.empty()) return ReadStatus::Gone;
    report = pending_.front();
    pending_.pop_front();
    return ReadStatus::Report;
  }
  void CancelRead() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    wake_.notify_all();
  }
  bool Send(ReportChannel channel, const Bytes& report) override {
    std::lock_guard lock(mutex_);
    sent_.emplace_back(channel, report);
    return true;
  }
  bool Fetch(ReportChannel channel, Bytes& report) override {
    std::lock_guard lock(mutex_);
    fetchRequests_.emplace_back(channel, report);
    if (!reply_) return false;
    std::copy_n(reply_->begin(), std::min(reply_->size(), report.size()), report.begin());
    return true;
  }

  void Push(Bytes report) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(report));
    wake_.notify_all();
  }
  void Fail() {
    std::lock_guard lock(mutex_);
    gone_ = true;
    wake_.notify_all();
  }
  void SetReply(Bytes reply) {
    std::lock_guard lock(mutex_);
    reply_ = std::move(reply);
  }
  std::vector<std::pair<ReportChannel, Bytes>> Sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  std::vector<std::pair<ReportChannel, Bytes>> FetchRequests() {
    std::lock_guard lock(mutex_);
    return fetchRequests_;
  }
  bool Cancelled() {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Bytes> pending_;
  std::vector<std::pair<ReportChannel, Bytes>> sent_, fetchRequests_;
  std::optional<Bytes> reply_;
  bool cancelled_ = false, gone_ = false;
};

// The system's interfaces, as the test plugs and unplugs them.
class CFakeDeviceSet final : public IHidDeviceSet {
 public:
  std::vector<HidInterfaceInfo> Enumerate() override {
    std::lock_guard lock(mutex_);
    return present_;
  }
  std::unique_ptr<IHidConnection> Open(const HidInterfaceInfo& info) override {
    std::lock_guard lock(mutex_);
    if (refused_.count(info.path) != 0) return nullptr;
    auto connection = std::make_unique<ForwardingConnection>(std::make_shared<CFakeConnection>());
    connections_[info.path] = connection->target;
    return connection;
  }

  void Plug(const HidInterfaceInfo& info) {
    std::lock_guard lock(mutex_);
    present_.push_back(info);
  }
  void Unplug(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::erase_if(present_, [&](const HidInterfaceInfo& i) { return i.path == path; });
  }
  void RefuseOpen(const std::string& path, bool refuse) {
    std::lock_guard lock(mutex_);
    if (refuse)
      refused_.insert(path);
    else
      refused_.erase(path);
  }
  // The connection most recently opened on `path`.
  std::shared_ptr<CFakeConnection> Connection(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = connections_.find(path);
    return it == connections_.end() ? nullptr : it->second;
  }

 private:
  // Lets the test keep the connection after the backend released it.
  struct ForwardingConnection final : IHidConnection {
    explicit ForwardingConnection(std::shared_ptr<CFakeConnection> t) : target(std::move(t)) {}
    ReadStatus ReadInput(Bytes& r) override { return target->ReadInput(r); }
    void CancelRead() override { target->CancelRead(); }
    bool Send(ReportChannel c, const Bytes& r) override { return target->Send(c, r); }
    bool Fetch(ReportChannel c, Bytes& r) override { return target->Fetch(c, r); }
    std::shared_ptr<CFakeConnection> target;
  };

  std::mutex mutex_;
  std::vector<HidInterfaceInfo> present_;
  std::set<std::string> refused_;
  std::map<std::string, std::shared_ptr<CFakeConnection>> connections_;
};

HidInterfaceInfo KeyboardInterface(uint16_t usage, bool numbered = false) {
  HidInterfaceInfo info;
  info.path = "\\\\?\\hid#vid_258a&pid_0090&col0" + std::to_string(usage);
  info.identity = {0x258A, 0x0090, usage, 0xFF00};
  info.inputReportBytes = info.outputReportBytes = numbered ? 8 : 9;
  info.numberedReports = numbered;
  return info;
}

usbwarden::DeviceFilter KeyboardFilter() {
  usbwarden::DeviceFilter filter{0x258A, 0x0090, 5, {}};
  for (uint32_t k = 0; k < 5; ++k) filter.Pairs[k] = {k + 1, 0xFF00};
  return filter;
}

const Bytes kQuery = {0x07, 0x80, 0, 0, 0, 0, 0, 0};

class UsbBackendTest : public ::testing::Test {
 protected:
  UsbBackendTest() {
    auto devices = std::make_unique<CFakeDeviceSet>();
    devices_ = devices.get();
    backend_ = std::make_unique<CUsbBackend>(std::move(devices), 5ms);
  }

  // The identifier reported for the interface of `usage`, 0 when none opened.
  uint16_t IdOf(uint16_t usage) const {
    for (const auto& change : events_.Changes())
      if (change.State == 1 && (change.UsageWord >> 16) == usage) return static_cast<uint16_t>(change.DeviceID);
    return 0;
  }

  CFakeDeviceSet* devices_;
  CRecordingHostEvents events_;
  std::unique_ptr<CUsbBackend> backend_;
};

TEST_F(UsbBackendTest, StartOpensThePresentInterfacesTheFilterAsksFor) {
  for (uint16_t usage = 1; usage <= 5; ++usage) devices_->Plug(KeyboardInterface(usage));
  HidInterfaceInfo mouse = KeyboardInterface(1);
  mouse.path = "mouse";
  mouse.identity = {0x046D, 0xC077, 2, 0x0001};
  devices_->Plug(mouse);
  HidInterfaceInfo otherUsage = KeyboardInterface(6);
  devices_->Plug(otherUsage);

  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  const auto changes = events_.Changes();  // reported before Start returned
  ASSERT_EQ(changes.size(), 5u);
  std::set<uint32_t> ids;
  for (uint32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(changes[k].State, 1u);
    EXPECT_EQ(changes[k].UsageWord, (k + 1) << 16);
    EXPECT_EQ(changes[k].UsagePage, 0xFF00u);
    EXPECT_NE(changes[k].DeviceID & 0xFFFF, 0u);
    ids.insert(changes[k].DeviceID);
  }
  EXPECT_EQ(ids.size(), 5u) << "identifiers are distinct";
  EXPECT_EQ(devices_->Connection("mouse"), nullptr) << "interfaces outside the filter are not opened";
}

TEST_F(UsbBackendTest, ArrivalAndRemovalAreReportedWithTheSameIdentifier) {
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  EXPECT_TRUE(events_.Changes().empty());

  devices_->Plug(KeyboardInterface(2));
  ASSERT_TRUE(events_.WaitForChanges(1));
  const usbwarden::DeviceState opened = events_.Changes()[0];
  EXPECT_EQ(opened.State, 1u);

  devices_->Unplug(KeyboardInterface(2).path);
  ASSERT_TRUE(events_.WaitForChanges(2));
  const usbwarden::DeviceState closed = events_.Changes()[1];
  EXPECT_EQ(closed.State, 0u);
  EXPECT_EQ(closed.DeviceID, opened.DeviceID);
  EXPECT_EQ(closed.UsageWord, opened.UsageWord);
  EXPECT_TRUE(devices_->Connection(KeyboardInterface(2).path)->Cancelled()) << "its reader was ended";
  EXPECT_FALSE(backend_->Write(static_cast<uint16_t>(opened.DeviceID), kQuery.data(), 8)) << "closed interface";

  devices_->Plug(KeyboardInterface(2));
  ASSERT_TRUE(events_.WaitForChanges(3));
  EXPECT_NE(events_.Changes()[2].DeviceID, opened.DeviceID) << "a closed identifier is not reused at once";
}

TEST_F(UsbBackendTest, AReaderThatFindsItsInterfaceGoneClosesItAtOnce) {
  devices_->Plug(KeyboardInterface(1));
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  devices_->Unplug(KeyboardInterface(1).path);
  devices_->Connection(KeyboardInterface(1).path)->Fail();
  ASSERT_TRUE(events_.WaitForChanges(2));
  EXPECT_EQ(events_.Changes()[1].State, 0u);
}

TEST_F(UsbBackendTest, AnInterfaceThatCannotBeOpenedIsTriedAgainAndReportedOnlyOnceOpen) {
  devices_->Plug(KeyboardInterface(3));
  devices_->RefuseOpen(KeyboardInterface(3).path, true);
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  EXPECT_TRUE(events_.Changes().empty());
  devices_->RefuseOpen(KeyboardInterface(3).path, false);
  ASSERT_TRUE(events_.WaitForChanges(1));
  EXPECT_EQ(events_.Changes()[0].UsageWord, 3u << 16);
}

TEST_F(UsbBackendTest, InputReportsArriveWithoutTheZeroReportId) {
  devices_->Plug(KeyboardInterface(1));
  devices_->Plug(KeyboardInterface(2, /*numbered=*/true));
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));

  devices_->Connection(KeyboardInterface(1).path)->Push({0x00, 0x0D, 0x03, 0x02, 0, 0, 0, 0, 0});
  ASSERT_TRUE(events_.WaitForInputs(1));
  devices_->Connection(KeyboardInterface(2).path)->Push({0x08, 0x25, 0x01, 0xFE, 0, 0, 0, 0});
  ASSERT_TRUE(events_.WaitForInputs(2));

  const auto inputs = events_.Inputs();
  EXPECT_EQ(inputs[0], (RecordedInput{IdOf(1), {0x0D, 0x03, 0x02, 0, 0, 0, 0, 0}}));
  EXPECT_EQ(inputs[1], (RecordedInput{IdOf(2), {0x08, 0x25, 0x01, 0xFE, 0, 0, 0, 0}}));
}

TEST_F(UsbBackendTest, WritesAndReadsAreFramedForTheInterface) {
  HidInterfaceInfo featureOnly = KeyboardInterface(3);
  featureOnly.outputReportBytes = 0;
  featureOnly.featureReportBytes = 65;
  devices_->Plug(KeyboardInterface(1));
  devices_->Plug(KeyboardInterface(2, /*numbered=*/true));
  devices_->Plug(featureOnly);
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));

  ASSERT_TRUE(backend_->Write(IdOf(1), kQuery.data(), 8));
  ASSERT_TRUE(backend_->Write(IdOf(2), kQuery.data(), 8));
  ASSERT_TRUE(backend_->Write(IdOf(3), kQuery.data(), 8));
  Bytes featureFrame(65, 0);
  std::copy(kQuery.begin(), kQuery.end(), featureFrame.begin() + 1);
  EXPECT_EQ(devices_->Connection(KeyboardInterface(1).path)->Sent(),
            (std::vector<std::pair<ReportChannel, Bytes>>{{ReportChannel::Output, {0, 0x07, 0x80, 0, 0, 0, 0, 0, 0}}}));
  EXPECT_EQ(devices_->Connection(KeyboardInterface(2).path)->Sent(),
            (std::vector<std::pair<ReportChannel, Bytes>>{{ReportChannel::Output, kQuery}}));
  EXPECT_EQ(devices_->Connection(featureOnly.path)->Sent(),
            (std::vector<std::pair<ReportChannel, Bytes>>{{ReportChannel::Feature, featureFrame}}));

  const Bytes tooLong(9, 0x11);
  EXPECT_FALSE(backend_->Write(IdOf(1), tooLong.data(), 9)) << "does not fit the report";
  EXPECT_FALSE(backend_->Write(0x7777, kQuery.data(), 8)) << "unknown identifier";

  // Unnumbered: the reply's ID byte is dropped. Numbered: the request names
  // the client's first byte as the report ID and the reply keeps it.
  devices_->Connection(KeyboardInterface(1).path)->SetReply({0, 0x07, 0x80, 0x01, 0x05, 0, 0, 0, 0});
  devices_->Connection(KeyboardInterface(2).path)->SetReply({0x07, 0x80, 0x02, 0x03, 0, 0, 0, 0});
  Bytes buffer = kQuery;
  ASSERT_TRUE(backend_->Read(IdOf(1), buffer.data(), 8));
  EXPECT_EQ(buffer, (Bytes{0x07, 0x80, 0x01, 0x05, 0, 0, 0, 0}));
  buffer = kQuery;
  ASSERT_TRUE(backend_->Read(IdOf(2), buffer.data(), 8));
  EXPECT_EQ(buffer, (Bytes{0x07, 0x80, 0x02, 0x03, 0, 0, 0, 0}));
  EXPECT_EQ(devices_->Connection(KeyboardInterface(1).path)->FetchRequests()[0],
            (std::pair<ReportChannel, Bytes>{ReportChannel::Input, Bytes(9, 0)}));
  EXPECT_EQ(devices_->Connection(KeyboardInterface(2).path)->FetchRequests()[0].second[0], 0x07);

  buffer = kQuery;
  EXPECT_FALSE(backend_->Read(IdOf(3), buffer.data(), 8)) << "the device gave no reply";
  EXPECT_EQ(buffer, kQuery) << "a failed read leaves the buffer alone";
}

TEST_F(UsbBackendTest, NothingIsReportedAfterStop) {
  devices_->Plug(KeyboardInterface(1));
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  const auto connection = devices_->Connection(KeyboardInterface(1).path);
  backend_->Stop();
  EXPECT_TRUE(connection->Cancelled());
  devices_->Plug(KeyboardInterface(2));
  connection->Push({0, 1, 2});
  EXPECT_FALSE(events_.WaitForChanges(2, 100ms));
  EXPECT_TRUE(events_.Inputs().empty());
  EXPECT_FALSE(backend_->Write(IdOf(1), kQuery.data(), 8));
}

TEST_F(UsbBackendTest, RestartingReportsThePresentInterfacesAgain) {
  devices_->Plug(KeyboardInterface(1));
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  ASSERT_TRUE(backend_->Start(KeyboardFilter(), events_));
  const auto changes = events_.Changes();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1].State, 1u);
}

}  // namespace
}  // namespace korvex::hid
