#include "hid/report_framing.h"

#include <gtest/gtest.h>

namespace korvex::hid {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kQuery = {0x07, 0x80, 0, 0, 0, 0, 0, 0};

TEST(ReportFramingTest, FramesClientBytesForTheSystemBuffer) {
  struct Case {
    const char* name;
    uint16_t reportBytes;
    bool numbered;
    std::optional<Bytes> frame;
  };
  Bytes padded(65, 0);
  std::copy(kQuery.begin(), kQuery.end(), padded.begin() + 1);
  const Case cases[] = {
      {"unnumbered: a 0 goes in front", 9, false, Bytes{0, 0x07, 0x80, 0, 0, 0, 0, 0, 0}},
      {"numbered: the first byte is the ID", 8, true, kQuery},
      {"longer report is padded with zeros", 65, false, padded},
      {"unnumbered report too short for 8 bytes", 8, false, std::nullopt},
      {"numbered report too short", 7, true, std::nullopt},
      {"no report of that kind", 0, false, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FrameReport(kQuery.data(), kQuery.size(), c.reportBytes, c.numbered), c.frame) << c.name;
  EXPECT_EQ(FrameReport(kQuery.data(), 0, 9, false), std::nullopt) << "empty report";
}

TEST(ReportFramingTest, UnframeDropsTheZeroIdOnlyForUnnumberedReports) {
  const Bytes received = {0, 0x0D, 0x03, 0x02};
  EXPECT_EQ(UnframeReport(received, false), (Bytes{0x0D, 0x03, 0x02}));
  EXPECT_EQ(UnframeReport({0x08, 0x25, 0x01}, true), (Bytes{0x08, 0x25, 0x01}));
  EXPECT_EQ(UnframeReport({}, false), Bytes{});
}

TEST(ReportFramingTest, ChannelsFollowTheReportsTheInterfaceHas) {
  struct Case {
    uint16_t input, output, feature;
    std::optional<ReportChannel> write, read;
  };
  const Case cases[] = {
      {9, 9, 0, ReportChannel::Output, ReportChannel::Input},
      {9, 9, 9, ReportChannel::Output, ReportChannel::Feature},
      {0, 0, 9, ReportChannel::Feature, ReportChannel::Feature},
      {9, 0, 0, std::nullopt, ReportChannel::Input},
      {0, 0, 0, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    HidInterfaceInfo info;
    info.inputReportBytes = c.input;
    info.outputReportBytes = c.output;
    info.featureReportBytes = c.feature;
    EXPECT_EQ(WriteChannel(info), c.write) << c.input << "/" << c.output << "/" << c.feature;
    EXPECT_EQ(ReadChannel(info), c.read) << c.input << "/" << c.output << "/" << c.feature;
  }
}

}  // namespace
}  // namespace korvex::hid
