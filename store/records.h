#pragma once
// The fixed-size records shared by the service and the settings library:
// configuration, profile list entries, key assignments, lighting, per-key
// colour sets, macros and linked programs, with their defaults, validation and
// comparison.
//
// The records are plain structs with natural alignment. They are copied and
// compared whole, so every record is zeroed whole (value-initialisation `{}`
// or memset) before use; that also clears the padding bytes.

#include <cstddef>
#include <cstdint>
#include <type_traits>

constexpr int PROFILE_COUNT = 4, KEY_COUNT = 111, KEY_COLOR_SET_COUNT = 5, MACRO_EVENT_COUNT = 80,
              LINK_PROGRAM_COUNT = 5;

struct tagKEY_ASSIGN {
  uint8_t bySelFunc;       // 0 = the key keeps its own function, else the category of byBtnFun
  int32_t byBtnFun;        // function code
  char16_t launch[520];    // program to start
  char16_t MacroName[50];  // macro file name without folder and extension
  uint16_t repeatTime;
  uint8_t byKeyNumber;     // usage code for the single-key function
  uint8_t reserved[240];
};

struct tagLIGHT_SETTING {
  uint8_t byLightEffect, byLightEffectDirect, byLightBright, byLightSpeed, byLightColorType, byLightRGBNUM;
  uint32_t byLightColor;  // 0x00BBGGRR
  uint8_t bKeyColorType;
  uint32_t bySingleKeyColor;
  uint32_t byAllKeyColor;
};

struct tagKEY_COLOR_SET {
  char16_t name[50];
  uint32_t colors[KEY_COUNT];
};

struct tagPROFILE_DATA {
  tagKEY_ASSIGN keys[KEY_COUNT];
  tagLIGHT_SETTING lighting;
  uint8_t reserved[2600];
  uint8_t reserved2[8];
  tagKEY_COLOR_SET colorSets[KEY_COLOR_SET_COUNT];
};

struct tagPROFILE_ICONINFO {
  int32_t ProfileID;  // number of the profile's section in config.ini
  char16_t ProfileName[260];
  char16_t ProfileIconName[260];
  uint32_t ProfileColor;
};

struct tagCONFIG_DATA {
  uint8_t Plug;
  uint8_t Profile;
  uint8_t reserved;
  uint8_t Language;
  int32_t UI_Autorun;
  tagPROFILE_ICONINFO profiles[PROFILE_COUNT];
  tagPROFILE_DATA current;
};

struct tagMACRO_EVENT {
  uint8_t attributeH, attributeL, map;
};

struct tagMACRO_DATA {
  uint16_t Repeat;
  char16_t MacroName[520];
  tagMACRO_EVENT events[MACRO_EVENT_COUNT];
};

struct tagLINK_PROGRAMS {
  char16_t programs[LINK_PROGRAM_COUNT][260];
};

// Zeroes the record, brings it into range and names the four list entries
// "Profile 0" to "Profile 3" with IDs 0 to 3.
void InitConfig(tagCONFIG_DATA&);
// Brings Language, UI_Autorun and Profile into range, then repairs the current
// profile with the defaults of position Profile (without forcing).
void ValidateConfig(tagCONFIG_DATA&);
// Zeroes the profile and names its colour sets "DEFAULT", "NEW", ... .
void ResetProfileData(tagPROFILE_DATA&);
// With force, resets the profile to the defaults of list position `position`
// (0 to 3); without force, replaces only out-of-range fields by them.
void SetProfileDefaults(int position, tagPROFILE_DATA&, bool force);
// Clamps the lighting of a profile just read from its file to fixed defaults
// and names empty colour sets.
void ValidateLoadedLighting(tagPROFILE_DATA&);
// True when the key assignments or the first 1300 reserved bytes differ;
// lighting and colour sets are not compared.
bool ProfileKeysDiffer(const tagPROFILE_DATA& a, const tagPROFILE_DATA& b);

// Layouts the store relies on: natural alignment, no hidden members.
static_assert(std::is_trivially_copyable_v<tagCONFIG_DATA> && std::is_standard_layout_v<tagCONFIG_DATA>);
static_assert(std::is_trivially_copyable_v<tagMACRO_DATA> && std::is_standard_layout_v<tagMACRO_DATA>);
static_assert(sizeof(char16_t) == 2);
static_assert(offsetof(tagKEY_ASSIGN, byBtnFun) == 4 && offsetof(tagKEY_ASSIGN, launch) == 8 &&
              offsetof(tagKEY_ASSIGN, reserved) == 1151 && sizeof(tagKEY_ASSIGN) == 1392);
static_assert(offsetof(tagLIGHT_SETTING, byLightColor) == 8 && offsetof(tagLIGHT_SETTING, bySingleKeyColor) == 16 &&
              sizeof(tagLIGHT_SETTING) == 24);
static_assert(sizeof(tagKEY_COLOR_SET) == 544);
static_assert(offsetof(tagPROFILE_DATA, lighting) == KEY_COUNT * sizeof(tagKEY_ASSIGN) &&
              offsetof(tagPROFILE_DATA, reserved) == offsetof(tagPROFILE_DATA, lighting) + sizeof(tagLIGHT_SETTING) &&
              sizeof(tagPROFILE_DATA) == 159864);
static_assert(sizeof(tagPROFILE_ICONINFO) == 1048);
static_assert(offsetof(tagCONFIG_DATA, UI_Autorun) == 4 && offsetof(tagCONFIG_DATA, profiles) == 8 &&
              offsetof(tagCONFIG_DATA, current) == 8 + PROFILE_COUNT * sizeof(tagPROFILE_ICONINFO));
static_assert(sizeof(tagMACRO_EVENT) == 3 && offsetof(tagMACRO_DATA, events) == 1042 && sizeof(tagMACRO_DATA) == 1282);
static_assert(sizeof(tagLINK_PROGRAMS) == 2600);
