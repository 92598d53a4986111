#include "devsim/report_log.h"

#include <algorithm>

namespace korvex::devsim {

void ReportLog::Add(int64_t timeMs, int usage, const uint8_t* bytes, std::size_t length) {
  if (capacity_ == 0) return;
  LogEntry entry;
  entry.timeMs = timeMs;
  entry.usage = usage;
  entry.length = bytes ? length : 0;
  if (bytes) std::copy_n(bytes, std::min(length, kReportSize), entry.bytes.begin());
  if (entries_.size() == capacity_) entries_.pop_front();
  entries_.push_back(entry);
}

}  // namespace korvex::devsim
