// Following the foreground program to the profile it is linked to.

#include "service/controller/linked_program_match.h"
#include "service/controller/tests/controller_fixture.h"

namespace {

struct MatchCase {
  const char16_t* foreground;
  int expected;  // -1: none
};

class LinkedPositionTest : public ::testing::TestWithParam<MatchCase> {
 protected:
  LinkedPositionTest() {
    CopyFixedText(links[1].programs[3], u"C:\\Games\\Shooter.EXE");
    CopyFixedText(links[2].programs[0], u"shooter.exe");  // also linked to a later position
    CopyFixedText(links[2].programs[1], u"D:/Tools/edit.exe");
    CopyFixedText(links[3].programs[4], u"E:ПРОГРАММА.exe");
  }
  tagLINK_PROGRAMS links[PROFILE_COUNT]{};
};

TEST_P(LinkedPositionTest, LowestLinkedPositionWins) {
  const std::optional<int> found = FindLinkedPosition(links, GetParam().foreground);
  EXPECT_EQ(found.value_or(-1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkedPositionTest,
                         ::testing::Values(MatchCase{u"shooter.exe", 1}, MatchCase{u"SHOOTER.exe", 1},
                                           MatchCase{u"edit.exe", 2}, MatchCase{u"программа.exe", 3},
                                           MatchCase{u"Games", -1}, MatchCase{u"shooter", -1},
                                           MatchCase{u"", -1}));

class WatcherTest : public ControllerTest {
 protected:
  void SetUp() override {
    AddAllWindows();
    Start();
    LinkFile(2).WriteIniString(u"GROUP", u"LinkExe1", u"C:\\Games\\game.exe");
    LinkFile(3).WriteIniString(u"GROUP", u"LinkExe0", u"Ostrel.exe");
    LinkFile(1).WriteIniString(u"GROUP", u"LinkExe0", u"editor.exe");
    controller->OnReload();
    controller->OnDeviceChange(true);
    ForgetPosts();
  }
};

TEST_F(WatcherTest, LinkedProgramInFrontSwitchesItsProfileAfterTheBeginCommand) {
  EditProfileFile(2, [](tagPROFILE_DATA& p) { p.lighting.byLightSpeed = 1; });
  shell.foreground = u"GAME.exe";

  EXPECT_TRUE(controller->OnTimer(LINKED_PROGRAM_TIMER_ID));

  EXPECT_EQ(NewReportKinds(), (std::vector<std::pair<uint8_t, uint8_t>>{{0x0A, 0x03}}));
  EXPECT_EQ(controller->Config().Profile, 2);
  EXPECT_EQ(controller->Config().current.lighting.byLightSpeed, 1);
  EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Profile", -1), 2);
  EXPECT_EQ(NewPosts(), (std::vector<PostedMessage>{{window::kPage, WM_HID_PROFILE_INDEX, 0, 2}}));
}

TEST_F(WatcherTest, WithoutRegistrationSwitchesWithoutTheBeginCommand) {
  hid.startResult = 0;
  controller->OnReregister();
  ForgetPosts();
  shell.foreground = u"game.exe";

  controller->WatchForegroundProgram();

  EXPECT_TRUE(NewReportKinds().empty());
  EXPECT_EQ(controller->Config().Profile, 2);
}

TEST_F(WatcherTest, NothingHappensForTheCurrentProfileUnlinkedOrIgnoredPrograms) {
  const std::string configBefore = ConfigBytes();
  for (const char16_t* foreground : {u"editor.exe", u"ostrel.exe", u"other.exe"}) {
    shell.foreground = foreground;
    controller->WatchForegroundProgram();
  }
  shell.foreground.reset();
  controller->WatchForegroundProgram();

  EXPECT_EQ(controller->Config().Profile, 1);
  EXPECT_TRUE(NewReportKinds().empty());
  EXPECT_TRUE(NewPosts().empty());
  EXPECT_EQ(ConfigBytes(), configBefore);
}

}  // namespace
