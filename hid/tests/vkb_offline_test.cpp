#include "hid/vkb_offline.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "devsim/state_json.h"
#include "hid/vkb_state_files.h"
#include "tests/support/temp_folder.h"

namespace korvex::hid {
namespace {

using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;
using nlohmann::json;

VkbCommand Command(VkbVerb verb, int value = 0) { return VkbCommand{verb, value, {}}; }

class StoredKeyboardTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  VkbOutcome Run(const VkbCommand& command) { return ExecuteOnStoredKeyboard(command, folder_.Path()); }
};

TEST_F(StoredKeyboardTest, WithoutFilesTheKeyboardIsFactoryNewWithAnEmptyLog) {
  const VkbOutcome state = Run(Command(VkbVerb::State));
  ASSERT_TRUE(state.ok) << state.text;
  devsim::KeyboardState parsed;
  ASSERT_TRUE(devsim::StateFromJsonText(state.text, parsed));
  EXPECT_EQ(parsed, devsim::FactoryState());
  EXPECT_EQ(json::parse(Run(Command(VkbVerb::Log)).text), json::array());
}

TEST_F(StoredKeyboardTest, ResetKeepsFirmwareAndPlugStateAndClearsTheRest) {
  devsim::KeyboardState stored = devsim::FactoryState();
  stored.plugged = false;
  stored.firmwareMajor = 2;
  stored.firmwareMinor = 7;
  stored.profile = 3;
  stored.lighting.effect = 12;
  stored.errors = 9;
  WriteFileBytes(StateFilePath(folder_.Path()), devsim::StateToJsonText(stored));

  const VkbOutcome reset = Run(Command(VkbVerb::Reset));
  ASSERT_TRUE(reset.ok) << reset.text;
  const json state = json::parse(Run(Command(VkbVerb::State)).text);
  EXPECT_EQ(state["firmware"], json::array({2, 7}));
  EXPECT_EQ(state["plugged"], false);
  EXPECT_EQ(state["profile"], 0);
  EXPECT_EQ(state["lighting"]["effect"], 5);
  EXPECT_EQ(state["errors"], 0);
}

TEST_F(StoredKeyboardTest, DamagedFilesAreReportedNotReplaced) {
  WriteFileBytes(StateFilePath(folder_.Path()), "{not json");
  WriteFileBytes(LogFilePath(folder_.Path()), "[{\"t\": 1}]");
  EXPECT_FALSE(Run(Command(VkbVerb::State)).ok);
  EXPECT_FALSE(Run(Command(VkbVerb::Reset)).ok);
  EXPECT_FALSE(Run(Command(VkbVerb::Log)).ok);

  ASSERT_TRUE(Run(Command(VkbVerb::ClearLog)).ok);
  EXPECT_EQ(json::parse(Run(Command(VkbVerb::Log)).text), json::array());
}

TEST_F(StoredKeyboardTest, CommandsForTheKeyboardItselfNeedItRunning) {
  for (VkbVerb verb : {VkbVerb::Plug, VkbVerb::Unplug, VkbVerb::Press, VkbVerb::Profile, VkbVerb::Input}) {
    const VkbOutcome outcome = Run(Command(verb, 1));
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("no virtual keyboard is running"), std::string::npos);
  }
}

TEST(StoredKeyboardWithoutFolderTest, NothingIsReadOrWrittenRelativeToTheWorkingFolder) {
  for (VkbVerb verb : {VkbVerb::State, VkbVerb::Reset, VkbVerb::ClearLog})
    EXPECT_FALSE(ExecuteOnStoredKeyboard(Command(verb), {}).ok);
}

}  // namespace
}  // namespace korvex::hid
