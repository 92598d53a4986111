#include "store/config_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

using korvex::test::Utf16File;
using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

class FakeRegistry : public IUserRegistry {
 public:
  bool keyExists = true;
  std::map<std::u16string, std::u16string> strings;
  std::map<std::u16string, uint32_t> dwords;

  bool SetString(std::u16string_view name, std::u16string_view value) override {
    if (keyExists) strings[std::u16string(name)] = value;
    return keyExists;
  }
  bool SetDword(std::u16string_view name, uint32_t value) override {
    if (keyExists) dwords[std::u16string(name)] = value;
    return keyExists;
  }
};

constexpr std::u16string_view kFreshConfig =
    u"[MyXlistNumber]\r\nTotalListNumber=4\r\n"
    u"[ProfileData]\r\nMode_1=0\r\nMode_2=1\r\nMode_3=2\r\nMode_4=3\r\n"
    u"[MyXlistIconInfo0]\r\nProfileID=0\r\nProfileName=Profile 0\r\nProfileIconName=\r\nProfileColor=0\r\n"
    u"[MyXlistIconInfo1]\r\nProfileID=1\r\nProfileName=Profile 1\r\nProfileIconName=\r\nProfileColor=0\r\n"
    u"[MyXlistIconInfo2]\r\nProfileID=2\r\nProfileName=Profile 2\r\nProfileIconName=\r\nProfileColor=0\r\n"
    u"[MyXlistIconInfo3]\r\nProfileID=3\r\nProfileName=Profile 3\r\nProfileIconName=\r\nProfileColor=0\r\n";

class ConfigStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<tagCONFIG_DATA> FreshConfig() {
    auto config = std::make_unique<tagCONFIG_DATA>();
    InitConfig(*config);
    return config;
  }
  std::string ConfigBytes() { return ReadFileBytes(temp_ / "config.ini"); }
  void WriteConfig(std::u16string_view text) { WriteFileBytes(temp_ / "config.ini", Utf16File(text)); }

  TempFolder temp_;
  FakeRegistry registry_;
  CConfigStore store_{temp_.Path(), &registry_};
};

TEST_F(ConfigStoreTest, LoadWithoutFileWritesTheDefaultList) {
  EXPECT_FALSE(store_.ConfigExists());
  auto config = FreshConfig();
  store_.LoadConfig(*config);
  EXPECT_TRUE(store_.ConfigExists());
  EXPECT_EQ(ConfigBytes(), Utf16File(kFreshConfig));
  EXPECT_EQ(config->Plug, 0);
  EXPECT_EQ(config->Profile, 0);
  EXPECT_EQ(config->Language, 0);
  EXPECT_EQ(config->UI_Autorun, 1);
  EXPECT_EQ(FixedTextView(config->profiles[3].ProfileName), u"Profile 3");
  ValidateConfig(*config);
  EXPECT_EQ(config->Language, 101);
  EXPECT_EQ(config->Profile, 1);
  // A second load finds everything in place and changes nothing.
  store_.LoadConfig(*config);
  EXPECT_EQ(ConfigBytes(), Utf16File(kFreshConfig));
}

TEST_F(ConfigStoreTest, LoadWritesLinkFilesWhenProfilesFolderExists) {
  std::filesystem::create_directory(temp_ / "Profiles");
  auto config = FreshConfig();
  store_.LoadConfig(*config);
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    std::u16string name = u"Profile " + std::u16string(1, char16_t(u'0' + i));
    EXPECT_EQ(ReadFileBytes(temp_ / "Profiles" / (name + u".ini")),
              Utf16File(u"[GROUP]\r\nCurrentProfileName=" + name + u"\r\n"));
  }
}

TEST_F(ConfigStoreTest, LoadReadsSettingsKeepingLowBits) {
  WriteConfig(u"[Setting]\r\nPlug=1\r\nProfile=258\r\nLanguage=105\r\nUI_Autorun=0\r\n"
              u"[MyXlistNumber]\r\nTotalListNumber=4\r\n[ProfileData]\r\nMode_1=0\r\nMode_2=1\r\nMode_3=2\r\nMode_4=3\r\n");
  auto config = FreshConfig();
  store_.LoadConfig(*config);
  EXPECT_EQ(config->Plug, 1);
  EXPECT_EQ(config->Profile, 2);
  EXPECT_EQ(config->Language, 105);
  EXPECT_EQ(config->UI_Autorun, 0);
}

