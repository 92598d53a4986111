// Reading and writing text files: marks, declared encodings, UTF-8 detection,
// the ANSI code page, result texts, and atomic replacement.

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "xml/atomic_file.h"
#include "xml/tests/xml_test_support.h"
#include "xml/xml_document.h"

namespace {

using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;
using korvex::xml::testing::Printable;

std::string Bytes(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (auto part : parts) out += part;
  return out;
}

struct DecodeCase {
  std::string bytes;
  std::u16string_view text;
  unsigned flags;
  std::u16string_view result;
};

TEST(XmlTextFile, DecodesMarksDeclarationsAndDetection) {
  using namespace std::string_view_literals;
  const DecodeCase cases[] = {
      {Bytes({"\xFF\xFE", "<\0a\0/\0>\0"sv}), u"<a/>", XML_FLAG_UTF16LE, u"UTF-16LE BOM + "},
      {Bytes({"\xFE\xFF", "\0<\0a\0/\0>"sv}), u"<a/>", XML_FLAG_UTF16BE,
       u"UTF-16BE BOM + endian swap "},
      {Bytes({"\xFF\xFE", "a\0\0\0b\0"sv}), u"ab", XML_FLAG_UTF16LE,
       u"UTF-16LE BOM + (1 nulls removed) "},
      {Bytes({"\xEF\xBB\xBF<a>\xC3\xA9</a>"}), u"<a>\u00E9</a>", XML_FLAG_UTF8_BOM,
       u"UTF-8 BOM + to 8 wide chars "},
      {Bytes({"<a>\xF0\x9F\x98\x80</a>"}), u"<a>\U0001F600</a>", 0, u"UTF-8 to 9 wide chars "},
      {Bytes({"caf\xC3\xA9"}), u"caf\u00E9", 0, u"UTF-8 (used UTF-8 detection) to 4 wide chars "},
      {Bytes({"caf\xE9s \x80"}), u"caf\u00E9s \u20AC", 0,
       u"ANSI (used UTF-8 detection) to 7 wide chars "},
      // The bytes Windows-1252 leaves undefined read as the C1 controls, as
      // Windows reads them, so an ANSI file survives a rewrite byte for byte.
      {Bytes({"\x81\x8D\x8F\x90\x9D\xFF"}), u"\u0081\u008D\u008F\u0090\u009D\u00FF", 0,
       u"ANSI (used UTF-8 detection) to 6 wide chars "},
      {Bytes({"a\0b"sv}), u"ab", 0, u"UTF-8 (1 nulls removed) (used UTF-8 detection) to 2 wide chars "},
      {Bytes({"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>"}),
       u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00E9</a>", 0,
       u"ISO-8859-1 to 51 wide chars "},
      {Bytes({"<!DOCTYPE html><HTML><head><title>t</title>"
              "<META http-equiv=\"content-type\" content=\"text/html; charset=Windows-1251\">"
              "</head><body>\xC0</body></HTML>"}),
       u"<!DOCTYPE html><HTML><head><title>t</title>"
       u"<META http-equiv=\"content-type\" content=\"text/html; charset=Windows-1251\">"
       u"</head><body>\u0410</body></HTML>",
       0, u"Windows-1251 to 145 wide chars "},
      // A declared name that names no code page means the ANSI code page.
      {Bytes({"<?xml version='1.0' encoding='x-unknown'?><a>\xE9</a>"}),
       u"<?xml version='1.0' encoding='x-unknown'?><a>\u00E9</a>", 0,
       u"x-unknown to 50 wide chars "},
      {"", u"", 0, u"ANSI 0 length "},
      {"\xFF\xFE", u"", XML_FLAG_UTF16LE, u"UTF-16LE BOM + 0 length "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(std::u16string(c.text)));
    std::u16string text = u"stale", result;
    // Mark flags from an earlier read never survive; other flags do.
    unsigned flags = XML_FLAG_UTF16BE | XML_FLAG_IGNORE_CASE;
    EXPECT_TRUE(CXmlDocument::DecodeTextBytes(c.bytes, text, &result, &flags));
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(flags, c.flags | XML_FLAG_IGNORE_CASE);
  }
}

TEST(XmlTextFile, ZeroByteFileLoadsAsEmptyDocument) {
  TempFolder folder;
  auto path = folder / "empty.xml";
  WriteFileBytes(path, "");
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadFile(path));
  EXPECT_EQ(doc.GetText(), u"");
  EXPECT_NE(doc.GetResult().find(u"0 length "), std::u16string::npos);
  EXPECT_NE(doc.GetResult().find(u"Empty document"), std::u16string::npos);
}

