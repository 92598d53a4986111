#include "xml/element_index.h"

#include <algorithm>

namespace korvex::xml {

void ElementIndex::Clear() {
  segments_.clear();
  segments_.shrink_to_fit();
  count_ = 0;
  capacity_ = 0;
}

void ElementIndex::Reset(std::size_t capacity) {
  count_ = 0;
  if (capacity == capacity_) {
    // Reuse the memory; Add() hands out zeroed records.
    return;
  }
  segments_.clear();
  capacity_ = 0;
  Grow(capacity);
}

std::size_t ElementIndex::GrownCapacity(std::size_t count) {
  std::size_t lastInUse = count == 0 ? 0 : (count - 1) / kSegmentSize;
  std::size_t limit = (lastInUse + 2) * kSegmentSize;
  std::size_t grown = count + count / 2;
  return std::max<std::size_t>(std::min(grown, limit), count + 1);
}

void ElementIndex::Grow(std::size_t capacity) {
  while (capacity_ < capacity) {
    if (!segments_.empty() && segments_.back().size() < kSegmentSize) {
      // Reallocate the partial last segment alone, to the new size or full.
      auto& last = segments_.back();
      std::size_t size = std::min(kSegmentSize, last.size() + (capacity - capacity_));
      std::vector<ElementRecord> larger;
      larger.reserve(size);
      larger.assign(last.begin(), last.end());
      larger.resize(size);
      capacity_ += size - last.size();
      last.swap(larger);
    } else {
      std::size_t size = std::min(kSegmentSize, capacity - capacity_);
      segments_.emplace_back();
      segments_.back().reserve(size);
      segments_.back().resize(size);
      capacity_ += size;
    }
  }
}

std::uint32_t ElementIndex::Add() {
  if (count_ == capacity_) Grow(GrownCapacity(count_));
  auto i = static_cast<std::uint32_t>(count_++);
  (*this)[i] = ElementRecord{};
  return i;
}

}  // namespace korvex::xml
