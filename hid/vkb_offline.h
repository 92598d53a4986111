#pragma once
// The control commands that work on the stored virtual keyboard when no
// keyboard runs: state, log, clear-log and reset read or rewrite the files in
// its folder. Every other command needs a running keyboard and fails.

#include <filesystem>

#include "hid/vkb_command.h"
#include "hid/vkb_protocol.h"

namespace korvex::hid {

VkbOutcome ExecuteOnStoredKeyboard(const VkbCommand& command, const std::filesystem::path& folder);

}  // namespace korvex::hid
