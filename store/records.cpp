#include "store/records.h"

#include <cstring>
#include <initializer_list>
#include <string>

#include "store/fixed_text.h"
#include "store/number_text.h"

namespace {

constexpr uint32_t kMaxColor = 0xFFFFFF;

struct PositionLighting {
  uint8_t effect;
  uint8_t direction;
  uint32_t color;
};

// Default effect, direction and colour of list positions 0 to 3.
constexpr PositionLighting kPositionDefaults[PROFILE_COUNT] = {
    {5, 1, 0xFFFFFF},
    {6, 1, 0x0000FF},
    {6, 0, 0xFF0000},
    {6, 1, 0x00FF00},
};

// Names and clears the colour sets that have no name (all of them with force).
void NameColorSets(tagPROFILE_DATA& profile, bool force) {
  for (int i = 0; i < KEY_COLOR_SET_COUNT; ++i) {
    tagKEY_COLOR_SET& set = profile.colorSets[i];
    if (!force && set.name[0] != 0) continue;
    CopyFixedText(set.name, i == 0 ? u"DEFAULT" : u"NEW");
    std::memset(set.colors, 0, sizeof(set.colors));
  }
}

// Replaces every out-of-range lighting field (every field with force) by the
// given defaults.
void ClampLighting(tagLIGHT_SETTING& l, const PositionLighting& d, bool force) {
  if (force || l.byLightEffect > 20) l.byLightEffect = d.effect;
  if (force || l.byLightEffectDirect > 2) l.byLightEffectDirect = d.direction;
  if (force || l.byLightBright > 4) l.byLightBright = 2;
  if (force || l.byLightSpeed > 4) l.byLightSpeed = 2;
  if (force || l.byLightColorType > 7) l.byLightColorType = 2;
  if (force || l.byLightRGBNUM > 5) l.byLightRGBNUM = 0;
  if (force || l.byLightRGBNUM > 1) l.bKeyColorType = 0;
}

// Replaces each out-of-range colour on its own by `color`.
void ClampColors(tagLIGHT_SETTING& l, uint32_t color) {
  for (uint32_t* c : {&l.byLightColor, &l.byAllKeyColor, &l.bySingleKeyColor})
    if (*c > kMaxColor) *c = color;
}

}  // namespace

void InitConfig(tagCONFIG_DATA& config) {
  std::memset(&config, 0, sizeof(config));
  // Starting with the user interface is the default everywhere else (an
  // absent UI_Autorun reads as 1, an invalid one validates to 1); a zeroed
  // record would otherwise turn it off for every new user at first start.
  config.UI_Autorun = 1;
  ValidateConfig(config);
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    config.profiles[i].ProfileID = i;
    CopyFixedText(config.profiles[i].ProfileName, u"Profile " + FormatDecimal(i));
  }
}

void ValidateConfig(tagCONFIG_DATA& config) {
  if (config.Language < 101 || config.Language > 107) config.Language = 101;
  if (config.UI_Autorun < 0 || config.UI_Autorun > 1) config.UI_Autorun = 1;
  if (config.Profile < 1 || config.Profile > 3) config.Profile = 1;
  SetProfileDefaults(config.Profile, config.current, false);
}

void ResetProfileData(tagPROFILE_DATA& profile) {
  std::memset(&profile, 0, sizeof(profile));
  NameColorSets(profile, true);
}

void SetProfileDefaults(int position, tagPROFILE_DATA& profile, bool force) {
  // Positions outside the list fall back to position 0 rather than reading
  // past the table.
  const PositionLighting& d = kPositionDefaults[position >= 0 && position < PROFILE_COUNT ? position : 0];
  if (force) {
    std::memset(profile.reserved, 0, sizeof(profile.reserved));
    std::memset(profile.keys, 0, sizeof(profile.keys));
  }
  tagLIGHT_SETTING& l = profile.lighting;
  ClampLighting(l, d, force);
  // An invalid effect colour resets all three colours to the position's colour;
  // an invalid all-key or single-key colour next to a valid effect colour is
  // repaired on its own so that no out-of-range colour survives validation.
  if (force || l.byLightColor > kMaxColor) {
    l.byLightColor = d.color;
    l.byAllKeyColor = d.color;
    l.bySingleKeyColor = d.color;
  }
  ClampColors(l, d.color);
  NameColorSets(profile, force);
}

void ValidateLoadedLighting(tagPROFILE_DATA& profile) {
  tagLIGHT_SETTING& l = profile.lighting;
  ClampLighting(l, PositionLighting{5, 1, kMaxColor}, false);
  ClampColors(l, kMaxColor);
  NameColorSets(profile, false);
}

bool ProfileKeysDiffer(const tagPROFILE_DATA& a, const tagPROFILE_DATA& b) {
  return std::memcmp(a.keys, b.keys, sizeof(a.keys)) != 0 || std::memcmp(a.reserved, b.reserved, 1300) != 0;
}
