#include "hid/virtual_keyboard_host.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "devsim/state_json.h"
#include "hid/tests/recording_host_events.h"
#include "hid/vkb_offline.h"
#include "hid/vkb_state_files.h"
#include "tests/support/temp_folder.h"

namespace korvex::hid {
namespace {

using korvex::testing::TempFolder;
using testing::CRecordingHostEvents;
using testing::RecordedInput;
using testing::WaitUntil;
using Bytes = std::vector<uint8_t>;
using nlohmann::json;

usbwarden::DeviceFilter FilterFor(std::initializer_list<uint32_t> usages) {
  usbwarden::DeviceFilter filter{0x258A, 0x0090, static_cast<uint32_t>(usages.size()), {}};
  uint32_t k = 0;
  for (uint32_t usage : usages) filter.Pairs[k++] = {usage, 0xFF00};
  return filter;
}

const Bytes kQuery = {0x07, 0x80, 0, 0, 0, 0, 0, 0};
const Bytes kLighting = {0x0A, 0x0A, 0x03, 0x04, 0x01, 0x02, 0, 0};

// The stored state, or an empty object while there is none.
json StoredState(const std::filesystem::path& folder) {
  std::ifstream in(StateFilePath(folder));
  json state = json::parse(in, nullptr, false);
  return state.is_object() ? state : json::object();
}

VkbCommand Command(VkbVerb verb, int value = 0) { return VkbCommand{verb, value, {}}; }

class VirtualKeyboardHostTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  CRecordingHostEvents events_;
  CVirtualKeyboardHost host_{folder_.Path() / "VirtualKeyboard"};
  const std::filesystem::path stateFolder_ = folder_.Path() / "VirtualKeyboard";
};

TEST_F(VirtualKeyboardHostTest, StartingPlugsInTheFiveInterfacesOneAfterAnother) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  const auto changes = events_.Changes();
  ASSERT_EQ(changes.size(), 5u);
  for (uint32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(changes[k].State, 1u);
    EXPECT_EQ(changes[k].DeviceID, 0x0101u + k);
    EXPECT_EQ(changes[k].UsageWord, (k + 1) << 16);
    EXPECT_EQ(changes[k].UsagePage, 0xFF00u);
  }
  EXPECT_TRUE(WaitUntil([&] { return StoredState(stateFolder_).contains("plugged"); })) << "the state file is created";
}

TEST_F(VirtualKeyboardHostTest, OnlyTheInterfacesTheFilterAsksForAreOpen) {
  ASSERT_TRUE(host_.Start(FilterFor({2, 3}), events_));
  ASSERT_EQ(events_.Changes().size(), 2u);
  EXPECT_EQ(events_.Changes()[0].DeviceID, 0x0102u);
  EXPECT_FALSE(host_.Write(0x0104, Bytes(8, 0).data(), 8)) << "usage 4 was not asked for";
}

TEST_F(VirtualKeyboardHostTest, AnswersTheVersionQueryAndKeepsWhatItIsSent) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  ASSERT_TRUE(host_.Write(0x0102, kQuery.data(), 8));
  Bytes reply(8, 0xEE);
  ASSERT_TRUE(host_.Read(0x0102, reply.data(), 8));
  EXPECT_EQ(reply, (Bytes{0x07, 0x80, 0x01, 0x00, 0, 0, 0, 0}));
  EXPECT_FALSE(host_.Read(0x0102, reply.data(), 8)) << "the reply is consumed";

  ASSERT_TRUE(host_.Write(0x0102, kLighting.data(), 8));
  EXPECT_TRUE(WaitUntil([&] {
    const json state = StoredState(stateFolder_);
    return state.contains("lighting") && state["lighting"]["effect"] == 3 && state["lighting"]["brightness"] == 4;
  })) << "saved after the change";

  EXPECT_FALSE(host_.Write(0x0102, Bytes{0x55, 1, 2, 3, 4, 5, 6, 7}.data(), 8)) << "unknown report";
  EXPECT_FALSE(host_.Write(0x0999, kQuery.data(), 8)) << "unknown identifier";

  const json log = json::parse(host_.Execute(Command(VkbVerb::Log)).text);
  ASSERT_EQ(log.size(), 3u) << "refused reports are logged too";
  EXPECT_EQ(log[1]["usage"], 2);
  EXPECT_EQ(log[1]["bytes"], json(kLighting));
}

