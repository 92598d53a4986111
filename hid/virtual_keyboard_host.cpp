#include "hid/virtual_keyboard_host.h"

#include "devsim/state_json.h"
#include "hid/vkb_state_files.h"
#include "keyboard/keyboard_layout.h"
#include "xml/atomic_file.h"

namespace korvex::hid {

CVirtualKeyboardHost::CVirtualKeyboardHost(std::filesystem::path folder) : folder_(std::move(folder)) {}

CVirtualKeyboardHost::~CVirtualKeyboardHost() { Stop(); }

bool CVirtualKeyboardHost::Start(const usbwarden::DeviceFilter& filter, IHostEvents& events) {
  Stop();
  auto keyboard = std::make_shared<devsim::CVirtualKeyboard>();  // real milliseconds
  if (Persisted()) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);  // without it the keyboard runs, unsaved
    keyboard->LoadState(StateFilePath(folder_));        // a missing file gives the factory state
  }

  std::lock_guard lock(mutex_);
  keyboard_ = std::move(keyboard);
  events_ = &events;
  interfaces_.clear();
  for (int usage = 1; usage <= keyboard::kInterfaceCount; ++usage) {
    const InterfaceIdentity identity{keyboard::kVendorId, keyboard::kProductId, static_cast<uint16_t>(usage),
                                     keyboard::kVendorUsagePage};
    if (MatchesFilter(filter, identity)) interfaces_.push_back({InterfaceId(usage), identity});
  }
  // Starting is plugging in: the interfaces open one after another.
  keyboard_->Plug();
  ReportInterfaces(true);
  stopping_ = false;
  saveRequested_ = true;  // the plug state may differ from the file
  saver_ = std::thread(&CVirtualKeyboardHost::SaverLoop, this);
  return true;
}

void CVirtualKeyboardHost::Stop() {
  std::shared_ptr<devsim::CVirtualKeyboard> keyboard;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    keyboard = std::move(keyboard_);
    events_ = nullptr;
    interfaces_.clear();
  }
  saverWake_.notify_all();
  if (saver_.joinable()) saver_.join();
  if (keyboard && Persisted()) {
    keyboard->SaveState(StateFilePath(folder_));
    SaveReportLog(keyboard->Log(), LogFilePath(folder_));
  }
}

void CVirtualKeyboardHost::SaverLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    saverWake_.wait(lock, [this] { return stopping_ || saveRequested_; });
    if (stopping_) return;  // Stop saves last
    saveRequested_ = false;
    if (!keyboard_ || !Persisted()) continue;
    // The snapshot is taken under the lock; only the disk write happens outside it.
    const std::string text = devsim::StateToJsonText(keyboard_->State());
    const uint64_t generation = stateGeneration_;
    lock.unlock();
    WriteStateSnapshot(text, generation);
    lock.lock();
  }
}

void CVirtualKeyboardHost::WriteStateSnapshot(const std::string& text, uint64_t generation) {
  std::lock_guard fileLock(fileMutex_);
  if (generation < writtenGeneration_) return;  // a newer state is already on disk
  if (ReplaceFileContents(StateFilePath(folder_), text)) writtenGeneration_ = generation;
}

void CVirtualKeyboardHost::RequestSave() {
  ++stateGeneration_;
  saveRequested_ = true;
  saverWake_.notify_all();
}

std::optional<int> CVirtualKeyboardHost::UsageOf(uint16_t id) const {
  for (const Interface& i : interfaces_)
    if (i.id == id) return i.identity.usage;
  return std::nullopt;
}

void CVirtualKeyboardHost::ReportInterfaces(bool opened) {
  for (const Interface& i : interfaces_) events_->InterfaceChanged(MakeDeviceState(opened, i.id, i.identity));
}

bool CVirtualKeyboardHost::Write(uint16_t deviceId, const uint8_t* bytes, uint32_t length) {
  std::lock_guard lock(mutex_);
  const std::optional<int> usage = UsageOf(deviceId);
  if (!keyboard_ || !usage || bytes == nullptr) return false;
  const devsim::KeyboardState before = keyboard_->State();
  const bool accepted = keyboard_->ReceiveReport(*usage, bytes, length);
  if (!(keyboard_->State() == before)) RequestSave();
  return accepted;
}

