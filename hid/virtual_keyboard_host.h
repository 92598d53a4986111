#pragma once
// The virtual keyboard as a backend: a firmware model that plugs in when
// monitoring starts, presents the keyboard's five vendor interfaces (those the
// filter asks for) under the identifiers 0x0101 to 0x0105, takes writes and
// reads on them, and answers the control tool's commands.
//
// Its memory lives in state.json in its folder: loaded at start, saved by a
// thread of its own after every change that alters it (so the caller never
// waits for the disk), and again at stop together with the report log.
// Input reports the keyboard sends (control commands) go to the host events,
// which deliver them on the library's own thread; they come from the
// keyboard's command interface (usage 2).

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "devsim/virtual_keyboard.h"
#include "hid/device_filter.h"
#include "hid/hid_backend.h"
#include "hid/vkb_command.h"
#include "hid/vkb_protocol.h"

namespace korvex::hid {

class CVirtualKeyboardHost final : public IHidBackend {
 public:
  explicit CVirtualKeyboardHost(std::filesystem::path folder);
  ~CVirtualKeyboardHost() override;

  static constexpr uint16_t InterfaceId(int usage) { return static_cast<uint16_t>(0x0100 | usage); }

  bool Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) override;
  void Stop() override;
  bool Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) override;
  bool Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) override;

  // Runs a control command on the running keyboard.
  VkbOutcome Execute(const VkbCommand& command);
  // Answers one request line of the control channel with its reply line.
  std::string HandleRequestLine(std::string_view line);

 private:
  struct Interface {
    uint16_t id;
    InterfaceIdentity identity;
  };

  // Without a folder (the system named none) the keyboard runs from its
  // factory state and keeps nothing.
  bool Persisted() const { return !folder_.empty(); }
  std::optional<int> UsageOf(uint16_t id) const;  // of an interface the client sees
  void ReportInterfaces(bool opened);
  VkbOutcome Plug(bool plugged);
  void RequestSave();
  void SaverLoop();
  // Writes a state snapshot unless a newer one is already on disk.
  void WriteStateSnapshot(const std::string& text, uint64_t generation);

  const std::filesystem::path folder_;

  // Held while state.json is written, so a reset's write and the saver's
  // write never interleave; taken after mutex_ when both are held.
  std::mutex fileMutex_;
  uint64_t writtenGeneration_ = 0;  // guarded by fileMutex_

  mutable std::mutex mutex_;  // guards everything below
  std::condition_variable saverWake_;
  std::shared_ptr<devsim::CVirtualKeyboard> keyboard_;  // while running
  IHostEvents* events_ = nullptr;
  std::vector<Interface> interfaces_;
  bool saveRequested_ = false;
  uint64_t stateGeneration_ = 0;  // counts requested saves
  bool stopping_ = false;
  std::thread saver_;
};

}  // namespace korvex::hid
