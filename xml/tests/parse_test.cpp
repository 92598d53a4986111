// Parsing: the result messages and return values, and the index built from
// ill-formed documents.

#include <gtest/gtest.h>

#include "xml/tests/xml_test_support.h"
#include "xml/xml_document.h"

namespace {

using korvex::xml::testing::Printable;

struct ParseCase {
  std::u16string_view text;
  bool parses;
  std::u16string_view result;
};

TEST(XmlParse, ResultMessages) {
  const ParseCase cases[] = {
      {u"", false, u"Empty document"},
      {u"<?xml version=\"1.0\"?>\r\n", false, u"No root element"},
      {u"<a/><b/>", false, u"Root element has sibling"},
      {u"<a></b></a>", false, u"No start tag for end tag 'b' at offset 3"},
      {u"<a><b></a>", false, u"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
      {u"<a><b>", false, u"Element 'b' at offset 3 not ended"},
      {u"<a x='>'", false, u"Element tag at offset 0 unterminated"},
      {u"<a></a", false, u"Element end tag at offset 3 unterminated"},
      {u"<a><![CDATA[x</a>", false, u"CDATA Section at offset 3 unterminated"},
      {u"<a><?pi x</a>", false, u"Processing instruction at offset 3 unterminated"},
      {u"<a><!-- x</a>", false, u"Comment at offset 3 unterminated"},
      {u"<!DOCTYPE a [<!ELEMENT a ANY>", false, u"Doctype at offset 0 unterminated"},
      {u"<a>x</a><", false, u"tag at offset 8 unterminated"},
      {u"<a>1 < 2</a>", false, u"Incorrect tag name character at offset 5"},
      {u"<a><!x></a>", false, u"Incorrect ! tag at offset 3"},
      {u"<a><!-x--></a>", false, u"Incorrect comment tag at offset 3"},
      {u"<a><![x[y]]></a>", false, u"Incorrect tag at offset 3"},
      // Only the first error's message stays.
      {u"<a></x><b>", false, u"No start tag for end tag 'x' at offset 3"},
      // Names end at blanks and the delimiters; markup inside quotes is data.
      {u"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ELEMENT a ANY>]>\r\n<!-- c -->\r\n"
       u"<a x=\"1>2\" y='</a>'><b/><![CDATA[<x>]]><?pi?><c\r\n/></a >\r\n",
       true, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.text));
    CXmlDocument doc;
    EXPECT_EQ(doc.SetText(c.text), c.parses);
    EXPECT_EQ(doc.GetResult(), c.result);
    EXPECT_EQ(doc.HasErrors(), !c.result.empty());
  }
}

TEST(XmlParse, EndTagNamesFoldCaseOnlyWhenAsked) {
  CXmlDocument exact;
  EXPECT_FALSE(exact.SetText(u"<Root></root>"));
  EXPECT_EQ(exact.GetResult(), u"No start tag for end tag 'root' at offset 6");

  CXmlDocument folded;
  folded.SetFlags(XML_FLAG_IGNORE_CASE);
  EXPECT_TRUE(folded.SetText(u"<Root></root>"));
  EXPECT_EQ(folded.GetResult(), u"");
}

TEST(XmlParse, MismatchedEndTagKeepsInnerElementAsChild) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<a><b></a>"));
  ASSERT_TRUE(doc.FindChildElement(u"b"));
  EXPECT_EQ(doc.GetTagName(), u"a");
  EXPECT_EQ(doc.GetChildTagName(), u"b");
}

// The children of an element closed by an outer end tag follow it as siblings;
// it keeps the text before its first child.
TEST(XmlParse, ChildrenOfNotEndedElementMoveUp) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<r><a>t<b>1</b><c/></r>"));
  std::u16string names;
  while (doc.FindChildElement()) names += doc.GetChildTagName() + u",";
  EXPECT_EQ(names, u"a,b,c,");

  doc.ResetPosition();
  ASSERT_TRUE(doc.FindChildElement(u"a"));
  EXPECT_EQ(doc.GetChildData(), u"t");
  ASSERT_TRUE(doc.FindChildElement(u"b"));
  EXPECT_EQ(doc.GetChildData(), u"1");
  doc.EnterElement();
  EXPECT_FALSE(doc.FindChildElement());
}

// Nested not-ended elements all end up as siblings in the element closed.
TEST(XmlParse, NestedNotEndedElementsFlatten) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<r><a><b><c/></r>"));
  EXPECT_EQ(doc.GetResult(), u"End tag 'r' at offset 14 does not match start tag 'b' at offset 6");
  std::u16string names;
  while (doc.FindChildElement()) names += doc.GetChildTagName();
  EXPECT_EQ(names, u"abc");
}

// Elements open at the end of the text keep their children and span to the end.
TEST(XmlParse, ElementsOpenAtTheEndKeepTheirContent) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<r><s><k>v</k><t>text"));
  EXPECT_EQ(doc.GetResult(), u"Element 't' at offset 14 not ended");
  EXPECT_EQ(GetXmlValue(doc, u"s", u"k"), u"v");
  EXPECT_EQ(GetXmlValue(doc, u"s", u"t"), u"text");
}

// After a stray end tag, end tags of open elements still close them, with
// names compared exactly or folded as the flags say.
TEST(XmlParse, EndTagsStillMatchAfterAStrayEndTag) {
  struct Case {
    std::u16string_view text;
    unsigned flags;
  };
  const Case cases[] = {
      {u"<a><b></x>t</b></x><c>u</c></a>", 0},
      {u"<A><B></x>t</b></X><C>u</c></a>", XML_FLAG_IGNORE_CASE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.text));
    CXmlDocument doc;
    doc.SetFlags(c.flags);
    EXPECT_FALSE(doc.SetText(c.text));
    EXPECT_EQ(doc.GetResult(), u"No start tag for end tag 'x' at offset 6");
    doc.ResetPosition();
    ASSERT_TRUE(doc.FindChildElement(u"b"));
    EXPECT_EQ(doc.GetChildData(), u"t");
    ASSERT_TRUE(doc.FindChildElement(u"c"));
    EXPECT_EQ(doc.GetChildData(), u"u");
  }
}

TEST(XmlParse, ErroneousLessThanIsText) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<a>1 < 2 &lt; 3</a>"));
  ASSERT_TRUE(doc.FindElement(u"a"));
  EXPECT_EQ(doc.GetData(), u"1 < 2 < 3");
}

TEST(XmlParse, SetTextResetsPositionAndResult) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.SetText(u"<a>"));
  ASSERT_TRUE(doc.FindElement());
  EXPECT_TRUE(doc.SetText(u"<b/>"));
  EXPECT_EQ(doc.GetResult(), u"");
  EXPECT_EQ(doc.GetTagName(), u"");
  EXPECT_TRUE(doc.FindElement(u"b"));
}

}  // namespace
