// Keyboard events: lighting changed on the keyboard, profile switches, and
// presses of keys the host handles.

#include <cstring>

#include "keyboard/keyboard_layout.h"
#include "service/controller/tests/controller_fixture.h"

namespace {

constexpr uint8_t kLaunchKey = 15;          // row 0, column 18
constexpr uint8_t kLaunchKeyPosition = 18;  // its matrix position

class KeyEventTest : public ControllerTest {
 protected:
  void SetUp() override {
    AddAllWindows();
    Start();
  }
  void AssignKey(int key, int32_t function) {
    EditCurrentProfile([&](tagPROFILE_DATA& p) {
      p.keys[key].bySelFunc = 1;
      p.keys[key].byBtnFun = function;
    });
    ForgetPosts();
  }
  std::vector<PostedMessage> Launches() {
    std::vector<PostedMessage> result = NewPostsTo(window::kService);
    for (const auto& post : result) EXPECT_EQ(post.message, WM_HID_LAUNCH);
    return result;
  }
};

struct LightingCase {
  uint8_t eventClass;
  uint8_t code;
  uint32_t message;
  uint8_t tagLIGHT_SETTING::*field;
};

class LightingEventTest : public KeyEventTest, public ::testing::WithParamInterface<LightingCase> {};

TEST_P(LightingEventTest, StoresTheReportedValueAndTellsThePage) {
  const LightingCase& c = GetParam();

  controller->OnKeyEvent(c.code, c.eventClass, 1);

  EXPECT_EQ(NewPosts(), (std::vector<PostedMessage>{{window::kPage, c.message, 1, c.code}}));
  EXPECT_EQ(controller->Config().current.lighting.*c.field, c.code);
  EXPECT_EQ(ProfileFile(1)->lighting.*c.field, c.code);
  EXPECT_TRUE(NewReportKinds().empty());
}

// Brightness is stored as the keyboard reports it (0 to 4), not shifted.
INSTANTIATE_TEST_SUITE_P(Cases, LightingEventTest,
                         ::testing::Values(LightingCase{0xDF, 5, WM_HID_LIGHT_EFFECT, &tagLIGHT_SETTING::byLightEffect},
                                           LightingCase{0xDF, 0, WM_HID_LIGHT_EFFECT, &tagLIGHT_SETTING::byLightEffect},
                                           LightingCase{0xDB, 1, WM_HID_LIGHT_DIRECTION,
                                                        &tagLIGHT_SETTING::byLightEffectDirect},
                                           LightingCase{0xDC, 4, WM_HID_LIGHT_BRIGHTNESS,
                                                        &tagLIGHT_SETTING::byLightBright},
                                           LightingCase{0xDC, 0, WM_HID_LIGHT_BRIGHTNESS,
                                                        &tagLIGHT_SETTING::byLightBright}));

TEST_F(KeyEventTest, LightingValuesAboveTheRangeAreIgnored) {
  const auto before = ProfileFile(1);
  const tagLIGHT_SETTING held = controller->Config().current.lighting;
  for (auto [eventClass, code] : {std::pair<uint8_t, uint8_t>{0xDF, 10}, {0xDB, 2}, {0xDC, 5}})
    controller->OnKeyEvent(code, eventClass, 1);

  EXPECT_TRUE(NewPosts().empty());
  EXPECT_EQ(std::memcmp(&ProfileFile(1)->lighting, &before->lighting, sizeof before->lighting), 0);
  EXPECT_EQ(std::memcmp(&controller->Config().current.lighting, &held, sizeof held), 0);
}

struct SwitchCase {
  uint8_t eventClass;
  uint8_t code;
  uint8_t flag;
  int expected;  // -1: no switch
};

class ProfileSwitchEventTest : public KeyEventTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(ProfileSwitchEventTest, SwitchesToTheReportedPosition) {
  const SwitchCase& c = GetParam();
  EditProfileFile(c.expected < 0 ? 0 : c.expected, [](tagPROFILE_DATA& p) { p.lighting.byLightSpeed = 1; });

  controller->OnKeyEvent(c.code, c.eventClass, c.flag);