TEST(XmlTextFile, MissingFileFailsWithTheSystemMessage) {
  TempFolder folder;
  std::u16string text = u"stale", result;
  EXPECT_FALSE(CXmlDocument::ReadTextFile(folder / "missing.xml", text, &result));
  EXPECT_EQ(text, u"");
  EXPECT_FALSE(result.empty());
  EXPECT_EQ(result.find_first_of(u"\r\n"), std::u16string::npos);

  CXmlDocument doc;
  doc.SetText(u"<old/>");
  EXPECT_FALSE(doc.LoadFile(folder / "missing.xml"));
  EXPECT_EQ(doc.GetText(), u"");
  EXPECT_FALSE(doc.FindElement());
}

TEST(XmlTextFile, Utf16AndUtf8FilesGiveTheSameValues) {
  TempFolder folder;
  const std::u16string text =
      u"<Strings>\r\n<Page><Title>Gr\u00FC\u00DFe \u4F60\u597D &amp; more</Title></Page>\r\n</Strings>";
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  WriteFileBytes(folder / "le.xml", utf16);
  WriteFileBytes(folder / "u8.xml",
                 "<Strings>\r\n<Page><Title>Gr\xC3\xBC\xC3\x9F" "e \xE4\xBD\xA0\xE5\xA5\xBD &amp; more"
                 "</Title></Page>\r\n</Strings>");
  CXmlDocument le, u8;
  ASSERT_TRUE(le.LoadFile(folder / "le.xml"));
  ASSERT_TRUE(u8.LoadFile(folder / "u8.xml"));
  EXPECT_EQ(le.GetFlags() & XML_FLAG_UTF16LE, XML_FLAG_UTF16LE);
  EXPECT_EQ(u8.GetFlags() & XML_FLAG_UTF16LE, 0u);
  EXPECT_EQ(le.GetText(), u8.GetText());
  EXPECT_EQ(GetXmlValue(le, u"Page", u"Title"), u"Gr\u00FC\u00DFe \u4F60\u597D & more");
  EXPECT_EQ(GetXmlValue(u8, u"Page", u"Title"), GetXmlValue(le, u"Page", u"Title"));
}

struct WriteCase {
  unsigned flags;
  std::u16string_view text;
  std::string_view start;  // the first bytes of the file
  std::u16string_view result;
  unsigned flagsAfter;
};

// The encoding a file is written in is the one a reader will find: a
// declaration that names its encoding only after the first 1024 units is not
// seen by readers, so the writer must not follow it either.
TEST(XmlTextFile, WriterSeesTheDeclarationAsReadersDo) {
  std::u16string text = u"<?xml version=\"1.0\" note=\"" + std::u16string(1100, u'a') +
                        u"\" encoding=\"iso-8859-1\"?><a>\u00E9</a>";
  TempFolder folder;
  auto path = folder / "late.xml";
  std::u16string result;
  unsigned flags = 0;
  ASSERT_TRUE(CXmlDocument::WriteTextFile(path, text, &result, &flags));
  EXPECT_EQ(result.substr(0, 6), u"UTF-8 ");
  std::u16string back;
  ASSERT_TRUE(CXmlDocument::ReadTextFile(path, back));
  EXPECT_EQ(back, text);
}

