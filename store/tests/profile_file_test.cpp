#include "store/profile_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "store/fixed_text.h"
#include "store/number_text.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"
#include "xml/atomic_file.h"
#include "xml/xml_document.h"

namespace {

using korvex::test::EncodeText;
using korvex::test::StoreDocumentText;
using korvex::test::TextEncoding;
using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

constexpr char16_t kName[] = u"Profile 1";

std::unique_ptr<tagPROFILE_DATA> NewProfile() {
  auto profile = std::make_unique<tagPROFILE_DATA>();
  ResetProfileData(*profile);
  return profile;
}

// A profile with every stored field set from a simple generator: full-range
// numbers (negative function codes, colours above 0xFFFFFF), texts with
// characters the XML has to escape, characters outside the BMP and blanks at
// both ends.
std::unique_ptr<tagPROFILE_DATA> VariedProfile(uint32_t seed) {
  auto profile = NewProfile();
  uint32_t state = seed;
  auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  for (int k = 0; k < KEY_COUNT; ++k) {
    tagKEY_ASSIGN& key = profile->keys[k];
    key.bySelFunc = static_cast<uint8_t>(next() >> 24);
    key.byBtnFun = static_cast<int32_t>(next());
    key.repeatTime = static_cast<uint16_t>(next() >> 16);
    key.byKeyNumber = static_cast<uint8_t>(next() >> 24);
    std::u16string launch = u" C:\\Games\\<" + FormatDecimal(k) + u"> & \"x\" 'y' \u00e9\u20ac\U0001F3AE ";
    CopyFixedText(key.launch, launch);
    CopyFixedText(key.MacroName, u"m" + FormatDecimal(static_cast<int32_t>(next() % 1000)));
    profile->colorSets[0].colors[k] = next();
  }
  tagLIGHT_SETTING& light = profile->lighting;
  for (uint8_t* field : {&light.byLightEffect, &light.byLightEffectDirect, &light.byLightBright, &light.byLightSpeed,
                         &light.byLightColorType, &light.byLightRGBNUM, &light.bKeyColorType}) {
    *field = static_cast<uint8_t>(next() >> 24);
  }
  light.byLightColor = next();
  light.bySingleKeyColor = next();
  light.byAllKeyColor = next();
  return profile;
}

bool SameRecord(const tagPROFILE_DATA& a, const tagPROFILE_DATA& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::filesystem::path DefaultProfilePath(const TempFolder& data) {
  return data.Path() / "Profiles" / (std::u16string(kName) + u".profile");
}

class ScopedWriteFault {
 public:
  explicit ScopedWriteFault(std::size_t bytes) { korvex::FileWriteFaults::failAfterBytes = bytes; }
  ~ScopedWriteFault() { korvex::FileWriteFaults::failAfterBytes.reset(); }
};

TEST(ProfileFile, NewFileIsUtf16WithDeclarationAndFullTree) {
  TempFolder data;
  data.Sub("Profiles");
  auto profile = NewProfile();
  profile->keys[1].bySelFunc = 4;
  profile->keys[1].byBtnFun = -2;
  CopyFixedText(profile->keys[1].launch, u"C:\\a&b.exe");
  CopyFixedText(profile->keys[2].MacroName, u"<m>");
  profile->keys[2].repeatTime = 65535;
  profile->keys[3].byKeyNumber = 255;
  profile->colorSets[0].colors[110] = 0xFFFFFFFF;
  profile->lighting.byLightEffect = 19;
  profile->lighting.byAllKeyColor = 0xFF0000;
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *profile));

