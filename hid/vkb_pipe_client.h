#pragma once
// The control tool's side of the control channel.

#include <optional>
#include <string>

#include "hid/vkb_protocol.h"

namespace korvex::hid {

// Sends one request line to the virtual keyboard serving `pipeName` and
// returns its reply; nothing when no virtual keyboard is running.
std::optional<VkbOutcome> AskRunningKeyboard(const std::wstring& pipeName, const std::string& requestLine);

}  // namespace korvex::hid
