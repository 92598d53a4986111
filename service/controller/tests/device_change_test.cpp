// The keyboard coming and going, and registering again.

#include "service/controller/tests/controller_fixture.h"

namespace {

class DeviceChangeTest : public ControllerTest {
 protected:
  void SetUp() override {
    AddAllWindows();
    Start();
  }

  std::vector<PostedMessage> ExpectedNotifications(uintptr_t present) const {
    return {{window::kMain, WM_HID_DEVICE_CHANGE, present, 0},
            {window::kLaunchProgram, kWmClose, 0, 0},
            {window::kTamselMacro, kWmClose, 0, 0},
            {window::kSingleKey, kWmClose, 0, 0},
            {window::kManageProfile, kWmClose, 0, 0},
            {window::kTray, WM_HID_DEVICE_CHANGE, present, 0}};
  }
};

TEST_F(DeviceChangeTest, PresentQueriesVersionReloadsNotifiesAndStartsTheWatch) {
  hid.readReply = {0, 0, 1, 12, 0, 0, 0, 0};
  EditProfileFile(1, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 8; });

  controller->OnDeviceChange(true);

  ASSERT_EQ(NewReportKinds(), (std::vector<std::pair<uint8_t, uint8_t>>{{0x07, 0x80}}));
  EXPECT_EQ(controller->Config().current.lighting.byLightEffect, 8);  // profile reloaded
  EXPECT_EQ(NewPosts(), ExpectedNotifications(1));
  EXPECT_TRUE(timers.IsRunning(LINKED_PROGRAM_TIMER_ID, 2000));
  EXPECT_EQ(ConfigIni().ReadIniString(u"Setting", u"FWVersion", u""), u"112");
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Plug", -1), 1);
  EXPECT_EQ(registry.strings[u"FWVersion"], u"112");
  EXPECT_EQ(registry.dwords[u"DevicePlug"], 1u);
}

TEST_F(DeviceChangeTest, GoneStopsTheWatchNotifiesAndStoresNoVersion) {
  controller->OnDeviceChange(true);
  ForgetPosts();

  controller->OnDeviceChange(false);

  EXPECT_TRUE(NewReportKinds().empty());
  EXPECT_EQ(NewPosts(), ExpectedNotifications(0));
  EXPECT_TRUE(timers.running.empty());
  EXPECT_EQ(ConfigIni().ReadIniString(u"Setting", u"FWVersion", u"absent"), u"");  // written, blank
  EXPECT_EQ(registry.strings[u"FWVersion"], u" ");
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Plug", -1), 0);
  EXPECT_EQ(registry.dwords[u"DevicePlug"], 0u);
}

TEST_F(DeviceChangeTest, FailedVersionQueryStoresASpace) {
  hid.readResult = false;
  hid.readReply = {0, 0, 1, 5, 0, 0, 0, 0};

  controller->OnDeviceChange(true);

  EXPECT_EQ(ConfigIni().ReadIniString(u"Setting", u"FWVersion", u"absent"), u"");  // written, blank
  EXPECT_EQ(registry.strings[u"FWVersion"], u" ");
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Plug", -1), 1);
}

TEST_F(DeviceChangeTest, MissingWindowsOnlySkipTheirPosts) {
  FakeDesktop empty;
  controller = std::make_unique<CHidController>(
      HidControllerSeams{hid, empty, clock, timers, shell, progress, &registry}, ProgramFolder(), DataFolder());
  controller->OnCreate(window::kService);

  EXPECT_FALSE(controller->NotifyMainWindow(true));
  EXPECT_FALSE(controller->PostToSettingsPage(WM_HID_PROFILE_INDEX, 0, 1));
  controller->OnDeviceChange(true);

  EXPECT_TRUE(empty.Posts().empty());
  EXPECT_TRUE(timers.IsRunning(LINKED_PROGRAM_TIMER_ID, 2000));
}

TEST_F(DeviceChangeTest, DestroyStopsTheWatchAndReregisterStartsMonitoringAgain) {
  controller->OnDeviceChange(true);
  const size_t starts = hid.starts.size();

  controller->OnReregister();
  EXPECT_EQ(hid.starts.size(), starts + 1);
  EXPECT_EQ(controller->Transport().MonitorHandle(), hid.startResult);

  controller->OnDestroy();
  EXPECT_TRUE(timers.running.empty());
  EXPECT_FALSE(controller->OnTimer(0x4242));
}

}  // namespace

// The library reports plug events to the transport's own window when the
// service has one, and to the service window otherwise.
TEST_F(DeviceChangeTest, PlugEventsGoToTheTransportWindowWhenThereIsOne) {
  const WindowHandle kTransportWindow = 0x7777;
  for (WindowHandle monitor : {WindowHandle{0}, kTransportWindow}) {
    FakeHidLibrary library(&clock);
    controller = std::make_unique<CHidController>(
        HidControllerSeams{library, desktop, clock, timers, shell, progress, &registry}, ProgramFolder(),
        DataFolder());
    controller->OnCreate(window::kService, monitor);
    ASSERT_EQ(library.starts.size(), 1u);
    EXPECT_EQ(library.starts[0].first, monitor != 0 ? monitor : window::kService);
  }
}
