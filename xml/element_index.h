#pragma once
// The element index of a CXmlDocument: one fixed-size record per element, kept
// in segments of 65536 records. Record 0 stands for the document itself.
//
// Growing reallocates only the last segment (its records are copied) and, past
// its end, adds a new segment; full segments never move, so growing a large
// index copies at most one segment.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvex::xml {

enum ElementFlags : std::uint8_t {
  kFirstChild = 0x01,  // first of its siblings
  kNotEnded = 0x02,    // closed without its own end tag
  kIllFormed = 0x04,   // an error was found in or about this element
  kDocumentHasErrors = 0x08,  // on record 0 only
};

struct ElementRecord {
  std::uint32_t start = 0;        // offset of the start tag's "<", UTF-16 units
  std::uint32_t length = 0;       // whole element including its tags
  std::uint32_t startTagLength = 0;
  std::uint32_t endTagLength = 0;  // 0 for an empty-element tag or a not-ended element
  std::uint32_t level = 0;         // depth below the document (top level = 1)
  std::uint32_t parent = 0;
  std::uint32_t firstChild = 0;    // 0 = no child elements
  std::uint32_t nextSibling = 0;   // 0 = last
  std::uint32_t prevSibling = 0;   // on a first child: the last sibling
  std::uint8_t flags = 0;

  std::uint32_t End() const { return start + length; }
};

class ElementIndex {
 public:
  static constexpr std::size_t kSegmentBits = 16;
  static constexpr std::size_t kSegmentSize = std::size_t{1} << kSegmentBits;

  // Drops every record and allocates room for `capacity` records.
  void Reset(std::size_t capacity);
  // Drops every record and frees the memory (a document never parsed).
  void Clear();

  // Appends a zeroed record, growing when full; returns its index.
  std::uint32_t Add();

  std::size_t Count() const { return count_; }
  std::size_t Capacity() const { return capacity_; }
  std::size_t SegmentCount() const { return segments_.size(); }

  ElementRecord& operator[](std::uint32_t i) {
    return segments_[i >> kSegmentBits][i & (kSegmentSize - 1)];
  }
  const ElementRecord& operator[](std::uint32_t i) const {
    return segments_[i >> kSegmentBits][i & (kSegmentSize - 1)];
  }

  // The capacity the next growth step gives when `count` records are in use:
  // one and a half times the count, but at most to the end of the segment
  // after the last one in use.
  static std::size_t GrownCapacity(std::size_t count);

 private:
  void Grow(std::size_t capacity);

  std::vector<std::vector<ElementRecord>> segments_;
  std::size_t count_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace korvex::xml
