#include "store/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "store/tests/ini_cases.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"
#include "xml/atomic_file.h"

namespace {

using korvex::test::Utf16File;
using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

class IniFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::filesystem::path path_ = folder_ / "test.ini";
  CIniFile ini_{path_};
};

TEST_F(IniFileTest, WriteSequencesGiveTheExpectedBytes) {
  for (const auto& c : IniWriteCases()) {
    WriteFileBytes(path_, c.initial);
    for (const auto& w : c.writes) EXPECT_TRUE(ini_.WriteIniString(w.section, w.key, w.value)) << c.name;
    EXPECT_EQ(ReadFileBytes(path_), Utf16File(c.expected)) << c.name;
  }
}

TEST_F(IniFileTest, ReadsMatchTheProfileRoutines) {
  WriteFileBytes(path_, IniReadFile());
  for (const auto& c : IniReadCases())
    EXPECT_EQ(ini_.ReadIniString(c.section, c.key, c.defaultValue), c.expected)
        << "[" << Narrow(c.section) << "] " << Narrow(c.key);
}

TEST_F(IniFileTest, IntegerReads) {
  for (const auto& c : IniIntCases()) {
    WriteFileBytes(path_, Utf16File(c.present ? u"[I]\r\nv=" + std::u16string(c.value) + u"\r\n" : u"[I]\r\n"));
    EXPECT_EQ(ini_.ReadIniInt(u"I", u"v", -99), c.expected) << Narrow(c.value);
  }
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreatedByReads) {
  EXPECT_EQ(ini_.ReadIniString(u"S", u"K", u"dflt  "), u"dflt");
  EXPECT_EQ(ini_.ReadIniString(u"S", u"K", u"'q'"), u"q");
  EXPECT_EQ(ini_.ReadIniInt(u"S", u"K", 42), 42);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniFileTest, EnsureUnicodeFileCreatesOnlyMissingFiles) {
  EXPECT_TRUE(ini_.EnsureUnicodeFile());
  EXPECT_EQ(ReadFileBytes(path_), std::string("\xFF\xFE"));
  WriteFileBytes(path_, "[A]\r\n");
  EXPECT_TRUE(ini_.EnsureUnicodeFile());
  EXPECT_EQ(ReadFileBytes(path_), "[A]\r\n");
  CIniFile nowhere(folder_ / "missing" / "x.ini");
  EXPECT_FALSE(nowhere.EnsureUnicodeFile());
}

TEST_F(IniFileTest, FirstWriteCreatesUtf16FileWithMark) {
  EXPECT_TRUE(ini_.WriteIniInt(u"Setting", u"Profile", -3));
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[Setting]\r\nProfile=-3\r\n"));
  EXPECT_EQ(ini_.ReadIniInt(u"setting", u"PROFILE", 0), -3);
}

TEST_F(IniFileTest, ValuesAreCutAt4095Characters) {
  std::u16string value(5000, u'x');
  value[4094] = u'A';
  value[4095] = u'B';
  EXPECT_TRUE(ini_.WriteIniString(u"L", u"v", value));
  EXPECT_TRUE(ini_.WriteIniString(u"L", u"q", u"\"" + value + u"\""));
  EXPECT_EQ(ini_.ReadIniString(u"L", u"v", u""), value.substr(0, 4095));
  EXPECT_EQ(ini_.ReadIniString(u"L", u"q", u""), value.substr(0, 4095));
  // A quoted value that fits exactly keeps all its characters.
  std::u16string fits(4095, u'y');
  EXPECT_TRUE(ini_.WriteIniString(u"L", u"f", u"'" + fits + u"'"));
  EXPECT_EQ(ini_.ReadIniString(u"L", u"f", u""), fits);
}

TEST_F(IniFileTest, ValueIsKeptUpToItsFirstLineBreak) {
  EXPECT_TRUE(ini_.WriteIniString(u"S", u"nl", u"a\r\nInjected=1"));
  EXPECT_TRUE(ini_.WriteIniString(u"S", u"lf", u"\r\n b\nc"));
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[S]\r\nnl=a\r\nlf=b\r\n"));
  EXPECT_EQ(ini_.ReadIniString(u"S", u"Injected", u"none"), u"none");
}

TEST_F(IniFileTest, NamesThatWouldNotReadBackAreRefused) {
  WriteFileBytes(path_, Utf16File(u"[S]\r\nk=1\r\n"));
  const IniWrite refused[] = {
      {u"S", u"eq=k", u"v"}, {u"S", u"a\nb", u"v"}, {u"S", u"a\rb", u"v"}, {u"S\r\n[T]", u"k", u"v"},
      {u"S", u"[k]", u"v"},  {u"S", u" [k", u"v"},
  };
  for (const auto& w : refused) EXPECT_FALSE(ini_.WriteIniString(w.section, w.key, w.value)) << Narrow(w.key);
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[S]\r\nk=1\r\n"));
}

TEST_F(IniFileTest, TextAfterNulIsIgnoredAsByTheCStringRoutines) {
  using namespace std::string_view_literals;
  EXPECT_TRUE(ini_.WriteIniString(u"S\0x"sv, u"k\0y"sv, u"v\0z"sv));
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[S]\r\nk=v\r\n"));
  EXPECT_EQ(ini_.ReadIniString(u"S\0q"sv, u"k\0q"sv, u""), u"v");
}

TEST_F(IniFileTest, FilesWithoutUtf16MarkAreReadAndRewrittenAsUtf16) {
  const struct { const char* name; std::string bytes; } cases[] = {
      {"UTF-8", "[A]\r\nx=caf\xC3\xA9\r\n"},
      {"UTF-8 with mark", "\xEF\xBB\xBF[A]\r\nx=caf\xC3\xA9\r\n"},
      {"ANSI", "[A]\r\nx=caf\xE9\r\n"},
      {"UTF-16BE", std::string("\xFE\xFF\0[\0A\0]\0\r\0\n\0x\0=\0c\0a\0f\0\xE9", 24)},
  };
  for (const auto& c : cases) {
    WriteFileBytes(path_, c.bytes);
    EXPECT_EQ(ini_.ReadIniString(u"A", u"x", u""), u"caf\u00E9") << c.name;
    EXPECT_TRUE(ini_.WriteIniString(u"A", u"z", u"\u0436")) << c.name;
    EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[A]\r\nx=caf\u00E9\r\nz=\u0436\r\n")) << c.name;
  }
}

TEST_F(IniFileTest, ExistingEmptyFileBecomesUtf16) {
  WriteFileBytes(path_, "");
  EXPECT_TRUE(ini_.WriteIniString(u"A", u"z", u"1"));
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[A]\r\nz=1\r\n"));
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFile) {
  WriteFileBytes(path_, Utf16File(u"[S]\r\nk=1\r\n"));
  korvex::FileWriteFaults::failAfterBytes = 4;
  bool ok = ini_.WriteIniString(u"S", u"k", u"2");
  korvex::FileWriteFaults::failAfterBytes.reset();
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadFileBytes(path_), Utf16File(u"[S]\r\nk=1\r\n"));
}

TEST_F(IniFileTest, WriteIntoMissingFolderFails) {
  CIniFile nowhere(folder_ / "missing" / "x.ini");
  EXPECT_FALSE(nowhere.WriteIniString(u"S", u"k", u"1"));
  EXPECT_FALSE(nowhere.WriteIniInt(u"S", u"k", 1));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
