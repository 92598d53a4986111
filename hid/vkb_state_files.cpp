#include "hid/vkb_state_files.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "devsim/state_json.h"
#include "xml/atomic_file.h"

namespace korvex::hid {

namespace {
// A log of the model's full capacity is a few megabytes of JSON.
constexpr std::uintmax_t kMaxLogFileBytes = 64u << 20;
}  // namespace

std::filesystem::path StateFilePath(const std::filesystem::path& folder) { return folder / "state.json"; }
std::filesystem::path LogFilePath(const std::filesystem::path& folder) { return folder / "log.json"; }

bool ResetKeyboard(devsim::CVirtualKeyboard& keyboard, const std::filesystem::path& stateFile) {
  const devsim::KeyboardState current = keyboard.State();
  devsim::KeyboardState factory = devsim::FactoryState();
  factory.plugged = current.plugged;
  factory.firmwareMajor = current.firmwareMajor;
  factory.firmwareMinor = current.firmwareMinor;
  if (!ReplaceFileContents(stateFile, devsim::StateToJsonText(factory))) return false;
  return keyboard.LoadState(stateFile);
}

bool SaveReportLog(const std::vector<devsim::LogEntry>& log, const std::filesystem::path& logFile) {
  return ReplaceFileContents(logFile, devsim::ReportLogToJsonText(log));
}

std::optional<std::vector<devsim::LogEntry>> LoadReportLog(const std::filesystem::path& logFile) {
  std::error_code ec;
  if (!std::filesystem::exists(logFile, ec)) return ec ? std::nullopt : std::optional(std::vector<devsim::LogEntry>{});
  const std::uintmax_t size = std::filesystem::file_size(logFile, ec);
  if (ec || size > kMaxLogFileBytes) return std::nullopt;
  std::ifstream in(logFile, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<devsim::LogEntry> log;
  if (!devsim::ReportLogFromJsonText(text, log)) return std::nullopt;
  return log;
}

std::string PluggedJson(bool plugged) { return nlohmann::json{{"plugged", plugged}}.dump(); }

std::string SentReportsJson(const std::vector<std::vector<uint8_t>>& reports) {
  return nlohmann::json{{"sent", reports}}.dump();
}

std::string ClearedJson() { return nlohmann::json{{"cleared", true}}.dump(); }

}  // namespace korvex::hid
