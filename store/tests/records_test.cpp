#include "store/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "store/fixed_text.h"

namespace {

bool AllZero(const void* p, std::size_t n) {
  auto* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}

void ExpectColorSetsNamedAndCleared(const tagPROFILE_DATA& p) {
  for (int i = 0; i < KEY_COLOR_SET_COUNT; ++i) {
    EXPECT_EQ(FixedTextView(p.colorSets[i].name), i == 0 ? u"DEFAULT" : u"NEW") << i;
    EXPECT_TRUE(AllZero(p.colorSets[i].colors, sizeof(p.colorSets[i].colors))) << i;
  }
}

TEST(Records, ValueInitialisedRecordIsAllZeroBytes) {
  // Padding bytes included: records are compared and written whole.
  auto* config = new tagCONFIG_DATA{};
  EXPECT_TRUE(AllZero(config, sizeof(*config)));
  delete config;
  tagMACRO_DATA macro{};
  EXPECT_TRUE(AllZero(&macro, sizeof(macro)));
}

TEST(Records, InitConfigGivesDefaults) {
  auto config = std::make_unique<tagCONFIG_DATA>();
  std::memset(config.get(), 0xAB, sizeof(*config));
  InitConfig(*config);
  EXPECT_EQ(config->Plug, 0);
  EXPECT_EQ(config->Profile, 1);
  EXPECT_EQ(config->reserved, 0);
  EXPECT_EQ(config->Language, 101);
  EXPECT_EQ(config->UI_Autorun, 1);
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    const auto& e = config->profiles[i];
    EXPECT_EQ(e.ProfileID, i);
    EXPECT_EQ(FixedTextView(e.ProfileName), u"Profile " + std::u16string(1, char16_t(u'0' + i)));
    EXPECT_EQ(FixedTextView(e.ProfileIconName), u"");
    EXPECT_EQ(e.ProfileColor, 0u);
  }
  // Zeroed lighting is in range, so only the colour sets get defaults.
  const tagLIGHT_SETTING& l = config->current.lighting;
  EXPECT_EQ(l.byLightEffect, 0);
  EXPECT_EQ(l.byLightColor, 0u);
  EXPECT_TRUE(AllZero(config->current.keys, sizeof(config->current.keys)));
  ExpectColorSetsNamedAndCleared(config->current);
}

struct ConfigCase {
  int profile, language, autorun;
  int wantProfile, wantLanguage, wantAutorun;
};

TEST(Records, ValidateConfigBringsSettingsIntoRange) {
  const ConfigCase cases[] = {
      {0, 101, 0, 1, 101, 0},   {4, 107, 1, 1, 107, 1},   {255, 100, 2, 1, 101, 1},
      {2, 108, -1, 2, 101, 1},  {3, 104, 1, 3, 104, 1},   {1, 0, 0, 1, 101, 0},
  };
  for (const auto& c : cases) {
    auto config = std::make_unique<tagCONFIG_DATA>();
    config->Profile = static_cast<uint8_t>(c.profile);
    config->Language = static_cast<uint8_t>(c.language);
    config->UI_Autorun = c.autorun;
    ValidateConfig(*config);
    EXPECT_EQ(config->Profile, c.wantProfile) << c.profile;
    EXPECT_EQ(config->Language, c.wantLanguage) << c.language;
    EXPECT_EQ(config->UI_Autorun, c.wantAutorun) << c.autorun;
  }
}

TEST(Records, ValidateConfigRepairsCurrentProfileWithPositionDefaults) {
  auto config = std::make_unique<tagCONFIG_DATA>();
  config->Profile = 2;
  config->current.lighting.byLightEffect = 21;
  config->current.keys[5].bySelFunc = 3;
  ValidateConfig(*config);
  EXPECT_EQ(config->current.lighting.byLightEffect, 6);
  EXPECT_EQ(config->current.keys[5].bySelFunc, 3);  // not forced
}

TEST(Records, ForcedDefaultsOfPositionTwo) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  std::memset(p.get(), 0x5A, sizeof(*p));
  SetProfileDefaults(2, *p, true);
  const tagLIGHT_SETTING& l = p->lighting;
  EXPECT_EQ(l.byLightEffect, 6);
  EXPECT_EQ(l.byLightEffectDirect, 0);
  EXPECT_EQ(l.byLightBright, 2);
  EXPECT_EQ(l.byLightSpeed, 2);
  EXPECT_EQ(l.byLightColorType, 2);
  EXPECT_EQ(l.byLightRGBNUM, 0);
  EXPECT_EQ(l.bKeyColorType, 0);
  EXPECT_EQ(l.byLightColor, 0xFF0000u);
  EXPECT_EQ(l.byAllKeyColor, 0xFF0000u);
  EXPECT_EQ(l.bySingleKeyColor, 0xFF0000u);
  for (const auto& k : p->keys) EXPECT_EQ(k.bySelFunc, 0);
  EXPECT_TRUE(AllZero(p->keys, sizeof(p->keys)));
  EXPECT_TRUE(AllZero(p->reserved, sizeof(p->reserved)));
  ExpectColorSetsNamedAndCleared(*p);
}