  if (c.expected < 0) {
    EXPECT_EQ(controller->Config().Profile, 1);
    EXPECT_TRUE(NewPosts().empty());
    EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Profile", -1), 1);
  } else {
    EXPECT_EQ(controller->Config().Profile, c.expected);
    EXPECT_EQ(controller->Config().current.lighting.byLightSpeed, 1);
    EXPECT_EQ(NewPosts(), (std::vector<PostedMessage>{{window::kPage, WM_HID_PROFILE_INDEX, 0, c.expected}}));
    EXPECT_EQ(ConfigIni().ReadIniInt(u"Setting", u"Profile", -1), c.expected);
  }
  EXPECT_TRUE(NewReportKinds().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileSwitchEventTest,
                         ::testing::Values(SwitchCase{0xDA, 6, 1, 0}, SwitchCase{0xDA, 0, 1, 0},
                                           SwitchCase{0xDA, 3, 1, 3}, SwitchCase{0xDA, 1, 1, -1},
                                           SwitchCase{0xDA, 4, 1, -1}, SwitchCase{0xFE, 1, 4, 0},
                                           SwitchCase{0xFE, 3, 4, 2}, SwitchCase{0xFE, 4, 4, 3},
                                           SwitchCase{0xFE, 2, 4, -1}, SwitchCase{0xFE, 5, 4, -1},
                                           SwitchCase{0xFE, 0, 4, -1}, SwitchCase{0xFE, 3, 1, -1}));

TEST_F(KeyEventTest, LaunchKeyStartsOncePerBusyTime) {
  AssignKey(kLaunchKey, 0x180);

  controller->OnKeyEvent(0xFE, kLaunchKeyPosition, 1);
  controller->OnKeyEvent(0xFE, kLaunchKeyPosition, 1);  // within the busy time
  EXPECT_TRUE(controller->LaunchBusy());
  EXPECT_TRUE(timers.IsRunning(LAUNCH_BUSY_TIMER_ID, 500));
  EXPECT_EQ(Launches(), (std::vector<PostedMessage>{{window::kService, WM_HID_LAUNCH, 0, kLaunchKey}}));

  EXPECT_TRUE(controller->OnTimer(LAUNCH_BUSY_TIMER_ID));
  EXPECT_FALSE(controller->LaunchBusy());
  EXPECT_FALSE(timers.IsRunning(LAUNCH_BUSY_TIMER_ID, 500));

  controller->OnKeyEvent(0xFE, kLaunchKeyPosition, 0);  // release
  controller->OnKeyEvent(0xFE, kLaunchKeyPosition, 1);
  EXPECT_EQ(Launches().size(), 2u);
}

TEST_F(KeyEventTest, KeyWithFunctionDFLaunchesOnEveryPress) {
  AssignKey(kLaunchKey, 0xDF);

  controller->OnKeyEvent(0x04, kLaunchKeyPosition, 1);
  controller->OnKeyEvent(0x04, kLaunchKeyPosition, 1);
  controller->OnKeyEvent(0x04, kLaunchKeyPosition, 0);

  EXPECT_EQ(Launches().size(), 2u);
  EXPECT_FALSE(controller->LaunchBusy());
}

TEST_F(KeyEventTest, CodesTheKeyboardPerformsItselfAreNotHandled) {
  AssignKey(kLaunchKey, 0x180);

  controller->OnKeyEvent(0xA7, kLaunchKeyPosition, 1);  // play/pause
  controller->OnKeyEvent(0xFE, 14, 1);                  // matrix position 14 has no key
  controller->OnKeyEvent(0xFE, 0xFE, 1);                // 0xFE without the selection flag

  EXPECT_TRUE(NewPosts().empty());
  EXPECT_FALSE(controller->LaunchBusy());
}

struct ModeSwitchCase {
  int32_t function;
  int expected;
};

class ModeSwitchKeyTest : public KeyEventTest, public ::testing::WithParamInterface<ModeSwitchCase> {};

TEST_P(ModeSwitchKeyTest, SelectsItsPositionAfterRegistering) {
  AssignKey(kLaunchKey, GetParam().function);
  hid.startResult = 0;
  controller->OnReregister();  // registering again fails: the transport is unregistered
  const size_t starts = hid.starts.size();
  hid.startResult = 0x55;

  controller->OnKeyEvent(0x04, kLaunchKeyPosition, 1);

  EXPECT_EQ(hid.starts.size(), starts + 1);
  EXPECT_EQ(controller->Config().Profile, GetParam().expected);
  if (GetParam().expected != 1) {
    EXPECT_EQ(NewPostsTo(window::kPage),
              (std::vector<PostedMessage>{{window::kPage, WM_HID_PROFILE_INDEX, 0, GetParam().expected}}));
  } else {
    EXPECT_TRUE(NewPosts().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModeSwitchKeyTest,
                         ::testing::Values(ModeSwitchCase{0x101, 1}, ModeSwitchCase{0x102, 2},
                                           ModeSwitchCase{0x103, 3}));

}  // namespace