  std::u16string expected = u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<root>\r\n<ButtonSet>\r\n";
  auto element = [&expected](std::u16string_view tag, std::u16string_view text) {
    const std::u16string name(tag);
    expected += text.empty() ? u"<" + name + u"/>\r\n" : u"<" + name + u">" + std::u16string(text) + u"</" + name + u">\r\n";
  };
  const char16_t* launch[KEY_COUNT] = {};
  launch[1] = u"C:\\a&amp;b.exe";
  for (int k = 0; k < KEY_COUNT; ++k) {
    const tagKEY_ASSIGN& key = profile->keys[k];
    expected += u"<Button_" + FormatDecimal(k) + u">\r\n";
    element(u"bySelFunc", FormatDecimal(key.bySelFunc));
    element(u"byBtnFun", FormatDecimal(key.byBtnFun));
    element(u"launch", launch[k] ? launch[k] : u"");
    element(u"MacroName", k == 2 ? u"&lt;m&gt;" : u"");
    element(u"repeatTime", FormatDecimal(key.repeatTime));
    element(u"byKeyNumber", FormatDecimal(key.byKeyNumber));
    element(u"coLightRGB", k == 110 ? u"-1" : u"0");
    expected += u"</Button_" + FormatDecimal(k) + u">\r\n";
  }
  expected += u"</ButtonSet>\r\n<Lighting>\r\n";
  for (const char16_t* tag : {u"byLightEffect", u"byLightEffectDirect", u"byLightBright", u"byLightSpeed",
                              u"byLightColorType", u"byLightRGBNUM", u"byLightColor", u"bKeyColorType",
                              u"bySingleKeyColor"}) {
    element(tag, std::u16string_view(tag) == u"byLightEffect" ? u"19" : u"0");
  }
  element(u"byAllKeyColor", u"16711680");
  expected += u"</Lighting>\r\n</root>\r\n";
  EXPECT_EQ(ReadFileBytes(DefaultProfilePath(data)), EncodeText(expected, TextEncoding::Utf16LE));
}

TEST(ProfileFile, RoundTripKeepsEveryStoredField) {
  TempFolder data;
  data.Sub("Profiles");
  auto first = VariedProfile(1), second = VariedProfile(2);
  // The second write updates the first file in place.
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *first));
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *second));

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile(data.Path(), kName, *read));
  EXPECT_TRUE(SameRecord(*read, *second));
  EXPECT_EQ(FixedTextView(read->keys[3].launch), FixedTextView(second->keys[3].launch));
  EXPECT_EQ(read->colorSets[0].colors[110], second->colorSets[0].colors[110]);
}

TEST(ProfileFile, OnlyStoredFieldsAreWritten) {
  TempFolder data;
  data.Sub("Profiles");
  auto profile = VariedProfile(3);
  std::memset(profile->keys[0].reserved, 0x5A, sizeof profile->keys[0].reserved);
  std::memset(profile->reserved, 0x5A, sizeof profile->reserved);
  profile->colorSets[1].colors[0] = 0x123456;
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *profile));

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile(data.Path(), kName, *read));
  EXPECT_EQ(read->keys[0].reserved[0], 0);
  EXPECT_EQ(read->reserved[0], 0);
  EXPECT_EQ(read->colorSets[1].colors[0], 0u);
  EXPECT_EQ(read->keys[0].byBtnFun, profile->keys[0].byBtnFun);
}

TEST(ProfileFile, WritingKeepsForeignElementsAndComments) {
  TempFolder data;
  const auto profiles = data.Sub("Profiles");
  WriteFileBytes(DefaultProfilePath(data),
                 EncodeText(StoreDocumentText(u"<!-- kept comment -->\r\n<Extra>kept text</Extra>\r\n"
                                              u"<ButtonSet><Button_3><Note>kept note</Note><byBtnFun>1</byBtnFun>"
                                              u"</Button_3></ButtonSet>"),
                            TextEncoding::Utf16LE));
  auto profile = VariedProfile(4);
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *profile));

  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(DefaultProfilePath(data)));
  const std::u16string& text = doc.GetText();
  EXPECT_NE(text.find(u"<!-- kept comment -->"), std::u16string::npos);
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindChildElement(u"Extra"));
  EXPECT_EQ(doc.GetChildData(), u"kept text");
  ASSERT_TRUE(doc.FindChildElement(u"ButtonSet"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindChildElement(u"Button_3"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindChildElement(u"Note"));
  EXPECT_EQ(doc.GetChildData(), u"kept note");

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile(data.Path(), kName, *read));
  EXPECT_TRUE(SameRecord(*read, *profile));
}

