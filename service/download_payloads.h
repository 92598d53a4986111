#pragma once
// What the key map and macro downloads carry, built from the records: the
// 138-byte key map of a profile, the 246-byte payload of a macro, and the
// macro file chosen for a macro key.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keyboard/keyboard_layout.h"
#include "store/records.h"

using KeyMap = std::array<uint8_t, keyboard::kMatrixSize>;
using MacroPayload = std::array<uint8_t, keyboard::kMacroPayloadSize>;

// Function codes (byBtnFun) that decide a key map byte beyond the keyboard's
// own function table.
namespace function_code {
constexpr int32_t kSingleKey = 0x1D1;   // the key sends byKeyNumber
constexpr int32_t kSingleKeyE8 = 0x1D2;
constexpr int32_t kDisable = 0x1D3;
constexpr int32_t kMacro = 0x200;
constexpr int32_t kHostHandledLast = 0xFFFF;  // 0x200..0xFFFF are performed by the host
constexpr std::array<int32_t, 3> kHostHandledSystem = {0x1E1, 0x1E3, 0x1E4};
}  // namespace function_code

// The factory key map with the profile's assignments applied. Keys with
// bySelFunc 0, and codes the keyboard has no byte for, keep their factory code.
KeyMap BuildKeyMap(const tagPROFILE_DATA& profile);

// Repeat (high byte first), then the 80 events as attributeH, attributeL,
// map; the last four bytes stay 0.
MacroPayload BuildMacroPayload(const tagMACRO_DATA& macro);

// The listed macro file named exactly `wanted` (case-sensitive), else the
// first listed one; nothing when the list is empty.
std::optional<std::u16string> ChooseMacroFile(const std::vector<std::u16string>& listed, std::u16string_view wanted);