TEST_F(VirtualKeyboardHostTest, StateAndLogSurviveARestart) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  ASSERT_TRUE(host_.Write(0x0102, kLighting.data(), 8));
  host_.Stop();

  const json log = json::parse(ExecuteOnStoredKeyboard(Command(VkbVerb::Log), stateFolder_).text);
  ASSERT_EQ(log.size(), 1u);

  CRecordingHostEvents again;
  CVirtualKeyboardHost restarted(stateFolder_);
  ASSERT_TRUE(restarted.Start(FilterFor({1, 2, 3, 4, 5}), again));
  const json state = json::parse(restarted.Execute(Command(VkbVerb::State)).text);
  EXPECT_EQ(state["lighting"]["effect"], 3);
  EXPECT_EQ(state["plugged"], true);
}

TEST_F(VirtualKeyboardHostTest, UnplugAndPlugCloseAndOpenTheInterfaces) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  EXPECT_TRUE(host_.Execute(Command(VkbVerb::Unplug)).ok);
  auto changes = events_.Changes();
  ASSERT_EQ(changes.size(), 10u);
  for (std::size_t k = 5; k < 10; ++k) EXPECT_EQ(changes[k].State, 0u);
  EXPECT_FALSE(host_.Write(0x0102, kQuery.data(), 8)) << "an unplugged keyboard takes nothing";

  const VkbOutcome press = host_.Execute(Command(VkbVerb::Press, 37));
  EXPECT_FALSE(press.ok);
  EXPECT_EQ(press.text, "the virtual keyboard is unplugged");

  EXPECT_TRUE(host_.Execute(Command(VkbVerb::Unplug)).ok);
  EXPECT_EQ(events_.Changes().size(), 10u) << "unplugging twice reports nothing more";

  EXPECT_TRUE(host_.Execute(Command(VkbVerb::Plug)).ok);
  changes = events_.Changes();
  ASSERT_EQ(changes.size(), 15u);
  EXPECT_EQ(changes[14].State, 1u);
  EXPECT_EQ(changes[14].DeviceID, 0x0105u);
  EXPECT_TRUE(host_.Write(0x0102, kQuery.data(), 8));
}

