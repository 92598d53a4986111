// Window creation: registration, the tray program, and the data folder's
// first-run set-up.

#include <cstring>
#include <fstream>

#include "service/controller/tests/controller_fixture.h"

namespace {

class DataFolderSetUpTest : public ControllerTest {};

TEST_F(DataFolderSetUpTest, FirstStartCreatesFoldersDefaultProfilesAndConfig) {
  Start();

  EXPECT_TRUE(std::filesystem::is_directory(ProfilesFolder()));
  EXPECT_TRUE(std::filesystem::is_directory(DataFolder() / "Macros"));
  EXPECT_TRUE(std::filesystem::is_regular_file(DataFolder() / "config.ini"));
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Profile", -1), 1);
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Language", -1), 101);
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"UI_Autorun", -1), 1);
  for (int position = 0; position < PROFILE_COUNT; ++position) {
    SCOPED_TRACE(position);
    ASSERT_TRUE(std::filesystem::is_regular_file(ProfilesFolder() / ("Profile " + std::to_string(position) + ".profile")));
    auto expected = std::make_unique<tagPROFILE_DATA>();
    ResetProfileData(*expected);
    SetProfileDefaults(position, *expected, true);
    const auto written = ProfileFile(position);
    EXPECT_EQ(std::memcmp(&written->lighting, &expected->lighting, sizeof expected->lighting), 0);
    EXPECT_FALSE(ProfileKeysDiffer(*written, *expected));
    EXPECT_EQ(written->colorSets[0].colors[5], expected->colorSets[0].colors[5]);
    // The link file marks the data folder as set up.
    EXPECT_EQ(LinkFile(position).ReadIniString(u"GROUP", u"CurrentProfileName", u""),
              u"Profile " + std::u16string(1, char16_t(u'0' + position)));
  }
  EXPECT_EQ(controller->Config().Profile, 1);
}

TEST_F(DataFolderSetUpTest, LaterStartKeepsTheUserProfiles) {
  Start();
  EditProfileFile(2, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 8; });

  Start();

  EXPECT_EQ(ProfileFile(2)->lighting.byLightEffect, 8);
}

TEST_F(DataFolderSetUpTest, MissingLinkFileOfTheCurrentProfileRewritesTheDefaults) {
  Start();
  EditProfileFile(2, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 8; });
  std::filesystem::remove(ProfilesFolder() / "Profile 1.ini");

  Start();

  EXPECT_EQ(ProfileFile(2)->lighting.byLightEffect, ProfileFile(3)->lighting.byLightEffect);
  EXPECT_NE(ProfileFile(2)->lighting.byLightEffect, 8);
}

TEST_F(DataFolderSetUpTest, UnreadableConfigAndProfileFilesGiveDefaults) {
  Start();
  const auto defaults = std::make_unique<tagPROFILE_DATA>(controller->Config().current);
  EditProfileFile(1, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 8; });
  // A profile file cut in the middle and a config.ini that is not text.
  std::filesystem::path profilePath = ProfilesFolder() / "Profile 1.profile";
  std::filesystem::resize_file(profilePath, std::filesystem::file_size(profilePath) / 2);
  {
    std::ofstream config(DataFolder() / "config.ini", std::ios::binary | std::ios::trunc);
    config << "\xff\xfe\x00\xd8garbage";
  }

  Start();

  EXPECT_EQ(controller->Config().Profile, 1);
  EXPECT_EQ(controller->Config().Language, 101);
  EXPECT_EQ(std::memcmp(&controller->Config().current.lighting, &defaults->lighting, sizeof defaults->lighting), 0);
}

struct TrayCase {
  int32_t registration;  // what the HID library answers
  bool trayRunning;
  bool started;
};

class TrayProgramTest : public ControllerTest, public ::testing::WithParamInterface<TrayCase> {};

TEST_P(TrayProgramTest, StartsOnlyWhenRegisteredAndNotRunning) {
  hid.startResult = GetParam().registration;
  if (GetParam().trayRunning) desktop.AddTopLevel(u"Korvex_Beaconet", window::kTray);

  Start();

  EXPECT_EQ(controller->Transport().NotifyWindow(), window::kService);
  ASSERT_EQ(hid.starts.size(), 1u);
  EXPECT_EQ(hid.starts[0].first, window::kService);
  const std::vector<std::u16string> expected =
      GetParam().started ? std::vector<std::u16string>{(ProgramFolder() / "Beaconet.exe").u16string()}
                         : std::vector<std::u16string>{};
  EXPECT_EQ(shell.opened, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TrayProgramTest,
                         ::testing::Values(TrayCase{0x1234, false, true}, TrayCase{0x1234, true, false},
                                           TrayCase{0, false, false}));

}  // namespace