TEST_F(ConfigStoreTest, ModeSlotChoosesTheListSection) {
  WriteConfig(u"[MyXlistNumber]\r\nTotalListNumber=8\r\n[ProfileData]\r\nMode_1=0\r\nMode_2=7\r\nMode_3=2\r\nMode_4=3\r\n"
              u"[MyXlistIconInfo7]\r\nProfileID=7\r\nProfileName=Racing\r\nProfileIconName=car.png\r\n"
              u"ProfileColor=16711680\r\n");
  auto config = FreshConfig();
  store_.LoadConfig(*config);
  const tagPROFILE_ICONINFO& entry = config->profiles[1];
  EXPECT_EQ(entry.ProfileID, 7);
  EXPECT_EQ(FixedTextView(entry.ProfileName), u"Racing");
  EXPECT_EQ(FixedTextView(entry.ProfileIconName), u"car.png");
  EXPECT_EQ(entry.ProfileColor, 0xFF0000u);
  // Sections that do not exist give empty entries.
  EXPECT_EQ(config->profiles[0].ProfileID, 0);
  EXPECT_EQ(FixedTextView(config->profiles[0].ProfileName), u"");
  // Writing position 1 goes to section 1, not 7.
  store_.WriteListEntry(1, entry);
  CIniFile ini(temp_ / "config.ini");
  EXPECT_EQ(ini.ReadIniString(u"MyXlistIconInfo1", u"ProfileName", u""), u"Racing");
  EXPECT_EQ(ini.ReadIniInt(u"MyXlistIconInfo1", u"ProfileID", -1), 1);
  EXPECT_EQ(ini.ReadIniInt(u"MyXlistIconInfo7", u"ProfileID", -1), 7);
  EXPECT_EQ(store_.ReadModeSlot(1), 7);
}

TEST_F(ConfigStoreTest, ListCountBelowFourIsRewritten) {
  const struct { const char16_t* count; int32_t after; } cases[] = {
      {u"6", 6}, {u"4", 4}, {u"3", 4}, {u"-1", 4}, {nullptr, 4}};
  for (const auto& c : cases) {
    std::u16string text = u"[ProfileData]\r\nMode_1=0\r\nMode_2=1\r\nMode_3=2\r\nMode_4=3\r\n";
    if (c.count) text += u"[MyXlistNumber]\r\nTotalListNumber=" + std::u16string(c.count) + u"\r\n";
    WriteConfig(text);
    auto config = FreshConfig();
    store_.LoadConfig(*config);
    EXPECT_EQ(CIniFile(temp_ / "config.ini").ReadIniInt(u"MyXlistNumber", u"TotalListNumber", -9), c.after);
  }
}

TEST_F(ConfigStoreTest, SaveConfigWritesProfileLanguageAutorunInOrder) {
  auto config = FreshConfig();
  config->Plug = 1;
  config->Profile = 3;
  config->Language = 104;
  config->UI_Autorun = 0;
  store_.SaveConfig(*config);
  EXPECT_EQ(ConfigBytes(), Utf16File(u"[Setting]\r\nProfile=3\r\nLanguage=104\r\nUI_Autorun=0\r\n"));
}

TEST_F(ConfigStoreTest, ModeSlotsAndListCount) {
  EXPECT_EQ(store_.ReadModeSlot(2), -1);
  store_.WriteModeSlot(2, 9);
  store_.WriteListCount();
  EXPECT_EQ(store_.ReadModeSlot(2), 9);
  EXPECT_EQ(ConfigBytes(), Utf16File(u"[ProfileData]\r\nMode_3=9\r\n[MyXlistNumber]\r\nTotalListNumber=4\r\n"));
}

