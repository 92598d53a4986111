#include "devsim/keyboard_state.h"

namespace korvex::devsim {

namespace {
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr Lighting kFactoryLighting{.effect = 5, .direction = 1, .brightness = 2, .speed = 2, .colorType = 7};
}  // namespace

KeyboardState FactoryState() {
  KeyboardState state;
  RestoreFactorySettings(state);
  return state;
}

void RestoreFactorySettings(KeyboardState& state) {
  state.keymap = keyboard::kDefaultKeyMap;
  state.macros.clear();
  state.lighting = kFactoryLighting;
  state.effectColors.fill(kWhite);
  for (KeyColors& colors : state.keyColors) colors.fill(kWhite);
}

}  // namespace korvex::devsim