TEST(XmlTextFile, WritesEachEncodingAndReadsItBack) {
  using namespace std::string_view_literals;
  const WriteCase cases[] = {
      {XML_FLAG_UTF16LE, u"<a>\u00E9</a>", "\xFF\xFE<\0a\0"sv, u"UTF-16LE length 8 ",
       XML_FLAG_UTF16LE},
      {XML_FLAG_UTF16BE, u"<a>\u00E9</a>", "\xFE\xFF\0<\0a"sv, u"UTF-16BE endian swap length 8 ",
       XML_FLAG_UTF16BE},
      {XML_FLAG_UTF8_BOM, u"<a>\u00E9</a>", "\xEF\xBB\xBF<a>\xC3\xA9", u"UTF-8 from wide length 8 length 9 ",
       XML_FLAG_UTF8_BOM},
      {0, u"<a>\U0001F600</a>", "<a>\xF0\x9F\x98\x80</a>", u"UTF-8 from wide length 9 length 11 ", 0},
      {0, u"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\u00E9</a>",
       "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\xE9</a>",
       u"iso-8859-1 from wide length 51 length 51 ", 0},
      {0, u"plain \u00E9", "plain \xE9", u"ANSI from wide length 7 length 7 ", 0},
      {0, u"\u0081\u20AC\u009D", "\x81\x80\x9D", u"ANSI from wide length 3 length 3 ", 0},
      // Text declaring UTF-16 is written with its mark so it reads back.
      {0, u"<?xml version=\"1.0\" encoding=\"utf-16\"?><a/>", "\xFF\xFE<\0?\0"sv,
       u"utf-16 length 43 ", XML_FLAG_UTF16LE},
      {XML_FLAG_UTF16LE, u"", "\xFF\xFE", u"UTF-16LE 0 length length 0 ", XML_FLAG_UTF16LE},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(std::u16string(c.text)));
    auto path = folder / "out.xml";
    std::u16string result;
    unsigned flags = c.flags;
    ASSERT_TRUE(CXmlDocument::WriteTextFile(path, c.text, &result, &flags));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(flags, c.flagsAfter);
    EXPECT_EQ(ReadFileBytes(path).substr(0, c.start.size()), c.start);
    std::u16string back;
    unsigned readFlags = 0;
    ASSERT_TRUE(CXmlDocument::ReadTextFile(path, back, nullptr, &readFlags));
    EXPECT_EQ(back, c.text);
    EXPECT_EQ(readFlags, c.flagsAfter);
  }
}

TEST(XmlTextFile, NotesCharactersLostInConversion) {
  std::string bytes;
  std::u16string result;
  EXPECT_TRUE(CXmlDocument::EncodeTextBytes(
      u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u4E2D</a>", true, bytes, &result));
  EXPECT_NE(result.find(u"(chars lost in conversion!) "), std::u16string::npos);
  EXPECT_NE(bytes.find("<a>?</a>"), std::string::npos);
}

TEST(XmlTextFile, AppendWritesTheMarkOnlyIntoAnEmptyFile) {
  TempFolder folder;
  auto path = folder / "log.txt";
  unsigned flags = XML_FLAG_UTF16LE | XML_FLAG_APPEND;
  ASSERT_TRUE(CXmlDocument::WriteTextFile(path, u"one ", nullptr, &flags));
  ASSERT_TRUE(CXmlDocument::WriteTextFile(path, u"two", nullptr, &flags));
  EXPECT_EQ(ReadFileBytes(path).substr(0, 4), std::string("\xFF\xFEo\0", 4));
  std::u16string text;
  ASSERT_TRUE(CXmlDocument::ReadTextFile(path, text));
  EXPECT_EQ(text, u"one two");
}

class FailingWrites {
 public:
  explicit FailingWrites(std::size_t after) { korvex::FileWriteFaults::failAfterBytes = after; }
  ~FailingWrites() { korvex::FileWriteFaults::failAfterBytes.reset(); }
};

TEST(XmlTextFile, FailedWriteLeavesTheOldFileIntact) {
  TempFolder folder;
  auto path = folder / "profile.xml";
  ASSERT_TRUE(CXmlDocument::WriteTextFile(path, u"<old>kept</old>"));
  const std::string before = ReadFileBytes(path);

  CXmlDocument doc;
  doc.SetFlags(XML_FLAG_UTF16LE);
  ASSERT_TRUE(doc.SetText(u"<new>a much longer replacement text</new>"));
  {
    FailingWrites faults(5);
    EXPECT_FALSE(doc.SaveFile(path));
  }
  EXPECT_FALSE(doc.GetResult().empty());
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(doc.GetFlags() & (XML_FLAG_WRITING | XML_FLAG_READING), 0u);
}

TEST(XmlTextFile, SavedDocumentLoadsBackWithItsFlags) {
  TempFolder folder;
  auto path = folder / "macro.xml";
  CXmlDocument doc;
  doc.SetText(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n");
  doc.SetFlags(XML_FLAG_UTF16LE);
  ASSERT_TRUE(doc.AddElement(u"Macro"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"Name", u"\u00C9t\u00E9 & co"));
  ASSERT_TRUE(doc.SaveFile(path));
  EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE");

  CXmlDocument loaded;
  ASSERT_TRUE(loaded.LoadFile(path));
  EXPECT_EQ(loaded.GetFlags(), unsigned{XML_FLAG_UTF16LE});
  EXPECT_EQ(loaded.GetText(), doc.GetText());
  loaded.ResetPosition();
  ASSERT_TRUE(loaded.FindChildElement(u"Name"));
  EXPECT_EQ(loaded.GetChildData(), u"\u00C9t\u00E9 & co");
}

}  // namespace