TEST_F(ConfigStoreTest, ListEntryRoundTripCutsLongNames) {
  tagPROFILE_ICONINFO entry{};
  CopyFixedText(entry.ProfileName, std::u16string(300, u'n'));
  CopyFixedText(entry.ProfileIconName, u"icon.bmp");
  entry.ProfileColor = 0xFFFFFF;
  store_.WriteListEntry(2, entry);
  tagPROFILE_ICONINFO back;
  std::memset(&back, 0x77, sizeof(back));
  store_.ReadListEntry(2, back);
  EXPECT_EQ(back.ProfileID, 2);
  EXPECT_EQ(FixedTextView(back.ProfileName), std::u16string(259, u'n'));
  EXPECT_EQ(FixedTextView(back.ProfileIconName), u"icon.bmp");
  EXPECT_EQ(back.ProfileColor, 0xFFFFFFu);
  EXPECT_EQ(back.ProfileName[259], 0);
  EXPECT_EQ(back.ProfileIconName[259], 0);
}

TEST_F(ConfigStoreTest, LinkFileIsNotWrittenOutsideProfilesFolder) {
  std::filesystem::create_directory(temp_ / "Profiles");
  tagPROFILE_ICONINFO entry{};
  CopyFixedText(entry.ProfileName, u"..\\..\\evil");
  store_.WriteListEntry(0, entry);
  CopyFixedText(entry.ProfileName, u"../evil");
  store_.WriteListEntry(0, entry);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "evil.ini"));
  EXPECT_TRUE(std::filesystem::is_empty(temp_ / "Profiles"));
  EXPECT_EQ(CIniFile(temp_ / "config.ini").ReadIniString(u"MyXlistIconInfo0", u"ProfileName", u""), u"../evil");
}

TEST_F(ConfigStoreTest, PlugStateAndFirmwareVersionGoToFileAndRegistry) {
  store_.SavePlugState(1);
  store_.SaveFirmwareVersion(u"V1.07");
  EXPECT_EQ(ConfigBytes(), Utf16File(u"[Setting]\r\nPlug=1\r\nFWVersion=V1.07\r\n"));
  EXPECT_EQ(registry_.dwords[u"DevicePlug"], 1u);
  EXPECT_EQ(registry_.strings[u"FWVersion"], u"V1.07");
}

TEST_F(ConfigStoreTest, MissingRegistryKeyOrRegistryStillWritesTheFile) {
  registry_.keyExists = false;
  store_.SavePlugState(0);
  EXPECT_TRUE(registry_.dwords.empty());
  CConfigStore noRegistry(temp_.Path(), nullptr);
  noRegistry.SaveFirmwareVersion(u"V2");
  EXPECT_EQ(ConfigBytes(), Utf16File(u"[Setting]\r\nPlug=0\r\nFWVersion=V2\r\n"));
}

TEST_F(ConfigStoreTest, EmptyDataFolderReadsDefaultsAndWritesNothing) {
  // Run from inside the temporary folder so that a stray relative write
  // ("config.ini" in the current folder) would be seen.
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(temp_.Path());
  CConfigStore store({}, &registry_);
  auto config = FreshConfig();
  config->Plug = 9;
  store.LoadConfig(*config);
  store.SaveConfig(*config);
  store.WriteModeSlot(0, 1);
  store.WriteListCount();
  store.WriteListEntry(0, config->profiles[0]);
  store.SavePlugState(1);
  store.SaveFirmwareVersion(u"V");
  bool exists = store.ConfigExists();
  int32_t slot = store.ReadModeSlot(0);
  std::filesystem::current_path(previous);
  EXPECT_FALSE(exists);
  EXPECT_EQ(slot, -1);
  EXPECT_EQ(config->Plug, 0);
  EXPECT_EQ(config->UI_Autorun, 1);
  EXPECT_EQ(FixedTextView(config->profiles[2].ProfileName), u"Profile 2");
  EXPECT_TRUE(std::filesystem::is_empty(temp_.Path()));
  EXPECT_EQ(registry_.dwords[u"DevicePlug"], 1u);  // the registry does not depend on the folder
}

TEST_F(ConfigStoreTest, FailedWritesAreIgnored) {
  CConfigStore store(temp_ / "missing", &registry_);
  auto config = FreshConfig();
  store.LoadConfig(*config);
  store.SaveConfig(*config);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "missing"));
  EXPECT_EQ(FixedTextView(config->profiles[1].ProfileName), u"Profile 1");
}

}  // namespace
