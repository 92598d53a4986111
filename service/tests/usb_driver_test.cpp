#include "service/usb_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/hid_messages.h"
#include "service/key_event.h"
#include "service/tests/fake_desktop.h"
#include "service/tests/fake_hid_library.h"

namespace {

using testing::ElementsAre;
using usbwarden::DeviceState;

constexpr WindowHandle kServiceWindow = 0x51;
constexpr WindowHandle kMonitorWindow = 0x52;
constexpr WindowHandle kMainWindow = 0x61;
constexpr WindowHandle kSettingsPage = 0x62;

DeviceState Interface(uint32_t state, uint32_t id, uint32_t usage, uint32_t page = 0xFF00) {
  return {state, id, usage << 16, page};
}
DeviceState Opened(uint32_t id, uint32_t usage) { return Interface(1, id, usage); }
DeviceState Closed(uint32_t id, uint32_t usage) { return Interface(0, id, usage); }

PostedMessage DeviceChange(intptr_t present) { return {kServiceWindow, WM_HID_DEVICE_CHANGE, 0, present}; }

class UsbDriverTest : public testing::Test {
 protected:
  UsbDriverTest() {
    driver.SetMonitorWindow(kMonitorWindow);
    driver.SetNotifyWindow(kServiceWindow);
    driver.SetDebugTrace([this](std::u16string_view line) { trace.emplace_back(line); });
  }

  void PlugAllFive() {
    for (uint32_t usage = 1; usage <= 5; ++usage) driver.OnMonitorEvent(Opened(0x10 + usage, usage));
  }

