// Reloading the data files and selecting the current profile.

#include "service/controller/tests/controller_fixture.h"

namespace {

class LoadAllTest : public ControllerTest {
 protected:
  void SetUp() override {
    AddAllWindows();
    Start();
  }
};

struct StoredPositionCase {
  const char16_t* stored;  // [Setting] Profile in config.ini
  int expected;
};

class ReloadPositionTest : public LoadAllTest, public ::testing::WithParamInterface<StoredPositionCase> {};

// The page's position request only lasts until the next reload, which takes
// the position config.ini holds.
TEST_P(ReloadPositionTest, ProfileIndexThenReloadEndsWithTheStoredPosition) {
  ASSERT_TRUE(ConfigIni().WriteIniString(u"Setting", u"Profile", GetParam().stored));
  controller->OnProfileIndex(2);
  EXPECT_EQ(controller->Config().Profile, 2);

  controller->OnReload();

  EXPECT_EQ(controller->Config().Profile, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReloadPositionTest,
                         ::testing::Values(StoredPositionCase{u"1", 1}, StoredPositionCase{u"3", 3},
                                           StoredPositionCase{u"2", 2}, StoredPositionCase{u"0", 0},
                                           StoredPositionCase{u"7", 1}, StoredPositionCase{u"", 1},
                                           StoredPositionCase{u"-1", 1}));

TEST_F(LoadAllTest, ProfileIndexOutsideTheListIsIgnored) {
  controller->OnProfileIndex(0x103);  // low byte 3
  EXPECT_EQ(controller->Config().Profile, 3);
  controller->OnProfileIndex(9);
  EXPECT_EQ(controller->Config().Profile, 3);
  EXPECT_TRUE(NewPosts().empty());
}

TEST_F(LoadAllTest, SelectingTheCurrentPositionReloadsOnlyWhenForced) {
  EditProfileFile(1, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 8; });

  controller->SelectProfile(1, false);
  EXPECT_NE(controller->Config().current.lighting.byLightEffect, 8);

  controller->SelectProfile(1, true);
  EXPECT_EQ(controller->Config().current.lighting.byLightEffect, 8);
  EXPECT_TRUE(NewPosts().empty());
}

TEST_F(LoadAllTest, SelectingAnotherPositionSavesNotifiesAndLoads) {
  EditProfileFile(3, [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 6; });

  controller->SelectProfile(3, false);

  EXPECT_EQ(controller->Config().Profile, 3);
  EXPECT_EQ(controller->Config().current.lighting.byLightEffect, 6);
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Profile", -1), 3);
  EXPECT_EQ(NewPosts(), (std::vector<PostedMessage>{{window::kPage, WM_HID_PROFILE_INDEX, 0, 3}}));

  controller->SelectProfile(4, true);
  EXPECT_EQ(controller->Config().Profile, 3);
}

TEST_F(LoadAllTest, ReloadReadsTheLinkedProgramsOfAllPositions) {
  LinkFile(0).WriteIniString(u"GROUP", u"LinkExe0", u"zero.exe");
  LinkFile(3).WriteIniString(u"GROUP", u"LinkExe4", u"C:\\Games\\three.exe");

  controller->OnReload();

  EXPECT_EQ(FixedTextView(controller->LinkedPrograms(0).programs[0]), u"zero.exe");
  EXPECT_EQ(FixedTextView(controller->LinkedPrograms(3).programs[4]), u"C:\\Games\\three.exe");
  EXPECT_EQ(FixedTextView(controller->LinkedPrograms(1).programs[0]), u"");
}

TEST_F(LoadAllTest, WithoutADataFolderEverythingRunsOnDefaults) {
  controller = std::make_unique<CHidController>(
      HidControllerSeams{hid, desktop, clock, timers, shell, progress, nullptr}, ProgramFolder(),
      std::filesystem::path());
  controller->OnCreate(window::kService);
  controller->OnKeyEvent(3, 0xDF, 1);
  EXPECT_EQ(controller->Config().current.lighting.byLightEffect, 3);
  controller->OnDeviceChange(true);
  controller->OnReload();

  EXPECT_EQ(controller->Config().Profile, 1);
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Plug", -1), -1);  // the real data folder is untouched
}

}  // namespace