bool CVirtualKeyboardHost::Read(uint16_t deviceId, uint8_t* buffer, uint32_t length) {
  std::lock_guard lock(mutex_);
  const std::optional<int> usage = UsageOf(deviceId);
  return keyboard_ && usage && keyboard_->ReadReport(*usage, buffer, length);
}

VkbOutcome CVirtualKeyboardHost::Execute(const VkbCommand& command) {
  std::lock_guard lock(mutex_);
  if (!keyboard_) return VkbOutcome::Failure("the virtual keyboard is not running");
  devsim::CVirtualKeyboard& kb = *keyboard_;
  switch (command.verb) {
    case VkbVerb::Plug: return Plug(true);
    case VkbVerb::Unplug: return Plug(false);
    case VkbVerb::State: return VkbOutcome::Success(devsim::StateToJsonText(kb.State()));
    case VkbVerb::Log: return VkbOutcome::Success(devsim::ReportLogToJsonText(kb.Log()));
    case VkbVerb::ClearLog:
      kb.ClearLog();
      return VkbOutcome::Success(ClearedJson());
    case VkbVerb::Reset: {
      if (!Persisted()) return VkbOutcome::Failure("the virtual keyboard keeps no state file");
      // The reset writes the file itself; a snapshot the saver took before it
      // is older and is not written over it.
      std::lock_guard fileLock(fileMutex_);
      const uint64_t generation = ++stateGeneration_;
      if (!ResetKeyboard(kb, StateFilePath(folder_)))
        return VkbOutcome::Failure("cannot write " + StateFilePath(folder_).string());
      writtenGeneration_ = generation;
      return VkbOutcome::Success(devsim::StateToJsonText(kb.State()));
    }
    default: break;
  }

  // The rest are reports the keyboard sends.
  if (!kb.IsPlugged()) return VkbOutcome::Failure("the virtual keyboard is unplugged");
  const uint16_t eventInterface = InterfaceId(keyboard::kCommandUsage);
  if (!UsageOf(eventInterface)) return VkbOutcome::Failure("the keyboard's command interface is not open");

  std::vector<std::optional<devsim::Report>> made;
  switch (command.verb) {
    case VkbVerb::Profile: made = {kb.SwitchProfile(command.value)}; break;
    case VkbVerb::Effect: made = {kb.ChangeEffect(command.value)}; break;
    case VkbVerb::Direction: made = {kb.ChangeDirection(command.value)}; break;
    case VkbVerb::Brightness: made = {kb.ChangeBrightness(command.value)}; break;
    case VkbVerb::Special: made = {kb.SetSpecialState(command.value != 0)}; break;
    case VkbVerb::Press:
      made = {kb.KeyEvent(command.value, true)};
      if (made[0]) made.push_back(kb.KeyEvent(command.value, false));
      break;
    case VkbVerb::Input: made = {std::nullopt}; break;
    default: return VkbOutcome::Failure("unknown command");
  }

  std::vector<std::vector<uint8_t>> sent;
  if (command.verb == VkbVerb::Input) {
    sent.push_back(command.bytes);
  } else {
    for (const auto& report : made) {
      if (!report) return VkbOutcome::Failure("the keyboard cannot report that key: its code would read as another event");
      sent.emplace_back(report->begin(), report->end());
    }
    if (command.verb != VkbVerb::Press) RequestSave();  // profile, lighting and special state are kept
  }
  for (const auto& bytes : sent) events_->InputReport(eventInterface, bytes.data(), static_cast<uint32_t>(bytes.size()));
  return VkbOutcome::Success(SentReportsJson(sent));
}

std::string CVirtualKeyboardHost::HandleRequestLine(std::string_view line) {
  const auto parsed = ParseVkbCommand(SplitWords(line));
  if (const std::string* error = std::get_if<std::string>(&parsed)) return FormatReply(VkbOutcome::Failure(*error));
  return FormatReply(Execute(std::get<VkbCommand>(parsed)));
}

VkbOutcome CVirtualKeyboardHost::Plug(bool plugged) {
  if (keyboard_->IsPlugged() != plugged) {
    if (plugged)
      keyboard_->Plug();
    else
      keyboard_->Unplug();
    ReportInterfaces(plugged);
    RequestSave();
  }
  return VkbOutcome::Success(PluggedJson(plugged));
}

}  // namespace korvex::hid
