#include "hid/interface_tracker.h"

#include <algorithm>

namespace korvex::hid {

CInterfaceTracker::Changes CInterfaceTracker::Compare(const std::vector<HidInterfaceInfo>& present) const {
  auto isPresent = [&](const std::string& path) {
    return std::any_of(present.begin(), present.end(), [&](const HidInterfaceInfo& p) { return p.path == path; });
  };
  Changes changes;
  for (const auto& [id, info] : open_) {
    if (gone_.count(id) != 0 || !isPresent(info.path)) changes.removed.push_back(id);
  }
  for (const HidInterfaceInfo& candidate : present) {
    if (!MatchesFilter(filter_, candidate.identity)) continue;
    const bool alreadyOpen = std::any_of(open_.begin(), open_.end(), [&](const auto& entry) {
      return entry.second.path == candidate.path && gone_.count(entry.first) == 0;
    });
    const bool listedTwice = std::any_of(changes.arrived.begin(), changes.arrived.end(),
                                         [&](const HidInterfaceInfo& a) { return a.path == candidate.path; });
    if (!alreadyOpen && !listedTwice) changes.arrived.push_back(candidate);
  }
  return changes;
}

uint16_t CInterfaceTracker::Add(const HidInterfaceInfo& info) {
  uint16_t id = lastId_;
  do {
    ++id;
  } while (id == 0 || open_.count(id) != 0);
  lastId_ = id;
  open_.emplace(id, info);
  return id;
}

std::optional<HidInterfaceInfo> CInterfaceTracker::Remove(uint16_t id) {
  auto it = open_.find(id);
  if (it == open_.end()) return std::nullopt;
  HidInterfaceInfo info = std::move(it->second);
  open_.erase(it);
  gone_.erase(id);
  return info;
}

void CInterfaceTracker::MarkGone(uint16_t id) {
  if (open_.count(id) != 0) gone_.insert(id);
}

const HidInterfaceInfo* CInterfaceTracker::Find(uint16_t id) const {
  auto it = open_.find(id);
  return it == open_.end() ? nullptr : &it->second;
}

std::vector<uint16_t> CInterfaceTracker::OpenIds() const {
  std::vector<uint16_t> ids;
  for (const auto& entry : open_) ids.push_back(entry.first);
  return ids;
}

}  // namespace korvex::hid
