#pragma once
// CHidController: everything the service window does, without the window.
// The hidden window "Korvex_Hid" forwards each of its messages to the
// matching On... method and owns nothing else; the controller holds the
// configuration, the linked programs, the transport and the launch debounce,
// and reaches the desktop, the shell, the timers and the progress window only
// through the interfaces it is given.
//
// Single-threaded: every method runs on the service window's thread. The
// transport's input callback only posts messages to the window.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "service/clock.h"
#include "service/controller/progress_window.h"
#include "service/controller/shell.h"
#include "service/controller/timer_host.h"
#include "service/desktop.h"
#include "service/hid_library.h"
#include "service/keyboard_commands.h"
#include "service/usb_driver.h"
#include "store/config_store.h"
#include "store/records.h"
#include "store/user_registry.h"

// What the controller works through. Every reference must outlive it.
struct HidControllerSeams {
  IHidLibrary& hid;
  IDesktop& desktop;
  IClock& clock;
  ITimerHost& timers;
  IShell& shell;
  IProgressWindow& progress;
  IUserRegistry* registry;  // may be null: no registry values are written
};

class CHidController {
 public:
  // `programFolder` holds the tray program; `dataFolder` is the per-user data
  // folder (empty when it could not be named: nothing is read or written).
  CHidController(const HidControllerSeams& seams, std::filesystem::path programFolder,
                 std::filesystem::path dataFolder);
  CHidController(const CHidController&) = delete;
  CHidController& operator=(const CHidController&) = delete;

  // Window creation: makes `serviceWindow` the window the transport notifies
  // and `monitorWindow` the one the HID library reports plug events to (the
  // service window itself when none is given), registers with the HID library
  // (starting the tray program when that succeeds), loads the data files and
  // sets up a new data folder.
  void OnCreate(WindowHandle serviceWindow, WindowHandle monitorWindow = 0);
  void OnDestroy();

  // WM_HID_DEVICE_CHANGE from the transport (lParam: keyboard present or gone).
  void OnDeviceChange(bool present);
  // WM_HID_SHOW_PROGRESS.
  void OnShowProgress();
  // WM_HID_APPLY_PROFILE: download the profile; `withLighting` (wParam) adds
  // the lighting, `resetFirst` (lParam) sends the reset first and adds it too.
  void OnApplyProfile(uintptr_t withLighting, intptr_t resetFirst);
  // WM_HID_APPLY_LIGHTING (wParam: profile position).
  void OnApplyLighting(uintptr_t position);
  // WM_HID_PROFILE_INDEX (wParam: new current position, low byte).
  void OnProfileIndex(uintptr_t position);
  // WM_HID_RELOAD.
  void OnReload();
  // WM_HID_KEY_EVENT, already split into code, class and flag.
  void OnKeyEvent(uint8_t code, uint8_t eventClass, uint8_t flag);
  // WM_HID_LAUNCH (lParam: key index).
  void OnLaunch(intptr_t keyIndex);
  // A timer tick. False for timers the controller does not own, which get
  // the window's default handling.
  bool OnTimer(uintptr_t id);
  // WM_HID_REREGISTER.
  void OnReregister();

  // Reloads the configuration, the current profile and the linked programs
  // from the data files.
  void LoadAll();
  // Makes `position` current and loads its profile. A change is saved and
  // told to the settings page; the current position is reloaded only with
  // `force`. Positions above 3 are ignored.
  void SelectProfile(int position, bool force);
  // The keyboard switched to `position`: make it current, save, tell the
  // page and load the profile.
  void SwitchProfile(int position);
  // A key the host handles was pressed or released at `matrixPosition`.
  void KeyPressed(uint8_t matrixPosition, bool pressed);
  // Switches to the profile linked to the program in the foreground.
  void WatchForegroundProgram();
  // Posts to the child "Korvex" of the main window; false when there is none.
  bool PostToSettingsPage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Tells the main window the keyboard came or went and closes the dialogs
  // that depend on it; true when the main window exists.
  bool NotifyMainWindow(bool present);

  const tagCONFIG_DATA& Config() const { return config_; }
  const tagLINK_PROGRAMS& LinkedPrograms(int position) const { return links_[position]; }
  bool LaunchBusy() const { return launchBusy_; }
  CUSBDriver& Transport() { return transport_; }

 private:
  class ProgressForwarder;

  std::u16string_view ProfileName(int position) const;
  // True when config.ini holds position 0 itself (not a missing value).
  bool StoredPositionIsPcMode() const;
  // Loads the current position's profile file into the current profile.
  void LoadCurrentProfile();
  // Makes `position` current, saves it and tells the settings page.
  void SetCurrentPosition(int position);
  // Writes the current profile's file (lighting changed on the keyboard).
  void SaveCurrentProfile();
  void StartTrayProgram();
  void ShowProgressWindow();
  // After a download: tells the loading window and closes the progress window.
  void FinishDownload();
  void PostToTopLevel(std::u16string_view name, uint32_t message, uintptr_t wParam, intptr_t lParam);

  HidControllerSeams seams_;
  std::filesystem::path programFolder_;
  std::filesystem::path dataFolder_;
  CConfigStore store_;
  CUSBDriver transport_;
  CKeyboardCommands commands_;
  WindowHandle serviceWindow_ = 0;
  bool progressShown_ = false;
  tagCONFIG_DATA config_{};
  tagLINK_PROGRAMS links_[PROFILE_COUNT]{};
  bool launchBusy_ = false;
};