TEST(ProfileFile, KnownElementThatHoldsElementsFailsTheWriteButKeepsTheRest) {
  TempFolder folder;
  const auto path = folder.Path() / "p.profile";
  WriteFileBytes(path,
                 EncodeText(StoreDocumentText(u"<ButtonSet><Button_0><bySelFunc>1</bySelFunc><byBtnFun>2</byBtnFun>"
                                              u"<launch><x/></launch></Button_0></ButtonSet>"),
                            TextEncoding::Utf16LE));
  auto profile = VariedProfile(13);
  EXPECT_FALSE(WriteProfileFile({}, u"p", *profile, folder.Path()));

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile({}, u"p", *read, folder.Path()));
  EXPECT_EQ(FixedTextView(read->keys[0].launch), u"");
  EXPECT_EQ(read->keys[0].byBtnFun, profile->keys[0].byBtnFun);
  EXPECT_EQ(FixedTextView(read->keys[1].launch), FixedTextView(profile->keys[1].launch));
}

struct NumberCase {
  const char* what;
  std::u16string body;  // inside root
  std::function<int64_t(const tagPROFILE_DATA&)> field;
  int64_t expected;
};

TEST(ProfileFile, NumbersUseDecimalConversionAndKeepLowBits) {
  auto button = [](std::u16string_view element, std::u16string_view text) {
    return u"<ButtonSet><Button_0><" + std::u16string(element) + u">" + std::u16string(text) + u"</" +
           std::u16string(element) + u"></Button_0></ButtonSet>";
  };
  auto lighting = [](std::u16string_view element, std::u16string_view text) {
    return u"<Lighting><" + std::u16string(element) + u">" + std::u16string(text) + u"</" + std::u16string(element) +
           u"></Lighting>";
  };
  auto selFunc = [](const tagPROFILE_DATA& p) -> int64_t { return p.keys[0].bySelFunc; };
  auto btnFun = [](const tagPROFILE_DATA& p) -> int64_t { return p.keys[0].byBtnFun; };
  auto color = [](const tagPROFILE_DATA& p) -> int64_t { return p.colorSets[0].colors[0]; };
  const NumberCase cases[] = {
      {"function code 512 is MACRO", button(u"byBtnFun", u"512"), btnFun, 0x200},
      {"no digits reads 0", button(u"byBtnFun", u"abc"), btnFun, 0},
      {"empty reads 0", button(u"byBtnFun", u""), btnFun, 0},
      {"blanks, sign, trailing text", button(u"byBtnFun", u" \t-42xyz"), btnFun, -42},
      {"beyond 32 bits saturates", button(u"byBtnFun", u"99999999999"), btnFun, INT32_MAX},
      {"257 keeps low 8 bits", button(u"bySelFunc", u"257"), selFunc, 1},
      {"repeat keeps low 16 bits", button(u"repeatTime", u"70000"),
       [](const tagPROFILE_DATA& p) -> int64_t { return p.keys[0].repeatTime; }, 4464},
      {"-1 as a usage code", button(u"byKeyNumber", u"-1"),
       [](const tagPROFILE_DATA& p) -> int64_t { return p.keys[0].byKeyNumber; }, 255},
      {"negative colour", button(u"coLightRGB", u"-1"), color, 0xFFFFFFFF},
      {"blue", button(u"coLightRGB", u"16711680"), color, 0xFF0000},
      {"effect keeps low 8 bits", lighting(u"byLightEffect", u"300"),
       [](const tagPROFILE_DATA& p) -> int64_t { return p.lighting.byLightEffect; }, 44},
      {"effect colour", lighting(u"byLightColor", u"-16777216"),
       [](const tagPROFILE_DATA& p) -> int64_t { return p.lighting.byLightColor; }, 0xFF000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteFileBytes(folder.Path() / "p.profile", EncodeText(StoreDocumentText(c.body), TextEncoding::Utf16LE));
    auto profile = VariedProfile(5);  // every field non-zero beforehand
    ASSERT_TRUE(ReadProfileFile({}, u"p", *profile, folder.Path()));
    EXPECT_EQ(c.field(*profile), c.expected);
  }
}

TEST(ProfileFile, EachSearchStartsAfterThePreviousMatch) {
  TempFolder folder;
  auto sel = [](int k, int value) {
    return u"<Button_" + FormatDecimal(k) + u"><bySelFunc>" + FormatDecimal(value) + u"</bySelFunc></Button_" +
           FormatDecimal(k) + u">";
  };
  // Key 7 before key 6; inside Button_9 byBtnFun before bySelFunc.
  WriteFileBytes(folder.Path() / "p.profile",
                 EncodeText(StoreDocumentText(u"<ButtonSet>" + sel(5, 15) + sel(7, 17) + sel(6, 16) + sel(8, 18) +
                                              u"<Button_9><byBtnFun>19</byBtnFun><bySelFunc>29</bySelFunc></Button_9>"
                                              u"</ButtonSet>"),
                            TextEncoding::Utf16LE));
  auto profile = NewProfile();
  for (auto& key : profile->keys) {
    key.bySelFunc = 99;
    key.byBtnFun = 99;
  }
  ASSERT_TRUE(ReadProfileFile({}, u"p", *profile, folder.Path()));
  EXPECT_EQ(profile->keys[5].bySelFunc, 15);
  EXPECT_EQ(profile->keys[6].bySelFunc, 16);
  EXPECT_EQ(profile->keys[7].bySelFunc, 99);  // missed: searched after key 6
  EXPECT_EQ(profile->keys[8].bySelFunc, 18);
  EXPECT_EQ(profile->keys[9].bySelFunc, 29);
  EXPECT_EQ(profile->keys[9].byBtnFun, 99);  // missed: searched after bySelFunc
  EXPECT_EQ(profile->keys[4].bySelFunc, 99);
  EXPECT_EQ(profile->lighting.byLightEffect, 0);  // no Lighting element
}

TEST(ProfileFile, LongTextsAreCutToTheFieldCapacity) {
  TempFolder folder;
  const std::u16string longLaunch(600, u'L'), longMacro(60, u'M');
  WriteFileBytes(folder.Path() / "p.profile",
                 EncodeText(StoreDocumentText(u"<ButtonSet><Button_0><launch>" + longLaunch + u"</launch><MacroName>" +
                                              longMacro + u"</MacroName></Button_0></ButtonSet>"),
                            TextEncoding::Utf16LE));
  auto profile = NewProfile();
  ASSERT_TRUE(ReadProfileFile({}, u"p", *profile, folder.Path()));
  EXPECT_EQ(FixedTextView(profile->keys[0].launch), longLaunch.substr(0, 519));
  EXPECT_EQ(FixedTextView(profile->keys[0].MacroName), longMacro.substr(0, 49));
}

class ProfileFileEncoding : public ::testing::TestWithParam<TextEncoding> {};

TEST_P(ProfileFileEncoding, ReadingSavesTheFileBackInItsEncoding) {
  TempFolder folder;
  const bool wide = GetParam() == TextEncoding::Utf16LE || GetParam() == TextEncoding::Utf16BE;
  const std::u16string launch = u"D:\\Spiele\\\u00e9\u20ac\U0001F3AE.exe";
  const std::string original = EncodeText(
      StoreDocumentText(u"<!-- c -->\r\n<ButtonSet>\r\n<Button_0>\r\n<byBtnFun>384</byBtnFun>\r\n<launch>" + launch +
                            u"</launch>\r\n</Button_0>\r\n</ButtonSet>\r\n",
                        wide ? u"utf-16" : u"utf-8"),
      GetParam());
  const auto path = folder.Path() / "p.profile";
  WriteFileBytes(path, original);
  const korvex::test::FileIdentity identity(path);

  auto profile = NewProfile();
  ASSERT_TRUE(ReadProfileFile({}, u"p", *profile, folder.Path()));
  EXPECT_EQ(profile->keys[0].byBtnFun, 384);
  EXPECT_EQ(FixedTextView(profile->keys[0].launch), launch);
  EXPECT_TRUE(identity.Replaced());
  EXPECT_EQ(ReadFileBytes(path), original);
}

INSTANTIATE_TEST_SUITE_P(Encodings, ProfileFileEncoding,
                         korvex::test::AllTextEncodings(),
                         [](const auto& info) { return korvex::test::EncodingName(info.param); });

TEST(ProfileFile, WritingUpdatesAFileInItsEncoding) {
  TempFolder folder;
  const auto path = folder.Path() / "p.profile";
  WriteFileBytes(path, EncodeText(StoreDocumentText(u"", u"utf-8"), TextEncoding::Utf8));
  auto profile = VariedProfile(6);
  ASSERT_TRUE(WriteProfileFile({}, u"p", *profile, folder.Path()));
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes.substr(0, 5), "<?xml");

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile({}, u"p", *read, folder.Path()));
  EXPECT_TRUE(SameRecord(*read, *profile));
}