TEST_F(VirtualKeyboardHostTest, KeyboardSideCommandsSendTheirReportsOnTheCommandInterface) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  struct Case {
    VkbCommand command;
    std::vector<Bytes> reports;
  };
  const uint8_t codeOfKeyA = 0x04;  // matrix position 71 = row 3, column 2 in the factory map
  const Case cases[] = {
      {Command(VkbVerb::Profile, 2), {{0x0D, 0x03, 0x02, 0, 0, 0, 0, 0}}},
      {Command(VkbVerb::Effect, 4), {{0x0D, 0x0A, 0x01, 0x01, 0x04, 0, 0, 0}}},
      {Command(VkbVerb::Direction, 1), {{0x0D, 0x02, 0x0C, 0x01, 0, 0, 0, 0}}},
      {Command(VkbVerb::Brightness, 3), {{0x0D, 0x0A, 0x01, 0x07, 0x03, 0, 0, 0}}},
      {Command(VkbVerb::Special, 1), {{0x08, 0xFE, 0x06, 0, 0, 0, 0, 0}}},
      {Command(VkbVerb::Press, 71), {{0x08, 71, 0x01, codeOfKeyA, 0, 0, 0, 0}, {0x08, 71, 0x00, codeOfKeyA, 0, 0, 0, 0}}},
      {VkbCommand{VkbVerb::Input, 0, {0xAB, 0xCD, 0xEF}}, {{0xAB, 0xCD, 0xEF}}},
  };
  std::size_t expected = 0;
  for (const Case& c : cases) {
    const VkbOutcome outcome = host_.Execute(c.command);
    ASSERT_TRUE(outcome.ok) << FormatVkbCommand(c.command) << ": " << outcome.text;
    EXPECT_EQ(json::parse(outcome.text)["sent"], json(c.reports)) << FormatVkbCommand(c.command);
    expected += c.reports.size();
    ASSERT_EQ(events_.Inputs().size(), expected) << FormatVkbCommand(c.command);
    for (std::size_t k = 0; k < c.reports.size(); ++k)
      EXPECT_EQ(events_.Inputs()[expected - c.reports.size() + k], (RecordedInput{0x0102, c.reports[k]}));
  }
  const json state = json::parse(host_.Execute(Command(VkbVerb::State)).text);
  EXPECT_EQ(state["profile"], 2);
  EXPECT_EQ(state["lighting"]["effect"], 4);
  EXPECT_EQ(state["lighting"]["brightness"], 3);
  EXPECT_TRUE(WaitUntil([&] { return StoredState(stateFolder_)["profile"] == 2; }));
}

TEST_F(VirtualKeyboardHostTest, AKeyWhoseCodeWouldReadAsAnotherEventIsRefused) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  // Row 5, column 10 holds code AC, which the host drops from key reports.
  const VkbOutcome outcome = host_.Execute(Command(VkbVerb::Press, 5 * 23 + 10));
  EXPECT_FALSE(outcome.ok);
  EXPECT_TRUE(events_.Inputs().empty());
}

TEST_F(VirtualKeyboardHostTest, ClearLogAndResetClearWhatTheyName) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  ASSERT_TRUE(host_.Write(0x0102, kLighting.data(), 8));
  ASSERT_TRUE(host_.Execute(Command(VkbVerb::Profile, 3)).ok);

  ASSERT_TRUE(host_.Execute(Command(VkbVerb::ClearLog)).ok);
  EXPECT_EQ(json::parse(host_.Execute(Command(VkbVerb::Log)).text), json::array());

  const VkbOutcome reset = host_.Execute(Command(VkbVerb::Reset));
  ASSERT_TRUE(reset.ok) << reset.text;
  const json state = json::parse(reset.text);
  EXPECT_EQ(state["lighting"]["effect"], 5);
  EXPECT_EQ(state["profile"], 0);
  EXPECT_EQ(state["plugged"], true);
  EXPECT_EQ(StoredState(stateFolder_)["lighting"]["effect"], 5) << "stored at once";
}

TEST_F(VirtualKeyboardHostTest, RequestLinesGetOneReplyLine) {
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  const std::string plugged = host_.HandleRequestLine("unplug\r");
  EXPECT_EQ(plugged, "{\"ok\":true,\"result\":{\"plugged\":false}}\n");
  const VkbOutcome bad = ParseReply(host_.HandleRequestLine("profile 9"));
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.text.find("profile"), std::string::npos);
}

TEST_F(VirtualKeyboardHostTest, NothingRunsBeforeStartOrAfterStop) {
  EXPECT_FALSE(host_.Execute(Command(VkbVerb::State)).ok);
  EXPECT_FALSE(host_.Write(0x0102, kQuery.data(), 8));
  ASSERT_TRUE(host_.Start(FilterFor({1, 2, 3, 4, 5}), events_));
  host_.Stop();
  EXPECT_FALSE(host_.Execute(Command(VkbVerb::Profile, 1)).ok);
  EXPECT_FALSE(host_.Write(0x0102, kQuery.data(), 8));
  EXPECT_EQ(events_.Changes().size(), 5u) << "stopping reports no closing";
}

}  // namespace
}  // namespace korvex::hid
