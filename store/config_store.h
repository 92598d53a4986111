#pragma once
// config.ini in the data folder: settings, the profile library sections
// "MyXlistIconInfo%d" and the four list positions that choose among them,
// plus the plug state and firmware version mirrored into the registry.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "store/records.h"
#include "store/user_registry.h"

class CConfigStore {
 public:
  // `dataFolder` is the data folder (config.ini is dataFolder/"config.ini",
  // link files are dataFolder/"Profiles"/(name + ".ini")). An empty path means
  // the folder could not be named: reads give the defaults and writes are
  // skipped. `registry` may be null (no registry values are written).
  CConfigStore(std::filesystem::path dataFolder, IUserRegistry* registry);

  bool ConfigExists() const;
  // Reads the settings and the four list entries; writes the list count, mode
  // slots and list entries that are missing.
  void LoadConfig(tagCONFIG_DATA&) const;
  // Writes [Setting] Profile, Language and UI_Autorun.
  void SaveConfig(const tagCONFIG_DATA&) const;
  // [ProfileData] Mode_<position + 1>: the section number, or -1 when absent.
  int32_t ReadModeSlot(int position) const;
  void WriteModeSlot(int position, int32_t section) const;
  // [MyXlistNumber] TotalListNumber = 4.
  void WriteListCount() const;
  // Fills `entry` from section "MyXlistIconInfo<section>".
  void ReadListEntry(int32_t section, tagPROFILE_ICONINFO& entry) const;
  // Writes `entry` to section "MyXlistIconInfo<position>" and records its name
  // in the profile's link file.
  void WriteListEntry(int position, const tagPROFILE_ICONINFO& entry) const;
  // [Setting] Plug and the registry value DevicePlug.
  void SavePlugState(int value) const;
  // [Setting] FWVersion and the registry value FWVersion.
  void SaveFirmwareVersion(std::u16string_view text) const;

 private:
  std::filesystem::path ConfigPath() const;

  std::filesystem::path dataFolder_;
  IUserRegistry* registry_;
};
