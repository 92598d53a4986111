#include "service/controller/hid_controller.h"

#include <array>
#include <optional>

#include "keyboard/keyboard_layout.h"
#include "service/controller/data_folder_setup.h"
#include "service/controller/launch_path.h"
#include "service/controller/linked_program_match.h"
#include "service/firmware_version.h"
#include "service/hid_messages.h"
#include "service/key_event.h"
#include "service/profile_download.h"
#include "service/window_names.h"
#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/link_file.h"
#include "store/profile_file.h"

namespace {

constexpr std::u16string_view kTrayProgramFile = u"Beaconet.exe";

// Dialogs that hold keyboard state of their own: closed when the keyboard
// comes or goes.
constexpr std::array<std::u16string_view, 4> kDialogsClosedOnPlugChange = {
    u"Launch_Program", u"TamselMacro", u"TAMSEL_SingleKey_Dlg", u"ManageProfile"};

constexpr uint32_t WM_CLOSE_MESSAGE = 0x0010;

// Function codes of keys whose presses the host handles.
constexpr int32_t kLaunchProgramFunction = 0x180;
constexpr int32_t kLaunchProgramAltFunction = 0xDF;
constexpr int32_t kModeSwitchFirst = 0x101;  // MODE_SWITCH1..3 select positions 1..3
constexpr int32_t kModeSwitchLast = 0x103;

// Highest value the keyboard reports for each lighting event.
constexpr uint8_t kMaxReportedEffect = 9;
constexpr uint8_t kMaxReportedDirection = 1;
constexpr uint8_t kMaxReportedBrightness = 4;
// Profile code the keyboard uses for position 0 in a profile switch event.
constexpr uint8_t kPcModeSwitchCode = 6;

// Pause after asking the shell to start a program.
constexpr uint32_t kAfterLaunchMs = 5;

// Image name of a program that never switches profiles.
constexpr std::u16string_view kNeverLinkedImage = u"Ostrel.exe";

constexpr int kLastPosition = PROFILE_COUNT - 1;

}  // namespace

// Forwards download progress to the progress window.
class CHidController::ProgressForwarder final : public IProgressSink {
 public:
  explicit ProgressForwarder(IProgressWindow& window) : window_(window) {}
  void SetProgress(int percent) override { window_.SetPosition(percent); }

 private:
  IProgressWindow& window_;
};

CHidController::CHidController(const HidControllerSeams& seams, std::filesystem::path programFolder,
                               std::filesystem::path dataFolder)
    : seams_(seams),
      programFolder_(std::move(programFolder)),
      dataFolder_(std::move(dataFolder)),
      store_(dataFolder_, seams.registry),
      transport_(seams.hid, seams.desktop),
      commands_(transport_, seams.clock) {
  InitConfig(config_);
}

std::u16string_view CHidController::ProfileName(int position) const {
  return FixedTextView(config_.profiles[position].ProfileName);
}

// ---- Window lifetime ----

void CHidController::OnCreate(WindowHandle serviceWindow, WindowHandle monitorWindow) {
  serviceWindow_ = serviceWindow;
  transport_.SetMonitorWindow(monitorWindow != 0 ? monitorWindow : serviceWindow);
  transport_.SetNotifyWindow(serviceWindow);
  if (transport_.RegisterDevice()) StartTrayProgram();
  LoadAll();
  if (NeedsDataFolderSetUp(dataFolder_, ProfileName(config_.Profile))) SetUpDataFolder(dataFolder_, config_);
}

void CHidController::OnDestroy() { seams_.timers.KillTimer(LINKED_PROGRAM_TIMER_ID); }

void CHidController::StartTrayProgram() {
  if (seams_.desktop.FindTopLevelWindow(TRAY_WINDOW_NAME) != 0) return;
  seams_.shell.Open((programFolder_ / kTrayProgramFile).u16string());
}

// ---- Loading ----

void CHidController::LoadAll() {
  InitConfig(config_);
  if (!store_.ConfigExists()) store_.SaveConfig(config_);
  store_.LoadConfig(config_);
  // Position 0 (the PC mode) is a real list position that the page and the
  // keyboard select; validation would move it to 1, which would switch the
  // user away from it and download profile 1's key map on the next Apply.
  // Only a stored 0 counts: a missing or unreadable value still means 1.
  const bool pcMode = config_.Profile == 0 && StoredPositionIsPcMode();
  ValidateConfig(config_);
  if (pcMode) config_.Profile = 0;
  SelectProfile(config_.Profile, true);
  for (int position = 0; position < PROFILE_COUNT; ++position)
    ReadLinkPrograms(dataFolder_, links_[position], ProfileName(position));
}

bool CHidController::StoredPositionIsPcMode() const {
  return !dataFolder_.empty() && CIniFile(dataFolder_ / "config.ini").ReadIniInt(u"Setting", u"Profile", -1) == 0;
}

