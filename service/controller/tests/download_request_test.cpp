// Download requests from the settings page: the progress window, the
// loading window's notification, and a keyboard pulled out on the way.

#include "service/controller/tests/controller_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class DownloadRequestTest : public ControllerTest {
 protected:
  void SetUp() override {
    AddAllWindows();
    Start();
  }
  std::vector<PostedMessage> LoadingNotifications() { return NewPostsTo(window::kLoading); }
};

TEST_F(DownloadRequestTest, PcModeReloadsButSendsNothing) {
  ASSERT_TRUE(ConfigIni().WriteIniInt(u"Setting", u"Profile", 0));
  EditProfileFile(0, [](tagPROFILE_DATA& p) { p.lighting.byLightSpeed = 1; });

  controller->OnShowProgress();
  controller->OnApplyProfile(0, 0);

  EXPECT_EQ(controller->Config().Profile, 0);
  EXPECT_EQ(controller->Config().current.lighting.byLightSpeed, 1);
  EXPECT_TRUE(NewReportKinds().empty());
  EXPECT_EQ(progress.calls, (Calls{"show", "pos:0", "pos:20", "pos:60", "pos:90", "pos:100", "close"}));
  EXPECT_EQ(LoadingNotifications(), (std::vector<PostedMessage>{{window::kLoading, WM_HID_APPLY_PROFILE, 0, 0}}));
}

TEST_F(DownloadRequestTest, FullApplySendsResetKeyMapAndLighting) {
  controller->OnShowProgress();
  controller->OnApplyProfile(1, 1);

  EXPECT_EQ(CountReports(0x0A, 0x0F), 1u);  // reset
  EXPECT_EQ(CountReports(0x0A, 0x04), 1u);  // key map header
  EXPECT_EQ(CountReports(0x0A, 0x0A), 1u);  // lighting
  EXPECT_EQ(progress.calls.back(), "close");
  EXPECT_EQ(progress.calls[progress.calls.size() - 2], "pos:100");
  EXPECT_EQ(LoadingNotifications().size(), 1u);
}

TEST_F(DownloadRequestTest, ApplyWithoutAProgressWindowShowsNone) {
  controller->OnApplyProfile(0, 0);

  EXPECT_TRUE(progress.calls.empty());
  EXPECT_EQ(CountReports(0x0A, 0x04), 1u);
  EXPECT_EQ(CountReports(0x0A, 0x0A), 0u);
  EXPECT_EQ(LoadingNotifications().size(), 1u);
}

TEST_F(DownloadRequestTest, LightingRequestShowsItsOwnProgress) {
  controller->OnApplyLighting(2);

  EXPECT_EQ(progress.calls, (Calls{"show", "pos:0", "pos:20", "pos:50", "pos:80", "pos:100", "close"}));
  EXPECT_EQ(CountReports(0x0A, 0x0A), 1u);
  EXPECT_EQ(CountReports(0x0A, 0x04), 0u);
  EXPECT_EQ(LoadingNotifications().size(), 1u);
}

TEST_F(DownloadRequestTest, SecondShowRequestClosesTheFirstWindow) {
  controller->OnShowProgress();
  controller->OnShowProgress();

  EXPECT_EQ(progress.calls, (Calls{"show", "pos:0", "close", "show", "pos:0"}));
}

TEST_F(DownloadRequestTest, UnpluggedKeyboardEndsTheDownloadWithoutRetries) {
  controller->OnShowProgress();
  controller->OnApplyProfile(1, 1);
  const size_t fullWrites = hid.writes.size() - writesBefore;
  progress.calls.clear();
  ForgetPosts();
  // The keyboard goes after the first few reports: every later write fails.
  clock.hookAtSleep = clock.sleeps.size() + 3;
  clock.hook = [this] { hid.writeResult = false; };

  controller->OnShowProgress();
  controller->OnApplyProfile(1, 1);

  EXPECT_EQ(hid.writes.size() - writesBefore, fullWrites);
  EXPECT_EQ(progress.calls.back(), "close");
  EXPECT_EQ(LoadingNotifications().size(), 1u);
}

}  // namespace
