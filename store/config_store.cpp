#include "store/config_store.h"

#include <string>
#include <system_error>

#include "store/data_file_path.h"
#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/number_text.h"

namespace {

constexpr std::u16string_view kSetting = u"Setting";
constexpr std::u16string_view kProfileData = u"ProfileData";
constexpr std::u16string_view kListNumber = u"MyXlistNumber";
constexpr std::u16string_view kTotalListNumber = u"TotalListNumber";

std::u16string ModeKey(int position) { return u"Mode_" + FormatDecimal(position + 1); }

std::u16string ListSection(int32_t number) { return u"MyXlistIconInfo" + FormatDecimal(number); }

}  // namespace

CConfigStore::CConfigStore(std::filesystem::path dataFolder, IUserRegistry* registry)
    : dataFolder_(std::move(dataFolder)), registry_(registry) {}

std::filesystem::path CConfigStore::ConfigPath() const {
  return dataFolder_.empty() ? std::filesystem::path() : dataFolder_ / "config.ini";
}

bool CConfigStore::ConfigExists() const {
  std::error_code ec;
  return !dataFolder_.empty() && std::filesystem::is_regular_file(ConfigPath(), ec);
}

// Without a data folder the accessor has an empty path: every read then gives
// its default and every write fails without touching anything.
void CConfigStore::LoadConfig(tagCONFIG_DATA& config) const {
  CIniFile ini(ConfigPath());
  config.Plug = static_cast<uint8_t>(ini.ReadIniInt(kSetting, u"Plug", 0));
  config.Profile = static_cast<uint8_t>(ini.ReadIniInt(kSetting, u"Profile", 0));
  config.Language = static_cast<uint8_t>(ini.ReadIniInt(kSetting, u"Language", 0));
  config.UI_Autorun = ini.ReadIniInt(kSetting, u"UI_Autorun", 1);
  if (ini.ReadIniInt(kListNumber, kTotalListNumber, -1) < PROFILE_COUNT) WriteListCount();
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    int32_t section = ReadModeSlot(i);
    if (section != -1) {
      ReadListEntry(section, config.profiles[i]);
    } else {
      WriteModeSlot(i, i);
      WriteListEntry(i, config.profiles[i]);
    }
  }
}

void CConfigStore::SaveConfig(const tagCONFIG_DATA& config) const {
  if (dataFolder_.empty()) return;
  CIniFile ini(ConfigPath());
  ini.WriteIniInt(kSetting, u"Profile", config.Profile);
  ini.WriteIniInt(kSetting, u"Language", config.Language);
  ini.WriteIniInt(kSetting, u"UI_Autorun", config.UI_Autorun);
}

int32_t CConfigStore::ReadModeSlot(int position) const {
  return CIniFile(ConfigPath()).ReadIniInt(kProfileData, ModeKey(position), -1);
}

void CConfigStore::WriteModeSlot(int position, int32_t section) const {
  if (dataFolder_.empty()) return;
  CIniFile(ConfigPath()).WriteIniInt(kProfileData, ModeKey(position), section);
}

void CConfigStore::WriteListCount() const {
  if (dataFolder_.empty()) return;
  CIniFile(ConfigPath()).WriteIniInt(kListNumber, kTotalListNumber, PROFILE_COUNT);
}

void CConfigStore::ReadListEntry(int32_t section, tagPROFILE_ICONINFO& entry) const {
  CIniFile ini(ConfigPath());
  std::u16string name = ListSection(section);
  entry = tagPROFILE_ICONINFO{};
  entry.ProfileID = section;
  CopyFixedText(entry.ProfileName, ini.ReadIniString(name, u"ProfileName", u""));
  CopyFixedText(entry.ProfileIconName, ini.ReadIniString(name, u"ProfileIconName", u""));
  entry.ProfileColor = static_cast<uint32_t>(ini.ReadIniInt(name, u"ProfileColor", 0));
}

void CConfigStore::WriteListEntry(int position, const tagPROFILE_ICONINFO& entry) const {
  if (dataFolder_.empty()) return;
  CIniFile ini(ConfigPath());
  std::u16string section = ListSection(position);
  std::u16string_view name = FixedTextView(entry.ProfileName);
  ini.WriteIniInt(section, u"ProfileID", position);
  ini.WriteIniString(section, u"ProfileName", name);
  ini.WriteIniString(section, u"ProfileIconName", FixedTextView(entry.ProfileIconName));
  ini.WriteIniInt(section, u"ProfileColor", static_cast<int32_t>(entry.ProfileColor));
  // The link file is named after the profile; a name that is not a plain file
  // name would place it outside the Profiles folder, so none is written then.
  std::filesystem::path linkPath;
  if (korvex::BuildDataFilePath(dataFolder_, u"Profiles", name, u".ini", {}, linkPath))
    CIniFile(linkPath).WriteIniString(u"GROUP", u"CurrentProfileName", name);
}

void CConfigStore::SavePlugState(int value) const {
  if (!dataFolder_.empty()) CIniFile(ConfigPath()).WriteIniInt(kSetting, u"Plug", value);
  if (registry_) registry_->SetDword(u"DevicePlug", static_cast<uint32_t>(value));
}

void CConfigStore::SaveFirmwareVersion(std::u16string_view text) const {
  if (!dataFolder_.empty()) CIniFile(ConfigPath()).WriteIniString(kSetting, u"FWVersion", text);
  if (registry_) registry_->SetString(u"FWVersion", text);
}