void CHidController::SelectProfile(int position, bool force) {
  if (position < 0 || position > kLastPosition) return;
  if (position != config_.Profile) {
    SetCurrentPosition(position);
  } else if (!force) {
    return;
  }
  LoadCurrentProfile();
}

void CHidController::SwitchProfile(int position) {
  if (position < 0 || position > kLastPosition) return;
  SetCurrentPosition(position);
  LoadCurrentProfile();
}

void CHidController::SetCurrentPosition(int position) {
  config_.Profile = static_cast<uint8_t>(position);
  store_.SaveConfig(config_);
  PostToSettingsPage(WM_HID_PROFILE_INDEX, 0, position);
}

void CHidController::LoadCurrentProfile() {
  ResetProfileData(config_.current);
  ReadProfileFile(dataFolder_, ProfileName(config_.Profile), config_.current);
  ValidateLoadedLighting(config_.current);
}

void CHidController::SaveCurrentProfile() { WriteProfileFile(dataFolder_, ProfileName(config_.Profile), config_.current); }

// ---- Posting to other windows ----

bool CHidController::PostToSettingsPage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const WindowHandle main = seams_.desktop.FindTopLevelWindow(MAIN_WINDOW_NAME);
  if (main == 0) return false;
  const WindowHandle page = seams_.desktop.FindChildWindow(main, SETTINGS_PAGE_NAME);
  if (page == 0) return false;
  return seams_.desktop.PostWindowMessage(page, message, wParam, lParam);
}

void CHidController::PostToTopLevel(std::u16string_view name, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (const WindowHandle window = seams_.desktop.FindTopLevelWindow(name))
    seams_.desktop.PostWindowMessage(window, message, wParam, lParam);
}

bool CHidController::NotifyMainWindow(bool present) {
  const WindowHandle main = seams_.desktop.FindTopLevelWindow(MAIN_WINDOW_NAME);
  if (main != 0) seams_.desktop.PostWindowMessage(main, WM_HID_DEVICE_CHANGE, present ? 1 : 0, 0);
  for (std::u16string_view dialog : kDialogsClosedOnPlugChange) PostToTopLevel(dialog, WM_CLOSE_MESSAGE, 0, 0);
  return main != 0;
}

// ---- Device and requests ----

void CHidController::OnDeviceChange(bool present) {
  std::u16string version;
  if (present) {
    uint8_t major = 0, minor = 0;
    // Only a query that went through names a version; otherwise the stored
    // text says "unknown" (a space), as when the keyboard is absent.
    if (commands_.QueryFirmwareVersion(&major, &minor) == CommandResult::kOk)
      version = FormatFirmwareVersion(major, minor);
    if (transport_.MonitorHandle() != 0 || transport_.RegisterDevice()) SelectProfile(config_.Profile, true);
    NotifyMainWindow(true);
    seams_.timers.SetTimer(LINKED_PROGRAM_TIMER_ID, LINKED_PROGRAM_TIMER_MS);
  } else {
    seams_.timers.KillTimer(LINKED_PROGRAM_TIMER_ID);
    NotifyMainWindow(false);
  }
  PostToTopLevel(TRAY_WINDOW_NAME, WM_HID_DEVICE_CHANGE, present ? 1 : 0, 0);
  store_.SaveFirmwareVersion(StoredFirmwareVersion(version));
  store_.SavePlugState(present ? 1 : 0);
}

void CHidController::ShowProgressWindow() {
  // A window left from an earlier request must not stay on screen.
  if (progressShown_) seams_.progress.Close();
  seams_.progress.Show();
  seams_.progress.SetPosition(0);
  progressShown_ = true;
}

void CHidController::FinishDownload() {
  PostToTopLevel(LOADING_WINDOW_NAME, WM_HID_APPLY_PROFILE, 0, 0);
  if (progressShown_) {
    seams_.progress.Close();
    progressShown_ = false;
  }
}

void CHidController::OnShowProgress() { ShowProgressWindow(); }

void CHidController::OnApplyProfile(uintptr_t withLighting, intptr_t resetFirst) {
  ProgressForwarder sink(seams_.progress);
  CProfileDownloader downloader(commands_, seams_.clock, dataFolder_, progressShown_ ? &sink : nullptr);
  downloader.DownloadProfile(config_, [this] { LoadAll(); }, withLighting != 0 || resetFirst != 0, resetFirst != 0);
  FinishDownload();
}

void CHidController::OnApplyLighting(uintptr_t position) {
  ShowProgressWindow();
  ProgressForwarder sink(seams_.progress);
  CProfileDownloader downloader(commands_, seams_.clock, dataFolder_, &sink);
  downloader.DownloadLighting(config_, [this] { LoadAll(); }, static_cast<uint8_t>(position & 0xFF));
  FinishDownload();
}

void CHidController::OnProfileIndex(uintptr_t position) {
  // Only the list's positions: any other would index past the list entries.
  const uint8_t p = static_cast<uint8_t>(position & 0xFF);
  if (p <= kLastPosition) config_.Profile = p;
}

