#include "hid/vkb_command.h"

#include <gtest/gtest.h>

#include "hid/vkb_protocol.h"

namespace korvex::hid {
namespace {

using Words = std::vector<std::string>;

TEST(VkbCommandTest, ParsesEveryCommandAndFormatsItBack) {
  struct Case {
    Words words;
    VkbCommand command;
  };
  const Case cases[] = {
      {{"plug"}, {VkbVerb::Plug, 0, {}}},
      {{"unplug"}, {VkbVerb::Unplug, 0, {}}},
      {{"profile", "3"}, {VkbVerb::Profile, 3, {}}},
      {{"effect", "0"}, {VkbVerb::Effect, 0, {}}},
      {{"direction", "1"}, {VkbVerb::Direction, 1, {}}},
      {{"brightness", "4"}, {VkbVerb::Brightness, 4, {}}},
      {{"press", "137"}, {VkbVerb::Press, 137, {}}},
      {{"special", "0"}, {VkbVerb::Special, 0, {}}},
      {{"input", "0d0302"}, {VkbVerb::Input, 0, {0x0D, 0x03, 0x02}}},
      {{"input", "0D", "03", "02"}, {VkbVerb::Input, 0, {0x0D, 0x03, 0x02}}},
      {{"state"}, {VkbVerb::State, 0, {}}},
      {{"log"}, {VkbVerb::Log, 0, {}}},
      {{"clear-log"}, {VkbVerb::ClearLog, 0, {}}},
      {{"reset"}, {VkbVerb::Reset, 0, {}}},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseVkbCommand(c.words);
    ASSERT_TRUE(std::holds_alternative<VkbCommand>(parsed)) << c.words[0] << ": " << std::get<std::string>(parsed);
    EXPECT_EQ(std::get<VkbCommand>(parsed), c.command) << c.words[0];
    const auto again = ParseVkbCommand(SplitWords(FormatVkbCommand(c.command)));
    EXPECT_EQ(std::get<VkbCommand>(again), c.command) << FormatVkbCommand(c.command);
  }
}

TEST(VkbCommandTest, RejectsBadWordsWithAOneLineMessage) {
  const Words cases[] = {
      {},
      {"jump"},
      {"PLUG"},
      {"plug", "now"},
      {"profile"},
      {"profile", "4"},
      {"profile", "-1"},
      {"profile", "+1"},
      {"profile", "1x"},
      {"profile", " 1"},
      {"profile", "1", "2"},
      {"effect", "10"},
      {"direction", "2"},
      {"brightness", "5"},
      {"press", "138"},
      {"press", "99999999999999999999"},
      {"special", "2"},
      {"input"},
      {"input", "0"},
      {"input", "0g"},
      {"input", "0x0D"},
      {"input", std::string(130, 'a')},
  };
  for (const Words& words : cases) {
    const auto parsed = ParseVkbCommand(words);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << (words.empty() ? "(none)" : words[0]);
    const std::string& message = std::get<std::string>(parsed);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), std::string::npos);
  }
  EXPECT_TRUE(std::holds_alternative<VkbCommand>(ParseVkbCommand({"input", std::string(128, 'a')})))
      << "64 bytes is the largest report";
}

TEST(VkbCommandTest, SplitsALineOnBlanks) {
  EXPECT_EQ(SplitWords("  press\t37 \r\n"), (Words{"press", "37"}));
  EXPECT_TRUE(SplitWords(" \r\n").empty());
}

TEST(VkbCommandTest, OnlyInspectionsWorkWithoutARunningKeyboard) {
  for (VkbVerb verb : {VkbVerb::State, VkbVerb::Log, VkbVerb::ClearLog, VkbVerb::Reset})
    EXPECT_FALSE(NeedsRunningKeyboard(verb));
  for (VkbVerb verb : {VkbVerb::Plug, VkbVerb::Unplug, VkbVerb::Press, VkbVerb::Input, VkbVerb::Profile})
    EXPECT_TRUE(NeedsRunningKeyboard(verb));
}

TEST(VkbProtocolTest, RepliesCarryAResultOrAnError) {
  const VkbOutcome success = ParseReply(FormatReply(VkbOutcome::Success(R"({"plugged": true})")));
  EXPECT_TRUE(success.ok);
  EXPECT_EQ(success.text, R"({"plugged":true})");

  const VkbOutcome failure = ParseReply(FormatReply(VkbOutcome::Failure("unknown command '\xff'")));
  EXPECT_FALSE(failure.ok);
  EXPECT_EQ(failure.text.find('\n'), std::string::npos);

  EXPECT_EQ(FormatReply(VkbOutcome::Success("[]")).back(), '\n') << "one line per reply";
  for (const char* garbage : {"", "not json", "[1]", R"({"ok": 1})", R"({"ok": true})", R"({"ok": false})"})
    EXPECT_FALSE(ParseReply(garbage).ok) << garbage;
}

}  // namespace
}  // namespace korvex::hid
