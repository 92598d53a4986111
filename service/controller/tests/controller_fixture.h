#pragma once
// A controller over fakes of every seam and a temporary data folder, with a
// desktop that has the main window, its settings page, the tray window, the
// loading window and the dialogs closed on plug changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/controller/hid_controller.h"
#include "service/controller/tests/controller_fakes.h"
#include "service/hid_messages.h"
#include "service/tests/fake_desktop.h"
#include "service/tests/fake_hid_library.h"
#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/profile_file.h"
#include "tests/support/temp_folder.h"

namespace window {
constexpr WindowHandle kService = 100, kMain = 1, kPage = 2, kTray = 3, kLoading = 4;
constexpr WindowHandle kLaunchProgram = 10, kTamselMacro = 11, kSingleKey = 12, kManageProfile = 13;
}  // namespace window

constexpr uint32_t kWmClose = 0x0010;

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() : hid(&clock) { std::filesystem::create_directories(DataFolder()); }

  void AddAllWindows() {
    desktop.AddTopLevel(u"Korvex", window::kMain);
    desktop.AddChild(window::kMain, u"Korvex", window::kPage);
    desktop.AddTopLevel(u"Korvex_Beaconet", window::kTray);
    desktop.AddTopLevel(u"DLGLoading", window::kLoading);
    desktop.AddTopLevel(u"Launch_Program", window::kLaunchProgram);
    desktop.AddTopLevel(u"TamselMacro", window::kTamselMacro);
    desktop.AddTopLevel(u"TAMSEL_SingleKey_Dlg", window::kSingleKey);
    desktop.AddTopLevel(u"ManageProfile", window::kManageProfile);
  }

  // A new controller over the same data folder, created as the window is.
  CHidController& Start() {
    controller.reset();
    controller = std::make_unique<CHidController>(
        HidControllerSeams{hid, desktop, clock, timers, shell, progress, &registry}, ProgramFolder(), DataFolder());
    controller->OnCreate(window::kService);
    postsBefore = desktop.Posts().size();
    writesBefore = hid.writes.size();
    return *controller;
  }

  std::filesystem::path DataFolder() const { return temp.Path() / "Korvex"; }
  std::filesystem::path ProgramFolder() const { return temp.Path() / "Program"; }
  std::filesystem::path ProfilesFolder() const { return DataFolder() / "Profiles"; }
  std::string ConfigBytes() const { return korvex::testing::ReadFileBytes(DataFolder() / "config.ini"); }
  CIniFile ConfigIni() const { return CIniFile(DataFolder() / "config.ini"); }
  CIniFile LinkFile(int position) const {
    return CIniFile(ProfilesFolder() / ("Profile " + std::to_string(position) + ".ini"));
  }

  // Reads the profile file of list position `position`.
  std::unique_ptr<tagPROFILE_DATA> ProfileFile(int position) const {
    auto profile = std::make_unique<tagPROFILE_DATA>();
    ResetProfileData(*profile);
    ReadProfileFile(DataFolder(), u"Profile " + std::u16string(1, char16_t(u'0' + position)), *profile);
    return profile;
  }
  // Rewrites the profile file of `position` with `change` applied to what it holds.
  void EditProfileFile(int position, const std::function<void(tagPROFILE_DATA&)>& change) {
    auto profile = ProfileFile(position);
    change(*profile);
    ASSERT_TRUE(WriteProfileFile(DataFolder(), u"Profile " + std::u16string(1, char16_t(u'0' + position)), *profile));
  }
  // Edits the current profile's file and makes the controller read it again.
  void EditCurrentProfile(const std::function<void(tagPROFILE_DATA&)>& change) {
    EditProfileFile(controller->Config().Profile, change);
    controller->SelectProfile(controller->Config().Profile, true);
  }

  // Posts since Start() (or since the last call to ForgetPosts()).
  std::vector<PostedMessage> NewPosts() {
    const auto all = desktop.Posts();
    return std::vector<PostedMessage>(all.begin() + static_cast<std::ptrdiff_t>(postsBefore), all.end());
  }
  std::vector<PostedMessage> NewPostsTo(WindowHandle window) {
    std::vector<PostedMessage> result;
    for (const auto& post : NewPosts())
      if (post.window == window) result.push_back(post);
    return result;
  }
  void ForgetPosts() {
    postsBefore = desktop.Posts().size();
    writesBefore = hid.writes.size();
  }
  // Reports written since Start() (or ForgetPosts()), as (byte 0, byte 1) pairs.
  std::vector<std::pair<uint8_t, uint8_t>> NewReportKinds() const {
    std::vector<std::pair<uint8_t, uint8_t>> kinds;
    for (size_t i = writesBefore; i < hid.writes.size(); ++i)
      kinds.emplace_back(hid.writes[i].bytes[0], hid.writes[i].bytes[1]);
    return kinds;
  }
  size_t CountReports(uint8_t byte0, uint8_t byte1) const {
    const auto kinds = NewReportKinds();
    return static_cast<size_t>(std::count(kinds.begin(), kinds.end(), std::make_pair(byte0, byte1)));
  }

  korvex::testing::TempFolder temp;
  HookedClock clock;
  FakeHidLibrary hid;
  FakeDesktop desktop;
  FakeTimerHost timers;
  FakeShell shell;
  FakeProgressWindow progress;
  FakeRegistry registry;
  std::unique_ptr<CHidController> controller;
  size_t postsBefore = 0;
  size_t writesBefore = 0;
};