void CHidController::OnReload() { LoadAll(); }

void CHidController::OnReregister() { transport_.Reregister(); }

bool CHidController::OnTimer(uintptr_t id) {
  if (id == LINKED_PROGRAM_TIMER_ID) {
    WatchForegroundProgram();
    return true;
  }
  if (id == LAUNCH_BUSY_TIMER_ID) {
    launchBusy_ = false;
    seams_.timers.KillTimer(LAUNCH_BUSY_TIMER_ID);
    return true;
  }
  return false;
}

// ---- Keyboard events ----

void CHidController::OnKeyEvent(uint8_t code, uint8_t eventClass, uint8_t flag) {
  const int current = config_.Profile;
  tagLIGHT_SETTING& lighting = config_.current.lighting;
  switch (eventClass) {
    case KEY_EVENT_LIGHT_EFFECT:
      if (code > kMaxReportedEffect) return;
      PostToSettingsPage(WM_HID_LIGHT_EFFECT, current, code);
      lighting.byLightEffect = code;
      SaveCurrentProfile();
      return;
    case KEY_EVENT_LIGHT_DIRECTION:
      if (code > kMaxReportedDirection) return;
      PostToSettingsPage(WM_HID_LIGHT_DIRECTION, current, code);
      lighting.byLightEffectDirect = code;
      SaveCurrentProfile();
      return;
    case KEY_EVENT_LIGHT_BRIGHTNESS:
      // The reported level is the stored one: brightness is kept as 0 to 4.
      if (code > kMaxReportedBrightness) return;
      PostToSettingsPage(WM_HID_LIGHT_BRIGHTNESS, current, code);
      lighting.byLightBright = code;
      SaveCurrentProfile();
      return;
    case KEY_EVENT_PROFILE_SWITCHED: {
      const int position = code == kPcModeSwitchCode ? 0 : code;
      if (position <= kLastPosition && position != current) SwitchProfile(position);
      return;
    }
    case KEY_EVENT_PROFILE_SELECTED:
      if (flag == KEY_EVENT_PROFILE_SELECTED_FLAG) {
        const int position = code - 1;
        if (position >= 0 && position <= kLastPosition && position != current) SwitchProfile(position);
        return;
      }
      break;  // any other flag: a key at matrix position 0xFE
    default:
      break;
  }
  // A key press the keyboard reports: only launch keys and codes the
  // keyboard does not perform itself reach the host's key handling.
  for (const keyboard::FunctionKeyCode& entry : keyboard::kFunctionKeyCodes) {
    if (entry.code == code) {
      if (entry.function == kLaunchProgramFunction) break;
      return;
    }
  }
  KeyPressed(eventClass, flag != 0);
}

void CHidController::KeyPressed(uint8_t matrixPosition, bool pressed) {
  int keyIndex = -1;
  for (int i = 0; i < keyboard::kKeyCount; ++i) {
    if (keyboard::kKeyMatrixPosition[i] == matrixPosition) {
      keyIndex = i;
      break;
    }
  }
  if (keyIndex < 0 || !pressed) return;
  const int32_t function = config_.current.keys[keyIndex].byBtnFun;
  if (function == kLaunchProgramAltFunction) {
    seams_.desktop.PostWindowMessage(serviceWindow_, WM_HID_LAUNCH, 0, keyIndex);
  } else if (function == kLaunchProgramFunction) {
    // One launch per press burst: presses within the busy time are dropped.
    if (launchBusy_) return;
    launchBusy_ = true;
    seams_.timers.SetTimer(LAUNCH_BUSY_TIMER_ID, LAUNCH_BUSY_TIMER_MS);
    seams_.desktop.PostWindowMessage(serviceWindow_, WM_HID_LAUNCH, 0, keyIndex);
  } else if (function >= kModeSwitchFirst && function <= kModeSwitchLast) {
    transport_.EnsureRegistered();
    const int position = function - kModeSwitchFirst + 1;
    if (position != config_.Profile) SwitchProfile(position);
  }
}

void CHidController::OnLaunch(intptr_t keyIndex) {
  if (keyIndex < 0 || keyIndex >= KEY_COUNT) return;
  const std::u16string_view launch = FixedTextView(config_.current.keys[keyIndex].launch);
  if (launch.empty()) return;
  seams_.shell.Open(ResolveLaunchPath(launch, seams_.shell));
  seams_.clock.SleepMs(kAfterLaunchMs);
}

// ---- Linked programs ----

void CHidController::WatchForegroundProgram() {
  const std::optional<std::u16string> foreground = seams_.shell.ForegroundImageName();
  if (!foreground || SameProgramName(*foreground, kNeverLinkedImage)) return;
  const std::optional<int> position = FindLinkedPosition(links_, *foreground);
  if (!position || *position == config_.Profile) return;
  if (transport_.MonitorHandle() != 0) commands_.SendBeginCommand();
  SwitchProfile(*position);
}