TEST(Records, ForcedDefaultsPerPosition) {
  const struct { int position; uint8_t effect, direction; uint32_t color; } cases[] = {
      {0, 5, 1, 0xFFFFFF}, {1, 6, 1, 0x0000FF}, {2, 6, 0, 0xFF0000}, {3, 6, 1, 0x00FF00}};
  for (const auto& c : cases) {
    auto p = std::make_unique<tagPROFILE_DATA>();
    SetProfileDefaults(c.position, *p, true);
    EXPECT_EQ(p->lighting.byLightEffect, c.effect) << c.position;
    EXPECT_EQ(p->lighting.byLightEffectDirect, c.direction) << c.position;
    EXPECT_EQ(p->lighting.byLightColor, c.color) << c.position;
  }
}

TEST(Records, UnforcedDefaultsReplaceOnlyOutOfRangeFields) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  tagLIGHT_SETTING& l = p->lighting;
  l = {20, 3, 4, 5, 7, 6, 0xFFFFFF, 1, 0x123456, 0x654321};
  p->keys[0].bySelFunc = 1;
  p->reserved[0] = 9;
  CopyFixedText(p->colorSets[1].name, u"Mine");
  p->colorSets[1].colors[3] = 0x42;
  p->colorSets[2].colors[3] = 0x42;  // unnamed: cleared
  SetProfileDefaults(1, *p, false);
  EXPECT_EQ(l.byLightEffect, 20);
  EXPECT_EQ(l.byLightEffectDirect, 1);
  EXPECT_EQ(l.byLightBright, 4);
  EXPECT_EQ(l.byLightSpeed, 2);
  EXPECT_EQ(l.byLightColorType, 7);
  EXPECT_EQ(l.byLightRGBNUM, 0);
  EXPECT_EQ(l.bKeyColorType, 1);  // RGBNUM is now 0
  EXPECT_EQ(l.byLightColor, 0xFFFFFFu);
  EXPECT_EQ(l.bySingleKeyColor, 0x123456u);
  EXPECT_EQ(l.byAllKeyColor, 0x654321u);
  EXPECT_EQ(p->keys[0].bySelFunc, 1);
  EXPECT_EQ(p->reserved[0], 9);
  EXPECT_EQ(FixedTextView(p->colorSets[1].name), u"Mine");
  EXPECT_EQ(p->colorSets[1].colors[3], 0x42u);
  EXPECT_EQ(FixedTextView(p->colorSets[2].name), u"NEW");
  EXPECT_EQ(p->colorSets[2].colors[3], 0u);
}

TEST(Records, KeyColorTypeClearedWhenColourSetNumberAboveOne) {
  for (uint8_t rgbnum : {uint8_t{1}, uint8_t{2}, uint8_t{5}}) {
    auto p = std::make_unique<tagPROFILE_DATA>();
    p->lighting.byLightRGBNUM = rgbnum;
    p->lighting.bKeyColorType = 1;
    SetProfileDefaults(0, *p, false);
    EXPECT_EQ(p->lighting.bKeyColorType, rgbnum > 1 ? 0 : 1) << int(rgbnum);
  }
}

TEST(Records, InvalidEffectColourResetsAllThreeColours) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  p->lighting.byLightColor = 0x1000000;
  p->lighting.byAllKeyColor = 0x111111;
  p->lighting.bySingleKeyColor = 0x222222;
  SetProfileDefaults(3, *p, false);
  EXPECT_EQ(p->lighting.byLightColor, 0x00FF00u);
  EXPECT_EQ(p->lighting.byAllKeyColor, 0x00FF00u);
  EXPECT_EQ(p->lighting.bySingleKeyColor, 0x00FF00u);
}

TEST(Records, InvalidAllKeyOrSingleKeyColourIsRepairedOnItsOwn) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  p->lighting.byLightColor = 0x123456;
  p->lighting.byAllKeyColor = 0x1000000;
  p->lighting.bySingleKeyColor = 0xFFFFFFFF;
  SetProfileDefaults(3, *p, false);
  EXPECT_EQ(p->lighting.byLightColor, 0x123456u);
  EXPECT_EQ(p->lighting.byAllKeyColor, 0x00FF00u);
  EXPECT_EQ(p->lighting.bySingleKeyColor, 0x00FF00u);
}

TEST(Records, PositionOutsideListUsesPositionZeroDefaults) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  SetProfileDefaults(7, *p, true);
  EXPECT_EQ(p->lighting.byLightEffect, 5);
  SetProfileDefaults(-1, *p, true);
  EXPECT_EQ(p->lighting.byLightColor, 0xFFFFFFu);
}

