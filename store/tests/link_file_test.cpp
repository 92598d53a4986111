#include "store/link_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/fixed_text.h"
#include "store/tests/store_test_files.h"
#include "tests/support/temp_folder.h"

namespace {

using korvex::test::EncodeText;
using korvex::test::TextEncoding;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

tagLINK_PROGRAMS Garbage() {
  tagLINK_PROGRAMS links;
  std::memset(&links, 0x41, sizeof links);
  return links;
}

void ExpectLinks(const tagLINK_PROGRAMS& links, const std::u16string (&expected)[LINK_PROGRAM_COUNT]) {
  for (int n = 0; n < LINK_PROGRAM_COUNT; ++n) {
    EXPECT_EQ(FixedTextView(links.programs[n]), expected[n]) << n;
    const std::size_t used = expected[n].size();
    for (std::size_t i = used; i < 260; ++i) ASSERT_EQ(links.programs[n][i], 0) << n << " " << i;
  }
}

TEST(LinkFile, ReadsTheFiveSlotsOfTheGroupSection) {
  TempFolder data;
  const auto profiles = data.Sub("Profiles");
  const std::u16string longName(300, u'x');
  WriteFileBytes(profiles / "Profile 2.ini",
                 EncodeText(u"[Other]\r\nLinkExe1=other.exe\r\n"
                            u"[GROUP]\r\nCurrentProfileName=Profile 2\r\nLinkExe0=game.exe\r\nLinkExe2=\r\n"
                            u"LinkExe3=" + longName + u"\r\nLinkExe4=Sp\u00e9l \U0001F3AE.exe\r\n",
                            TextEncoding::Utf16LE));
  tagLINK_PROGRAMS links = Garbage();
  ReadLinkPrograms(data.Path(), links, u"Profile 2");
  ExpectLinks(links, {u"game.exe", u"", u"", longName.substr(0, 259), u"Sp\u00e9l \U0001F3AE.exe"});
}

TEST(LinkFile, FolderReplacesTheDataFolder) {
  TempFolder data;
  const auto folder = data.Sub("elsewhere");
  WriteFileBytes(folder / "P.ini", EncodeText(u"[GROUP]\r\nLinkExe1=b.exe\r\n", TextEncoding::Utf16LE));
  tagLINK_PROGRAMS links = Garbage();
  ReadLinkPrograms({}, links, u"P", folder);
  ExpectLinks(links, {u"", u"b.exe", u"", u"", u""});
}

TEST(LinkFile, NothingToReadGivesFiveEmptySlots) {
  TempFolder data;
  const auto profiles = data.Sub("Profiles");
  WriteFileBytes(profiles / "NoGroup.ini", EncodeText(u"[Other]\r\nLinkExe0=a.exe\r\n", TextEncoding::Utf16LE));
  WriteFileBytes(profiles / "x.ini", EncodeText(u"[GROUP]\r\nLinkExe0=a.exe\r\n", TextEncoding::Utf16LE));
  const struct {
    const char* what;
    std::filesystem::path dataFolder;
    std::u16string name;
  } cases[] = {
      {"missing file", data.Path(), u"Missing"},
      {"no GROUP section", data.Path(), u"NoGroup"},
      {"unnamed data folder", {}, u"x"},
      {"name with a folder part", data.Path(), u"../Profiles/x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tagLINK_PROGRAMS links = Garbage();
    ReadLinkPrograms(c.dataFolder, links, c.name);
    ExpectLinks(links, {u"", u"", u"", u"", u""});
  }
}

}  // namespace
