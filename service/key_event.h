#pragma once
// The keyboard event carried by WM_HID_KEY_EVENT: wParam bits 0..7 = event
// code; lParam bits 0..7 = event class, bits 16..23 = event flag. A class
// that is none of the named ones is the matrix position of a key whose press
// the keyboard reports, with the key's code and its pressed state (0 = up).

#include <cstdint>

constexpr uint8_t KEY_EVENT_PROFILE_SWITCHED = 0xDA;    // code: position 0..3 (6 = 0), flag 1
constexpr uint8_t KEY_EVENT_LIGHT_DIRECTION = 0xDB;     // code: direction 0..1, flag 1
constexpr uint8_t KEY_EVENT_LIGHT_BRIGHTNESS = 0xDC;    // code: level 0..4, flag 1
constexpr uint8_t KEY_EVENT_LIGHT_EFFECT = 0xDF;        // code: effect 0..9, flag 1
constexpr uint8_t KEY_EVENT_PROFILE_SELECTED = 0xFE;    // code: profile 1..4, when the flag is 4
constexpr uint8_t KEY_EVENT_PROFILE_SELECTED_FLAG = 4;
constexpr uint8_t KEY_EVENT_HOST_KEY_CODE = 0xDE;       // code of a host key press reported as 0D 05

constexpr uintptr_t MakeKeyEventWParam(uint8_t code) { return code; }
constexpr intptr_t MakeKeyEventLParam(uint8_t eventClass, uint8_t flag) {
  return static_cast<intptr_t>(eventClass) | (static_cast<intptr_t>(flag) << 16);
}
constexpr uint8_t KeyEventCode(uintptr_t wParam) { return static_cast<uint8_t>(wParam & 0xFF); }
constexpr uint8_t KeyEventClass(intptr_t lParam) { return static_cast<uint8_t>(lParam & 0xFF); }
constexpr uint8_t KeyEventFlag(intptr_t lParam) { return static_cast<uint8_t>((lParam >> 16) & 0xFF); }
