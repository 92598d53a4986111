#pragma once
// The virtual keyboard's files in its folder: state.json holds the keyboard's
// memory (rewritten after every change while it runs), log.json the report
// log of the last run (written when the keyboard stops).

#include <filesystem>
#include <optional>
#include <vector>

#include "devsim/virtual_keyboard.h"

namespace korvex::hid {

std::filesystem::path StateFilePath(const std::filesystem::path& folder);
std::filesystem::path LogFilePath(const std::filesystem::path& folder);

// Puts the keyboard's memory back to the factory state (keeping its firmware
// version and plug state, clearing its counters) and stores it in
// `stateFile`. False, with the keyboard unchanged, when the file cannot be
// written.
bool ResetKeyboard(devsim::CVirtualKeyboard& keyboard, const std::filesystem::path& stateFile);

bool SaveReportLog(const std::vector<devsim::LogEntry>& log, const std::filesystem::path& logFile);
// An empty log when the file does not exist; nothing when it cannot be read
// or is not a report log.
std::optional<std::vector<devsim::LogEntry>> LoadReportLog(const std::filesystem::path& logFile);

// The JSON results of the commands that are not inspections.
std::string PluggedJson(bool plugged);
std::string SentReportsJson(const std::vector<std::vector<uint8_t>>& reports);
std::string ClearedJson();

}  // namespace korvex::hid