TEST(ProfileFile, UnreadableFilesLeaveTheRecordAndFileAlone) {
  const std::string contents[] = {
      "",
      "not xml at all",
      EncodeText(StoreDocumentText(u"<ButtonSet><Button_0><bySelFunc>1</bySelFunc></ButtonSet>"),
                 TextEncoding::Utf16LE),
      EncodeText(u"<root/><second/>", TextEncoding::Utf16LE),
  };
  for (const auto& bytes : contents) {
    SCOPED_TRACE(bytes.size());
    TempFolder folder;
    const auto path = folder.Path() / "p.profile";
    WriteFileBytes(path, bytes);
    auto profile = VariedProfile(7), before = VariedProfile(7);
    EXPECT_FALSE(ReadProfileFile({}, u"p", *profile, folder.Path()));
    EXPECT_TRUE(SameRecord(*profile, *before));
    EXPECT_EQ(ReadFileBytes(path), bytes);

    // Writing starts a new document in place of the broken one.
    ASSERT_TRUE(WriteProfileFile({}, u"p", *profile, folder.Path()));
    auto read = NewProfile();
    ASSERT_TRUE(ReadProfileFile({}, u"p", *read, folder.Path()));
    EXPECT_TRUE(SameRecord(*read, *profile));
  }
  TempFolder empty;
  auto profile = VariedProfile(8), before = VariedProfile(8);
  EXPECT_FALSE(ReadProfileFile(empty.Path(), u"missing", *profile));
  EXPECT_TRUE(SameRecord(*profile, *before));
}

