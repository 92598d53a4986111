// What the virtual keyboard reports reaches the service window as the event
// it stands for, through the library's callback, the transport and the decoder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "devsim/virtual_keyboard.h"
#include "service/hid_messages.h"
#include "service/key_event.h"
#include "service/tests/devsim_hid_library.h"
#include "service/tests/fake_desktop.h"
#include "service/usb_driver.h"

namespace {

using korvex::devsim::CVirtualKeyboard;
using korvex::devsim::Report;
using testing::ElementsAre;

constexpr WindowHandle kServiceWindow = 0x51, kMainWindow = 0x61, kSettingsPage = 0x62;

class KeyboardInputTest : public testing::Test {
 protected:
  KeyboardInputTest() {
    desktop.AddTopLevel(u"Korvex", kMainWindow);
    desktop.AddChild(kMainWindow, u"Korvex", kSettingsPage);
    driver.SetNotifyWindow(kServiceWindow);
    driver.RegisterDevice();
  }

  // Delivers what the keyboard sent through the callback the transport registered.
  std::vector<PostedMessage> Deliver(const std::optional<Report>& report) {
    EXPECT_TRUE(report.has_value());
    const size_t before = desktop.Posts().size();
    if (report) library.InputCallback()(DevsimHidLibrary::kFirstDeviceId + 1, report->data(), report->size());
    auto posts = desktop.Posts();
    return {posts.begin() + before, posts.end()};
  }

  static PostedMessage Event(uint8_t code, uint8_t eventClass, uint8_t flag) {
    return {kServiceWindow, WM_HID_KEY_EVENT, code, MakeKeyEventLParam(eventClass, flag)};
  }

  CVirtualKeyboard keyboard;
  FakeDesktop desktop;
  DevsimHidLibrary library{keyboard, [this](const usbwarden::DeviceState& s) { driver.OnMonitorEvent(s); }};
  CUSBDriver driver{library, desktop};
};

TEST_F(KeyboardInputTest, KeyboardMadeChangesArriveAsKeyEvents) {
  EXPECT_THAT(Deliver(keyboard.SwitchProfile(3)), ElementsAre(Event(3, 0xDA, 1)));
  EXPECT_THAT(Deliver(keyboard.ChangeEffect(4)), ElementsAre(Event(4, 0xDF, 1)));
  EXPECT_THAT(Deliver(keyboard.ChangeDirection(0)), ElementsAre(Event(0, 0xDB, 1)));
  EXPECT_THAT(Deliver(keyboard.ChangeBrightness(2)), ElementsAre(Event(2, 0xDC, 1)));
}

TEST_F(KeyboardInputTest, HostKeyPressesArriveWithPositionCodeAndState) {
  // Key 15 (matrix position 18) set to report its presses to the host.
  korvex::devsim::KeyMap map = keyboard::kDefaultKeyMap;
  map[18] = 0xFE;
  const uint8_t header[8] = {0x0A, 0x04, 0x01};
  ASSERT_TRUE(keyboard.ReceiveReport(2, header, 8));
  for (int n = 1; n <= 23; ++n) {
    uint8_t chunk[8] = {0x0B, static_cast<uint8_t>(n)};
    std::copy_n(map.begin() + 6 * (n - 1), 6, chunk + 2);
    ASSERT_TRUE(keyboard.ReceiveReport(3, chunk, 8));
  }
  EXPECT_THAT(Deliver(keyboard.KeyEvent(18, true)), ElementsAre(Event(0xFE, 18, 1)));
  EXPECT_THAT(Deliver(keyboard.KeyEvent(18, false)), ElementsAre(Event(0xFE, 18, 0)));
}

TEST_F(KeyboardInputTest, SpecialStateGoesToTheSettingsPageOnly) {
  EXPECT_THAT(Deliver(keyboard.SetSpecialState(true)),
              ElementsAre(PostedMessage{kSettingsPage, WM_HID_SPECIAL_STATE, 1, 0}));
  EXPECT_THAT(Deliver(keyboard.SetSpecialState(false)),
              ElementsAre(PostedMessage{kSettingsPage, WM_HID_SPECIAL_STATE, 0, 0}));
}

}  // namespace