TEST(Records, LoadedLightingUsesFixedDefaults) {
  auto fromValidate = std::make_unique<tagPROFILE_DATA>();
  fromValidate->lighting.byLightEffect = 21;
  auto fromFile = std::make_unique<tagPROFILE_DATA>(*fromValidate);
  SetProfileDefaults(1, *fromValidate, false);
  ValidateLoadedLighting(*fromFile);
  EXPECT_EQ(fromValidate->lighting.byLightEffect, 6);
  EXPECT_EQ(fromFile->lighting.byLightEffect, 5);
}

TEST(Records, LoadedLightingClampsEveryField) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  p->lighting = {255, 3, 5, 5, 8, 6, 0x1000000, 1, 0x1000000, 0x123456};
  CopyFixedText(p->colorSets[0].name, u"Keep");
  p->colorSets[0].colors[0] = 7;
  p->colorSets[4].colors[0] = 7;
  ValidateLoadedLighting(*p);
  const tagLIGHT_SETTING& l = p->lighting;
  EXPECT_EQ(l.byLightEffect, 5);
  EXPECT_EQ(l.byLightEffectDirect, 1);
  EXPECT_EQ(l.byLightBright, 2);
  EXPECT_EQ(l.byLightSpeed, 2);
  EXPECT_EQ(l.byLightColorType, 2);
  EXPECT_EQ(l.byLightRGBNUM, 0);
  EXPECT_EQ(l.bKeyColorType, 1);
  EXPECT_EQ(l.byLightColor, 0xFFFFFFu);
  EXPECT_EQ(l.bySingleKeyColor, 0xFFFFFFu);
  EXPECT_EQ(l.byAllKeyColor, 0x123456u);  // valid colours are kept
  EXPECT_EQ(FixedTextView(p->colorSets[0].name), u"Keep");
  EXPECT_EQ(p->colorSets[0].colors[0], 7u);
  EXPECT_EQ(FixedTextView(p->colorSets[4].name), u"NEW");
  EXPECT_EQ(p->colorSets[4].colors[0], 0u);
}

TEST(Records, ColourBoundary) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  p->lighting.byLightColor = 0xFFFFFF;
  ValidateLoadedLighting(*p);
  EXPECT_EQ(p->lighting.byLightColor, 0xFFFFFFu);
  p->lighting.byLightColor = 0x1000000;
  SetProfileDefaults(1, *p, false);
  EXPECT_EQ(p->lighting.byLightColor, 0x0000FFu);
}

TEST(Records, ResetProfileDataZeroesAndNamesSets) {
  auto p = std::make_unique<tagPROFILE_DATA>();
  std::memset(p.get(), 0xFF, sizeof(*p));
  ResetProfileData(*p);
  EXPECT_TRUE(AllZero(p->keys, sizeof(p->keys)));
  EXPECT_TRUE(AllZero(&p->lighting, sizeof(p->lighting)));
  EXPECT_TRUE(AllZero(p->reserved, sizeof(p->reserved) + sizeof(p->reserved2)));
  ExpectColorSetsNamedAndCleared(*p);
}

TEST(Records, ProfileKeysDifferComparesKeysAndFirstReservedHalf) {
  auto a = std::make_unique<tagPROFILE_DATA>();
  ResetProfileData(*a);
  using Change = void (*)(tagPROFILE_DATA&);
  const struct { const char* what; Change change; bool differ; } cases[] = {
      {"nothing", [](tagPROFILE_DATA&) {}, false},
      {"lighting", [](tagPROFILE_DATA& p) { p.lighting.byLightEffect = 3; }, false},
      {"colour", [](tagPROFILE_DATA& p) { p.colorSets[0].colors[10] = 0xFF; }, false},
      {"set name", [](tagPROFILE_DATA& p) { CopyFixedText(p.colorSets[2].name, u"X"); }, false},
      {"reserved 1300", [](tagPROFILE_DATA& p) { p.reserved[1300] = 1; }, false},
      {"reserved2", [](tagPROFILE_DATA& p) { p.reserved2[0] = 1; }, false},
      {"function", [](tagPROFILE_DATA& p) { p.keys[0].byBtnFun = 0x1D3; }, true},
      {"last key", [](tagPROFILE_DATA& p) { p.keys[KEY_COUNT - 1].reserved[239] = 1; }, true},
      {"macro name", [](tagPROFILE_DATA& p) { CopyFixedText(p.keys[3].MacroName, u"m"); }, true},
      {"reserved 1299", [](tagPROFILE_DATA& p) { p.reserved[1299] = 1; }, true},
  };
  for (const auto& c : cases) {
    auto b = std::make_unique<tagPROFILE_DATA>(*a);
    c.change(*b);
    EXPECT_EQ(ProfileKeysDiffer(*a, *b), c.differ) << c.what;
    EXPECT_EQ(ProfileKeysDiffer(*b, *a), c.differ) << c.what;
  }
}

}  // namespace