  FakeHidLibrary library;
  FakeDesktop desktop;
  CUSBDriver driver{library, desktop};
  std::vector<std::u16string> trace;
};

TEST_F(UsbDriverTest, RegisterDeviceHandsTheKeyboardFilterCallbackAndWindowToTheLibrary) {
  ASSERT_TRUE(driver.RegisterDevice());
  EXPECT_EQ(driver.MonitorHandle(), 0x1234);
  EXPECT_EQ(library.stops, 0);
  ASSERT_EQ(library.filters.size(), 1u);
  const usbwarden::DeviceFilter& filter = library.filters[0];
  EXPECT_EQ(filter.VendorID, 0x258Au);
  EXPECT_EQ(filter.ProductID, 0x0090u);
  EXPECT_EQ(filter.PairCount, 5u);
  for (uint32_t k = 0; k < 10; ++k) {
    EXPECT_EQ(filter.Pairs[k].Usage, k < 5 ? k + 1 : 0u) << k;
    EXPECT_EQ(filter.Pairs[k].UsagePage, k < 5 ? 0xFF00u : 0u) << k;
  }
  EXPECT_THAT(library.callbacks, ElementsAre(&CUSBDriver::InputCallback));
  EXPECT_THAT(library.starts, ElementsAre(std::pair<usbwarden::WindowHandle, uint32_t>(kMonitorWindow, 0x502)));

  // Registering again stops the running monitoring first.
  EXPECT_TRUE(driver.RegisterDevice());
  EXPECT_EQ(library.stops, 1);
}

TEST_F(UsbDriverTest, FailedRegistrationIsRetriedByEachEnsureRegistered) {
  library.startResult = 0;
  EXPECT_FALSE(driver.EnsureRegistered());
  EXPECT_FALSE(driver.EnsureRegistered());
  EXPECT_EQ(driver.MonitorHandle(), 0);
  EXPECT_EQ(library.starts.size(), 2u);
  EXPECT_EQ(library.stops, 0);  // nothing was running

  library.startResult = 7;
  EXPECT_TRUE(driver.EnsureRegistered());
  EXPECT_TRUE(driver.EnsureRegistered());
  EXPECT_EQ(library.starts.size(), 3u);  // registered once, then left alone
}

TEST_F(UsbDriverTest, ReregisterClearsTheLibraryThenRegistersAgain) {
  driver.RegisterDevice();
  PlugAllFive();
  driver.Reregister();
  ASSERT_EQ(library.filters.size(), 3u);
  EXPECT_EQ(library.filters[1].VendorID, 0u);
  EXPECT_EQ(library.filters[1].PairCount, 0u);
  EXPECT_EQ(library.filters[2].PairCount, 5u);
  EXPECT_THAT(library.callbacks, ElementsAre(&CUSBDriver::InputCallback, nullptr, &CUSBDriver::InputCallback));
  EXPECT_EQ(library.stops, 1);  // by the re-registration; RegisterDevice then saw handle 0
  EXPECT_EQ(driver.MonitorHandle(), 0x1234);
  EXPECT_EQ(driver.Devices().size(), 5u);  // the list is emptied only by close events
}

TEST_F(UsbDriverTest, PluggingInFiveInterfacesListsThemAndNotifiesFiveTimes) {
  driver.RegisterDevice();
  PlugAllFive();
  ASSERT_EQ(driver.Devices().size(), 5u);
  for (uint32_t k = 0; k < 5; ++k) EXPECT_EQ(driver.Devices()[k].DeviceID, 0x11 + k);
  EXPECT_EQ(driver.MonitorHandle(), 1);
  EXPECT_EQ(desktop.Posts(), std::vector<PostedMessage>(5, DeviceChange(1)));
  EXPECT_EQ(trace.front(), u"MONITOROPEN:dwDeviceID=11,usage:0x1,uagePage:0xff00\n");
}

TEST_F(UsbDriverTest, ReopenedInterfaceReplacesItsEntrySilently) {
  PlugAllFive();
  EXPECT_FALSE(driver.OnMonitorEvent(Opened(0x99, 3)));
  ASSERT_EQ(driver.Devices().size(), 5u);
  EXPECT_EQ(driver.Devices()[2].DeviceID, 0x99u);
  EXPECT_EQ(desktop.Posts().size(), 5u);
  // The same usage on another usage page is another interface.
  EXPECT_TRUE(driver.OnMonitorEvent(Interface(1, 0x77, 3, 0x0001)));
  EXPECT_EQ(driver.Devices().size(), 6u);
}

TEST_F(UsbDriverTest, UnpluggingNotifiesOnceWhenTheLastInterfaceCloses) {
  driver.RegisterDevice();
  PlugAllFive();
  for (uint32_t usage = 1; usage <= 4; ++usage) EXPECT_TRUE(driver.OnMonitorEvent(Closed(0x10 + usage, usage)));
  EXPECT_EQ(driver.Devices().size(), 1u);
  EXPECT_EQ(driver.MonitorHandle(), 1);
  EXPECT_EQ(desktop.Posts().size(), 5u);

  EXPECT_TRUE(driver.OnMonitorEvent(Closed(0x15, 5)));
  EXPECT_TRUE(driver.Devices().empty());
  EXPECT_EQ(driver.MonitorHandle(), 0);
  EXPECT_EQ(desktop.Posts().back(), DeviceChange(0));
  EXPECT_EQ(desktop.Posts().size(), 6u);
  EXPECT_EQ(trace.back(), u"MONITORCLOSE:dwDeviceID=15,usage:0x5,uagePage:0xff00\n");
}

TEST_F(UsbDriverTest, ClosingWithAnEmptyListStillReportsTheKeyboardGone) {
  driver.RegisterDevice();
  driver.OnMonitorEvent(Closed(0x11, 1));
  EXPECT_EQ(driver.MonitorHandle(), 0);
  EXPECT_THAT(desktop.Posts(), ElementsAre(DeviceChange(0)));
}

TEST_F(UsbDriverTest, ClosingAnUnlistedInterfaceChangesNothing) {
  PlugAllFive();
  driver.OnMonitorEvent(Closed(0x42, 1));
  EXPECT_EQ(driver.Devices().size(), 5u);
  EXPECT_EQ(driver.MonitorHandle(), 1);
  EXPECT_EQ(desktop.Posts().size(), 5u);
}

TEST_F(UsbDriverTest, ClosingMatchesOnTheLow16BitsOfTheIdentifier) {
  driver.OnMonitorEvent(Opened(0xABCD0011, 1));
  driver.OnMonitorEvent(Opened(0x12, 2));
  driver.OnMonitorEvent(Closed(0x00000011, 1));
  ASSERT_EQ(driver.Devices().size(), 1u);
  EXPECT_EQ(driver.Devices()[0].DeviceID, 0x12u);
}

TEST_F(UsbDriverTest, WithoutNotifyWindowNothingIsPosted) {
  driver.SetNotifyWindow(0);
  PlugAllFive();
  driver.OnMonitorEvent(Closed(0x11, 1));
  EXPECT_TRUE(desktop.Posts().empty());
}

TEST_F(UsbDriverTest, FindInterfacePrefersTheUsageElseTheLastListed) {
  EXPECT_EQ(driver.FindInterface(2), 0);
  driver.OnMonitorEvent(Interface(1, 0x30, 2, 0x0001));  // not the vendor page
  driver.OnMonitorEvent(Opened(0x00050001, 1));
  driver.OnMonitorEvent(Opened(0x00060002, 2));
  EXPECT_EQ(driver.FindInterface(1), 0x0001);
  EXPECT_EQ(driver.FindInterface(2), 0x0002);
  EXPECT_EQ(driver.FindInterface(3), 0x0002);
}

TEST_F(UsbDriverTest, ReportsGoToTheInterfaceOfTheirUsage) {
  PlugAllFive();
  HidReport report = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_TRUE(driver.WriteReport(3, report));
  ASSERT_EQ(library.writes.size(), 1u);
  EXPECT_EQ(library.writes[0].deviceId, 0x13u);
  EXPECT_EQ(library.writes[0].bytes, std::vector<uint8_t>(report.begin(), report.end()));

  library.readReply = {7, 0x80, 1, 12};
  HidReport buffer{};
  EXPECT_TRUE(driver.ReadReport(2, buffer));
  EXPECT_THAT(library.reads, ElementsAre(0x12u));
  EXPECT_EQ(buffer[3], 12);

  library.writeResult = false;
  EXPECT_FALSE(driver.WriteReport(3, report));
}

TEST_F(UsbDriverTest, InputCallbackPostsDecodedEventsToTheServiceWindow) {
  ASSERT_EQ(CUSBDriver::Instance(), &driver);
  const uint8_t report[] = {0x08, 0x12, 0x01, 0xFE, 0, 0, 0, 0};
  CUSBDriver::InputCallback(0x13, report, sizeof report);
  EXPECT_THAT(desktop.Posts(),
              ElementsAre(PostedMessage{kServiceWindow, WM_HID_KEY_EVENT, 0xFE, MakeKeyEventLParam(0x12, 0x01)}));
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[trace.size() - 1], u"08 12 01 fe 00 00 00 00\n");
  EXPECT_EQ(trace[trace.size() - 2].substr(0, 8), u"ID:0x13,");
}

