#pragma once
// What the virtual keyboard keeps: the memory a real keyboard holds across
// commands (key map, macros, lighting, colours per profile position), its
// firmware version, plug state and the counters the tools inspect.
//
// Factory state, restored by the reset command:
//   - key map: the factory key map (keyboard::kDefaultKeyMap);
//   - macros: none;
//   - lighting: effect 5, direction 1, brightness 2, speed 2, colour mode 7
//     (what the service sends for a new profile at position 0, whose effect 5
//     always travels with colour mode 7);
//   - effect colour and all 138 key colours of every profile position: white.
// A reset keeps the profile position, the firmware version, the plug state
// and the counters: it clears settings, it does not re-plug the keyboard.

#include <array>
#include <cstdint>
#include <map>

#include "keyboard/keyboard_layout.h"

namespace korvex::devsim {

constexpr int kMatrixPositions = keyboard::kMatrixSize;  // 138
constexpr int kProfilePositions = 4;                     // on-board profiles 0 to 3
constexpr int kMacroEventCount = keyboard::kMacroEvents;

using KeyMap = std::array<uint8_t, kMatrixPositions>;

struct Rgb {
  uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Lighting {
  uint8_t effect = 0, direction = 0, brightness = 0, speed = 0, colorType = 0;
  friend bool operator==(const Lighting&, const Lighting&) = default;
};

struct MacroEvent {
  uint8_t attributeH = 0, attributeL = 0, map = 0;
  friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

struct Macro {
  uint16_t repeat = 0;
  std::array<MacroEvent, kMacroEventCount> events{};
  friend bool operator==(const Macro&, const Macro&) = default;
};

using KeyColors = std::array<Rgb, kMatrixPositions>;

struct KeyboardState {
  bool plugged = true;
  uint8_t firmwareMajor = 1, firmwareMinor = 0;
  uint8_t profile = 0;                  // current on-board profile position, 0 to 3
  KeyMap keymap{};
  std::map<int, Macro> macros;          // by macro slot (matrix position + 1), 1 to 138
  Lighting lighting;
  std::array<Rgb, kProfilePositions> effectColors{};
  std::array<KeyColors, kProfilePositions> keyColors{};
  bool specialState = false;            // last special state the keyboard reported
  uint64_t begins = 0, resets = 0, errors = 0;
  friend bool operator==(const KeyboardState&, const KeyboardState&) = default;
};

// A plugged keyboard fresh from the factory, firmware 1.0, no counts.
KeyboardState FactoryState();

// Puts the settings a reset command clears back to their factory values.
void RestoreFactorySettings(KeyboardState& state);

}  // namespace korvex::devsim
