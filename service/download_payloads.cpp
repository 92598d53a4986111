#include "service/download_payloads.h"

#include <algorithm>

namespace {

// The key map byte for one assignment, or nothing to keep the factory code.
std::optional<uint8_t> KeyMapCode(const tagKEY_ASSIGN& key) {
  using namespace function_code;
  const int32_t function = key.byBtnFun;
  for (const auto& entry : keyboard::kFunctionKeyCodes) {
    if (entry.function == function) return entry.code;
  }
  if (function == kSingleKey && key.byKeyNumber != 0) return key.byKeyNumber;
  if ((function >= kMacro && function <= kHostHandledLast) ||
      std::find(kHostHandledSystem.begin(), kHostHandledSystem.end(), function) != kHostHandledSystem.end())
    return keyboard::kHostReportCode;
  if (function == kSingleKeyE8) return keyboard::kSingleKeyE8Code;
  if (function == kDisable) return keyboard::kDisabledCode;
  return std::nullopt;
}

}  // namespace

KeyMap BuildKeyMap(const tagPROFILE_DATA& profile) {
  KeyMap map = keyboard::kDefaultKeyMap;
  for (int i = 0; i < keyboard::kKeyCount; ++i) {
    const tagKEY_ASSIGN& key = profile.keys[i];
    if (key.bySelFunc == 0) continue;
    if (auto code = KeyMapCode(key)) map[keyboard::kKeyMatrixPosition[i]] = *code;
  }
  return map;
}

MacroPayload BuildMacroPayload(const tagMACRO_DATA& macro) {
  MacroPayload payload{};
  payload[0] = static_cast<uint8_t>(macro.Repeat >> 8);
  payload[1] = static_cast<uint8_t>(macro.Repeat & 0xFF);
  size_t at = 2;
  for (const tagMACRO_EVENT& event : macro.events) {
    payload[at++] = event.attributeH;
    payload[at++] = event.attributeL;
    payload[at++] = event.map;
  }
  return payload;
}

std::optional<std::u16string> ChooseMacroFile(const std::vector<std::u16string>& listed, std::u16string_view wanted) {
  if (listed.empty()) return std::nullopt;
  auto exact = std::find(listed.begin(), listed.end(), wanted);
  return exact != listed.end() ? *exact : listed.front();
}
