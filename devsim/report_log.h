#pragma once
// The record of every report the keyboard received, refused ones included.
//
// The log keeps the most recent `capacity` entries and drops the oldest
// beyond that, so a service that runs for weeks cannot grow it without bound.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "devsim/output_reports.h"

namespace korvex::devsim {

struct LogEntry {
  int64_t timeMs = 0;          // milliseconds since the keyboard was plugged in
  int usage = 0;
  Report bytes{};              // the first 8 bytes received, zero-filled when fewer arrived
  std::size_t length = kReportSize;  // how many bytes the report had
  friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

class ReportLog {
 public:
  static constexpr std::size_t kDefaultCapacity = 100000;

  explicit ReportLog(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  void Add(int64_t timeMs, int usage, const uint8_t* bytes, std::size_t length);
  void Clear() { entries_.clear(); }
  std::vector<LogEntry> Entries() const { return {entries_.begin(), entries_.end()}; }

 private:
  std::size_t capacity_;
  std::deque<LogEntry> entries_;
};

}  // namespace korvex::devsim
