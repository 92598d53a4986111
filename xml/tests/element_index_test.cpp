// The segmented element index and its growth rule.

#include <gtest/gtest.h>

#include "xml/element_index.h"
#include "xml/xml_document.h"

namespace {

using korvex::xml::ElementIndex;
constexpr std::size_t kSegment = ElementIndex::kSegmentSize;

TEST(ElementIndex, GrowsByHalfCappedAtTheSegmentAfterTheLastInUse) {
  struct Case {
    std::size_t count, grown;
  };
  const Case cases[] = {
      {8, 12},
      {65000, 97500},
      {kSegment, 98304},            // segment 0 full: at most to the end of segment 1
      {100000, 150000},
      {196000, 3 * kSegment + kSegment},  // capped at the end of segment 3
      {3 * kSegment, 4 * kSegment},
  };
  for (const auto& c : cases) EXPECT_EQ(ElementIndex::GrownCapacity(c.count), c.grown) << c.count;
}

TEST(ElementIndex, InitialCapacitySpansSegments) {
  ElementIndex index;
  index.Reset(200000);
  EXPECT_EQ(index.Capacity(), 200000u);
  EXPECT_EQ(index.SegmentCount(), 4u);
  EXPECT_EQ(index.Count(), 0u);
}

TEST(ElementIndex, FullSegmentsNeverMoveAndRecordsSurviveGrowth) {
  ElementIndex index;
  index.Reset(10);
  const korvex::xml::ElementRecord* firstSegment = nullptr;
  std::size_t capacityAtFirstFullSegment = 0;
  for (std::uint32_t i = 0; i < 3 * kSegment + 5; ++i) {
    std::size_t before = index.Capacity();
    std::uint32_t e = index.Add();
    ASSERT_EQ(e, i);
    index[e].start = i;
    if (index.Capacity() != before) {
      ASSERT_EQ(index.Capacity(), ElementIndex::GrownCapacity(i));
    }
    if (!firstSegment && index.Capacity() > kSegment) {
      firstSegment = &index[0];
      capacityAtFirstFullSegment = index.Capacity();
    }
  }
  ASSERT_NE(firstSegment, nullptr);
  EXPECT_GT(index.Capacity(), capacityAtFirstFullSegment);
  EXPECT_EQ(&index[0], firstSegment);
  for (std::uint32_t i = 0; i < index.Count(); ++i) ASSERT_EQ(index[i].start, i);
}

TEST(ElementIndex, DocumentWithMoreElementsThanASegment) {
  constexpr int kItems = 70000;
  std::u16string text = u"<r>";
  for (int i = 0; i < kItems; ++i) {
    auto digits = std::to_string(i);
    text += u"<i>";
    text.append(digits.begin(), digits.end());
    text += u"</i>";
  }
  text += u"</r>";
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(text));
  EXPECT_EQ(doc.GetElementCount(), kItems + 2);

  int found = 0;
  std::u16string last;
  while (doc.FindChildElement(u"i")) {
    ++found;
    last = doc.GetChildData();
  }
  EXPECT_EQ(found, kItems);
  EXPECT_EQ(last, u"69999");

  // An element added at the end of a full index lands in a new slot and is found.
  doc.EnterElement();
  ASSERT_TRUE(doc.AddElement(u"z", u"end"));
  EXPECT_EQ(doc.GetElementCount(), kItems + 3);
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindChildElement(u"z"));
  EXPECT_EQ(doc.GetChildData(), u"end");
}

}  // namespace