TEST(ProfileFile, FailedWriteLeavesThePreviousFile) {
  TempFolder data;
  const auto profiles = data.Sub("Profiles");
  ASSERT_TRUE(WriteProfileFile(data.Path(), kName, *VariedProfile(9)));
  const std::string before = ReadFileBytes(DefaultProfilePath(data));
  {
    ScopedWriteFault fault(before.size() / 2);
    EXPECT_FALSE(WriteProfileFile(data.Path(), kName, *VariedProfile(10)));
  }
  EXPECT_EQ(ReadFileBytes(DefaultProfilePath(data)), before);
  EXPECT_EQ(korvex::test::FileNames(profiles), std::vector<std::string>{"Profile 1.profile"});
}

TEST(ProfileFile, LocationFollowsDataFolderNameAndFolder) {
  TempFolder data;
  data.Sub("Profiles");
  const auto exportFolder = data.Sub("export");
  auto profile = VariedProfile(11);

  // With a folder the file goes there; the data folder may be empty.
  ASSERT_TRUE(WriteProfileFile({}, u"Exported", *profile, exportFolder));
  EXPECT_TRUE(std::filesystem::exists(exportFolder / "Exported.profile"));
  // A trailing separator on the data folder is accepted.
  ASSERT_TRUE(WriteProfileFile(data.Path() / "", u"Trailing", *profile));
  EXPECT_TRUE(std::filesystem::exists(data.Path() / "Profiles" / "Trailing.profile"));

  auto read = NewProfile();
  ASSERT_TRUE(ReadProfileFile(data.Path(), u"Exported", *read, exportFolder));
  EXPECT_TRUE(SameRecord(*read, *profile));
  EXPECT_FALSE(ReadProfileFile(data.Path(), u"Exported", *read));
}

TEST(ProfileFile, RefusesUnnamedDataFolderAndNamesOutsideTheFolder) {
  TempFolder data;
  data.Sub("Profiles");
  auto profile = VariedProfile(12);
  EXPECT_FALSE(WriteProfileFile({}, kName, *profile));
  EXPECT_FALSE(ReadProfileFile({}, kName, *profile));
  const std::u16string_view names[] = {u"../escape", u"..\\escape", u"sub/name", u"C:name",
                                       std::u16string_view(u"a\0b", 3)};
  for (auto name : names) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    EXPECT_FALSE(WriteProfileFile(data.Path(), name, *profile));
    EXPECT_FALSE(ReadProfileFile(data.Path(), name, *profile));
  }
  EXPECT_EQ(korvex::test::FileNames(data.Path()), (std::vector<std::string>{"Profiles"}));
  EXPECT_TRUE(std::filesystem::is_empty(data.Path() / "Profiles"));
}

}  // namespace
