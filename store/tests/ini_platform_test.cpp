// Our INI reader and writer against the platform's profile-string routines:
// the same writes must give the same bytes, and each side must read what the
// other wrote.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "store/ini_file.h"
#include "store/tests/ini_cases.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

using korvex::test::Utf16File;
using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string PlatformRead(const std::filesystem::path& file, std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue, DWORD capacity = 4096) {
  std::u16string buffer(capacity, u'\0');
  std::u16string s(section), k(key), d(defaultValue);
  DWORD n = GetPrivateProfileStringW(W(s), W(k), W(d), reinterpret_cast<wchar_t*>(buffer.data()), capacity,
                                     file.c_str());
  buffer.resize(n);
  return buffer;
}

bool PlatformWrite(const std::filesystem::path& file, std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) {
  std::u16string s(section), k(key), v(value);
  return WritePrivateProfileStringW(W(s), W(k), W(v), file.c_str()) != 0;
}

std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  return out;
}

// The platform caches profile files by name, so every file used here gets a
// name of its own.
class IniPlatformTest : public ::testing::Test {
 protected:
  std::filesystem::path NewFile() { return folder_ / ("f" + std::to_string(next_++) + ".ini"); }
  // A new file holding only the mark, as the store creates it before writing;
  // the platform's routines would create an ANSI file otherwise.
  std::filesystem::path NewUnicodeFile() {
    auto file = NewFile();
    WriteFileBytes(file, "\xFF\xFE");
    return file;
  }
  TempFolder folder_;
  int next_ = 0;
};

TEST_F(IniPlatformTest, SameWritesGiveSameBytes) {
  for (const auto& c : IniWriteCases()) {
    auto ours = NewFile(), theirs = NewFile();
    WriteFileBytes(ours, c.initial);
    WriteFileBytes(theirs, c.initial);
    for (const auto& w : c.writes) {
      EXPECT_TRUE(CIniFile(ours).WriteIniString(w.section, w.key, w.value)) << c.name;
      EXPECT_TRUE(PlatformWrite(theirs, w.section, w.key, w.value)) << c.name;
    }
    // Compared as booleans: a long byte dump helps nobody.
    std::string oursBytes = ReadFileBytes(ours), theirBytes = ReadFileBytes(theirs);
    EXPECT_TRUE(oursBytes == theirBytes) << c.name;
    EXPECT_TRUE(theirBytes == Utf16File(c.expected)) << c.name;
  }
}

TEST_F(IniPlatformTest, SameReads) {
  auto file = NewFile();
  WriteFileBytes(file, IniReadFile());
  for (const auto& c : IniReadCases()) {
    std::string where = "[" + Narrow(c.section) + "] " + Narrow(c.key);
    EXPECT_EQ(PlatformRead(file, c.section, c.key, c.defaultValue), c.expected) << where;
    EXPECT_EQ(CIniFile(file).ReadIniString(c.section, c.key, c.defaultValue), c.expected) << where;
  }
}

TEST_F(IniPlatformTest, SameIntegerReads) {
  for (const auto& c : IniIntCases()) {
    auto file = NewFile();
    WriteFileBytes(file, Utf16File(c.present ? u"[I]\r\nv=" + std::u16string(c.value) + u"\r\n" : u"[I]\r\n"));
    EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntW(L"I", L"v", -99, file.c_str())), c.expected)
        << Narrow(c.value);
    EXPECT_EQ(CIniFile(file).ReadIniInt(u"I", u"v", -99), c.expected) << Narrow(c.value);
  }
}

TEST_F(IniPlatformTest, EachReadsWhatTheOtherWrote) {
  const IniWrite writes[] = {
      {u"Setting", u"Profile", u"2"},        {u"Setting", u"FWVersion", u" "},
      {u"MyXlistIconInfo0", u"ProfileName", u"Profile 0"},
      {u"MyXlistIconInfo0", u"ProfileIconName", u""},
      {u"S", u"quoted", u"\"x y\""},         {u"S", u"trailing", u"v  "},
      {u"S", u"unicode", u"\u00e9\u0436\u4e2d\U0001F600"},
      {u" T ", u" k ", u"  lead"},           {u"S", u"Profile", u"-2147483648"},
      {u"s", u"QUOTED", u"'changed'"},
  };
  auto ours = NewFile(), theirs = NewUnicodeFile();
  for (const auto& w : writes) {
    ASSERT_TRUE(CIniFile(ours).WriteIniString(w.section, w.key, w.value));
    ASSERT_TRUE(PlatformWrite(theirs, w.section, w.key, w.value));
  }
  for (const auto& w : writes) {
    std::string where = "[" + Narrow(w.section) + "] " + Narrow(w.key);
    EXPECT_EQ(PlatformRead(ours, w.section, w.key, u"<d>"), CIniFile(theirs).ReadIniString(w.section, w.key, u"<d>"))
        << where;
    EXPECT_EQ(PlatformRead(ours, w.section, w.key, u"<d>"), PlatformRead(theirs, w.section, w.key, u"<d>")) << where;
    std::u16string s(w.section), k(w.key);
    EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntW(W(s), W(k), 7, ours.c_str())),
              CIniFile(theirs).ReadIniInt(w.section, w.key, 7))
        << where;
  }
}

TEST_F(IniPlatformTest, LongValuesAreCutAlike) {
  std::u16string value(5000, u'x');
  value[4094] = u'A';
  auto ours = NewFile(), theirs = NewUnicodeFile();
  ASSERT_TRUE(CIniFile(ours).WriteIniString(u"L", u"v", value));
  ASSERT_TRUE(CIniFile(ours).WriteIniString(u"L", u"q", u"\"" + value + u"\""));
  ASSERT_TRUE(PlatformWrite(theirs, u"L", u"v", value));
  ASSERT_TRUE(PlatformWrite(theirs, u"L", u"q", u"\"" + value + u"\""));
  EXPECT_TRUE(ReadFileBytes(ours) == ReadFileBytes(theirs));
  for (const char16_t* key : {u"v", u"q"}) {
    EXPECT_EQ(PlatformRead(ours, u"L", key, u""), value.substr(0, 4095));
    EXPECT_EQ(CIniFile(theirs).ReadIniString(u"L", key, u""), value.substr(0, 4095));
  }
}

}  // namespace