TEST_F(UsbDriverTest, TraceOfAShortReportShowsOnlyItsBytes) {
  const uint8_t report[] = {0x0D, 0x03};
  CUSBDriver::InputCallback(1, report, sizeof report);
  EXPECT_EQ(trace.back(), u"0d 03\n");
}

TEST_F(UsbDriverTest, SpecialStateGoesToTheSettingsPageWhenItExists) {
  const uint8_t on[] = {0x08, 0xFE, 0x06, 0x00, 0, 0, 0, 0};
  CUSBDriver::InputCallback(0x13, on, sizeof on);
  EXPECT_TRUE(desktop.Posts().empty());  // no main window

  desktop.AddTopLevel(u"Korvex", kMainWindow);
  CUSBDriver::InputCallback(0x13, on, sizeof on);
  EXPECT_TRUE(desktop.Posts().empty());  // main window without its page

  desktop.AddChild(kMainWindow, u"Korvex", kSettingsPage);
  CUSBDriver::InputCallback(0x13, on, sizeof on);
  EXPECT_THAT(desktop.Posts(), ElementsAre(PostedMessage{kSettingsPage, WM_HID_SPECIAL_STATE, 1, 0}));
}

TEST(UsbDriverInstance, TheCallbackIgnoresReportsOnceTheTransportIsGone) {
  FakeHidLibrary library;
  FakeDesktop desktop;
  {
    CUSBDriver driver(library, desktop);
    driver.SetNotifyWindow(kServiceWindow);
    EXPECT_EQ(CUSBDriver::Instance(), &driver);
  }
  EXPECT_EQ(CUSBDriver::Instance(), nullptr);
  const uint8_t report[] = {0x08, 0x12, 0x01, 0xFE};
  CUSBDriver::InputCallback(0x13, report, sizeof report);
  EXPECT_TRUE(desktop.Posts().empty());
}

}  // namespace
