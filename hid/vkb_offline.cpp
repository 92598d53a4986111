#include "hid/vkb_offline.h"

#include <system_error>

#include "devsim/state_json.h"
#include "hid/vkb_state_files.h"

namespace korvex::hid {

namespace {

// The stored keyboard: its file, or the factory state when there is none yet.
std::optional<VkbOutcome> LoadStored(devsim::CVirtualKeyboard& keyboard, const std::filesystem::path& stateFile) {
  std::error_code ec;
  if (!std::filesystem::exists(stateFile, ec)) return std::nullopt;
  if (!keyboard.LoadState(stateFile)) return VkbOutcome::Failure("cannot read " + stateFile.string());
  return std::nullopt;
}

}  // namespace

VkbOutcome ExecuteOnStoredKeyboard(const VkbCommand& command, const std::filesystem::path& folder) {
  if (folder.empty()) return VkbOutcome::Failure("no folder for the virtual keyboard's files");
  const std::filesystem::path stateFile = StateFilePath(folder), logFile = LogFilePath(folder);
  devsim::CVirtualKeyboard keyboard;
  switch (command.verb) {
    case VkbVerb::State:
      if (auto failure = LoadStored(keyboard, stateFile)) return *failure;
      return VkbOutcome::Success(devsim::StateToJsonText(keyboard.State()));
    case VkbVerb::Reset: {
      if (auto failure = LoadStored(keyboard, stateFile)) return *failure;
      std::error_code ec;
      std::filesystem::create_directories(folder, ec);
      if (!ResetKeyboard(keyboard, stateFile)) return VkbOutcome::Failure("cannot write " + stateFile.string());
      return VkbOutcome::Success(devsim::StateToJsonText(keyboard.State()));
    }
    case VkbVerb::Log: {
      const auto log = LoadReportLog(logFile);
      if (!log) return VkbOutcome::Failure("cannot read " + logFile.string());
      return VkbOutcome::Success(devsim::ReportLogToJsonText(*log));
    }
    case VkbVerb::ClearLog: {
      std::error_code ec;
      std::filesystem::create_directories(folder, ec);
      if (!SaveReportLog({}, logFile)) return VkbOutcome::Failure("cannot write " + logFile.string());
      return VkbOutcome::Success(ClearedJson());
    }
    default:
      return VkbOutcome::Failure("no virtual keyboard is running (start the service with KORVEX_KEYBOARD=virtual)");
  }
}

}  // namespace korvex::hid
