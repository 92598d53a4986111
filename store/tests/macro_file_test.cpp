#include "store/macro_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "store/fixed_text.h"
#include "store/number_text.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"
#include "xml/xml_document.h"

namespace {

using korvex::test::EncodeText;
using korvex::test::StoreDocumentText;
using korvex::test::TextEncoding;
using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

tagMACRO_DATA VariedMacro(uint32_t seed) {
  tagMACRO_DATA macro{};
  uint32_t state = seed;
  auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  macro.Repeat = static_cast<uint16_t>(next() >> 16);
  CopyFixedText(macro.MacroName, u" Combo <" + FormatDecimal(static_cast<int32_t>(seed)) + u"> & \u00e9\U0001F3AE ");
  for (auto& event : macro.events) {
    event.attributeH = static_cast<uint8_t>(next() >> 24);
    event.attributeL = static_cast<uint8_t>(next() >> 24);
    event.map = static_cast<uint8_t>(next() >> 24);
  }
  return macro;
}

bool SameRecord(const tagMACRO_DATA& a, const tagMACRO_DATA& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::u16string EventText(int index, int h, int l, int map) {
  const std::u16string tag = u"Event_" + FormatDecimal(index);
  return u"<" + tag + u"><attributeH>" + FormatDecimal(h) + u"</attributeH><attributeL>" + FormatDecimal(l) +
         u"</attributeL><map>" + FormatDecimal(map) + u"</map></" + tag + u">";
}

TEST(MacroFile, NewFileHoldsNameRepeatAndAllEightyEvents) {
  TempFolder data;
  data.Sub("Macros");
  tagMACRO_DATA macro{};
  CopyFixedText(macro.MacroName, u"M");
  macro.Repeat = 3;
  macro.events[0] = {1, 20, 0x04};
  macro.events[1] = {2, 30, 0xFF};
  ASSERT_TRUE(WriteMacroFile(data.Path(), macro, u"M", {}, 0));

  std::u16string expected =
      u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<root>\r\n<Setting>\r\n<MacroName>M</MacroName>\r\n"
      u"<Repeat>3</Repeat>\r\n";
  for (int i = 0; i < MACRO_EVENT_COUNT; ++i) {
    const tagMACRO_EVENT& e = macro.events[i];
    const std::u16string tag = u"Event_" + FormatDecimal(i);
    expected += u"<" + tag + u">\r\n<attributeH>" + FormatDecimal(e.attributeH) + u"</attributeH>\r\n<attributeL>" +
                FormatDecimal(e.attributeL) + u"</attributeL>\r\n<map>" + FormatDecimal(e.map) + u"</map>\r\n</" + tag +
                u">\r\n";
  }
  expected += u"</Setting>\r\n</root>\r\n";
  EXPECT_EQ(ReadFileBytes(data.Path() / "Macros" / "M.macro"), EncodeText(expected, TextEncoding::Utf16LE));
}

TEST(MacroFile, RoundTripKeepsTheWholeRecord) {
  TempFolder data;
  data.Sub("Macros");
  // The second write updates the first file in place.
  ASSERT_TRUE(WriteMacroFile(data.Path(), VariedMacro(1), u"combo", {}, 0));
  const tagMACRO_DATA macro = VariedMacro(2);
  ASSERT_TRUE(WriteMacroFile(data.Path(), macro, u"combo", {}, 0));

  tagMACRO_DATA read{};
  ASSERT_TRUE(ReadMacroFile(data.Path(), read, u"combo", {}, 0));
  EXPECT_TRUE(SameRecord(read, macro));
  EXPECT_EQ(FixedTextView(read.MacroName), FixedTextView(macro.MacroName));
}

TEST(MacroFile, EventsMissingFromTheFileKeepTheCallersValues) {
  TempFolder folder;
  std::u16string body = u"<Setting><MacroName>ten</MacroName>";
  for (int i = 0; i < 10; ++i) body += EventText(i, i + 1, i + 2, i + 3);
  body += u"</Setting>";
  const auto path = folder.Path() / "ten.macro";
  WriteFileBytes(path, EncodeText(StoreDocumentText(body), TextEncoding::Utf16LE));

  tagMACRO_DATA macro{};
  macro.Repeat = 7;
  ASSERT_TRUE(ReadMacroFile({}, macro, {}, path, 1));
  EXPECT_EQ(FixedTextView(macro.MacroName), u"ten");
  EXPECT_EQ(macro.Repeat, 7);  // no Repeat element
  for (int i = 0; i < MACRO_EVENT_COUNT; ++i) {
    SCOPED_TRACE(i);
    const tagMACRO_EVENT& e = macro.events[i];
    if (i < 10) {
      EXPECT_EQ(e.attributeH, i + 1);
      EXPECT_EQ(e.attributeL, i + 2);
      EXPECT_EQ(e.map, i + 3);
    } else {
      EXPECT_EQ(e.attributeH | e.attributeL | e.map, 0);
    }
  }
}

TEST(MacroFile, NumbersKeepTheLowBitsAndTextsAreCut) {
  TempFolder folder;
  const std::u16string longName(600, u'N');
  const auto path = folder.Path() / "m.macro";
  WriteFileBytes(path, EncodeText(StoreDocumentText(u"<Setting><MacroName>" + longName +
                                                    u"</MacroName><Repeat>70000</Repeat>"
                                                    u"<Event_0><attributeH>257</attributeH><attributeL>-1</attributeL>"
                                                    u"<map>x</map></Event_0></Setting>"),
                                  TextEncoding::Utf16LE));
  tagMACRO_DATA macro{};
  macro.events[0].map = 9;
  ASSERT_TRUE(ReadMacroFile({}, macro, {}, path, 1));
  EXPECT_EQ(macro.Repeat, 4464);
  EXPECT_EQ(FixedTextView(macro.MacroName), longName.substr(0, 519));
  EXPECT_EQ(macro.events[0].attributeH, 1);
  EXPECT_EQ(macro.events[0].attributeL, 255);
  EXPECT_EQ(macro.events[0].map, 0);
}

class MacroFileEncoding : public ::testing::TestWithParam<TextEncoding> {};

TEST_P(MacroFileEncoding, ReadingSavesTheFileBackInItsEncoding) {
  TempFolder folder;
  const bool wide = GetParam() == TextEncoding::Utf16LE || GetParam() == TextEncoding::Utf16BE;
  const std::string original = EncodeText(
      StoreDocumentText(u"\r\n<Setting>\r\n<MacroName>\u00c4rger \U0001F3AE</MacroName>\r\n<Repeat>2</Repeat>\r\n" +
                            EventText(0, 1, 2, 3) + u"\r\n</Setting>\r\n",
                        wide ? u"utf-16" : u"utf-8"),
      GetParam());
  const auto path = folder.Path() / "m.macro";
  WriteFileBytes(path, original);
  const korvex::test::FileIdentity identity(path);

  tagMACRO_DATA macro{};
  ASSERT_TRUE(ReadMacroFile({}, macro, {}, path, 1));
  EXPECT_EQ(FixedTextView(macro.MacroName), u"\u00c4rger \U0001F3AE");
  EXPECT_EQ(macro.events[0].map, 3);
  EXPECT_TRUE(identity.Replaced());
  EXPECT_EQ(ReadFileBytes(path), original);
}

INSTANTIATE_TEST_SUITE_P(Encodings, MacroFileEncoding,
                         korvex::test::AllTextEncodings(),
                         [](const auto& info) { return korvex::test::EncodingName(info.param); });

TEST(MacroFile, UnreadableFileLeavesTheRecordAndFileAlone) {
  TempFolder folder;
  const auto path = folder.Path() / "m.macro";
  const std::string broken = EncodeText(StoreDocumentText(u"<Setting><Repeat>5</Repeat>"), TextEncoding::Utf16LE);
  WriteFileBytes(path, broken);
  const tagMACRO_DATA before = VariedMacro(3);
  tagMACRO_DATA macro = before;
  EXPECT_FALSE(ReadMacroFile({}, macro, {}, path, 1));
  EXPECT_FALSE(ReadMacroFile({}, macro, {}, folder.Path() / "missing.macro", 1));
  EXPECT_TRUE(SameRecord(macro, before));
  EXPECT_EQ(ReadFileBytes(path), broken);
}

struct PathCase {
  const char* what;
  std::u16string name;
  int usePath;
  bool inMacros;  // else at the full path
};

TEST(MacroFile, NameAndFlagChooseTheFile) {
  const PathCase cases[] = {
      {"name, flag 0", u"byname", 0, true},
      {"name, flag 2", u"byname", 2, true},
      {"name, flag 1", u"byname", 1, false},
      {"no name", u"", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder data;
    data.Sub("Macros");
    const auto fullPath = data.Path() / "elsewhere.macro";
    const tagMACRO_DATA macro = VariedMacro(4);
    ASSERT_TRUE(WriteMacroFile(data.Path(), macro, c.name, fullPath, c.usePath));
    const auto expected = c.inMacros ? data.Path() / "Macros" / "byname.macro" : fullPath;
    EXPECT_TRUE(std::filesystem::exists(expected));
    EXPECT_EQ(korvex::test::FileNames(data.Path() / "Macros").size(), c.inMacros ? 1u : 0u);

    tagMACRO_DATA read{};
    ASSERT_TRUE(ReadMacroFile(data.Path(), read, c.name, fullPath, c.usePath));
    EXPECT_TRUE(SameRecord(read, macro));
  }
}

TEST(MacroFile, RefusesUnnamedDataFolderAndNamesOutsideTheFolder) {
  TempFolder data;
  data.Sub("Macros");
  tagMACRO_DATA macro = VariedMacro(5);
  EXPECT_FALSE(WriteMacroFile({}, macro, u"m", data.Path() / "ignored.macro", 0));
  EXPECT_FALSE(ReadMacroFile({}, macro, u"m", data.Path() / "ignored.macro", 0));
  EXPECT_FALSE(WriteMacroFile(data.Path(), macro, {}, {}, 1));  // no path at all
  for (std::u16string_view name : {u"../x", u"..\\x", u"C:x"}) {
    EXPECT_FALSE(WriteMacroFile(data.Path(), macro, name, {}, 0));
    EXPECT_FALSE(ReadMacroFile(data.Path(), macro, name, {}, 0));
  }
  EXPECT_EQ(korvex::test::FileNames(data.Path()), std::vector<std::string>{"Macros"});
  EXPECT_TRUE(std::filesystem::is_empty(data.Path() / "Macros"));
}

TEST(MacroFile, ListNamesTheMacroFiles) {
  TempFolder data;
  const auto macros = data.Sub("Macros");
  for (const char* file : {"a.macro", "b.txt", "c.macro.macro", "d.macrox", "E.MACRO", "f.macro.txt"})
    WriteFileBytes(macros / file, "x");
  data.Sub("Macros/folder.macro");

  auto names = ListMacroFiles(data.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"E", u"a", u"c"}));

  EXPECT_TRUE(ListMacroFiles({}).empty());
  TempFolder noMacros;
  EXPECT_TRUE(ListMacroFiles(noMacros.Path()).empty());
}

}  // namespace
