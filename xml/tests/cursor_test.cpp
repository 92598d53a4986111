// The cursor: finding, entering and leaving elements, name matching, and
// GetXmlValue's section lookup.

#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace {

TEST(XmlCursor, RepeatedFindChildElementWalksForwardAndStays) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<a><b>1</b><c>x</c><b>2</b></a>"));
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindChildElement(u"b"));
  EXPECT_EQ(doc.GetChildData(), u"1");
  ASSERT_TRUE(doc.FindChildElement(u"b"));
  EXPECT_EQ(doc.GetChildData(), u"2");
  EXPECT_FALSE(doc.FindChildElement(u"b"));
  EXPECT_EQ(doc.GetChildData(), u"2");
}

TEST(XmlCursor, EnterAndLeaveMoveTheThreePositions) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><s><k>v</k></s></r>"));
  EXPECT_FALSE(doc.EnterElement());  // no main element
  EXPECT_FALSE(doc.LeaveElement());  // already at document level
  ASSERT_TRUE(doc.FindElement(u"r"));
  ASSERT_TRUE(doc.FindChildElement(u"s"));
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_EQ(doc.GetTagName(), u"s");
  EXPECT_EQ(doc.GetChildTagName(), u"");
  ASSERT_TRUE(doc.FindChildElement(u"k"));
  EXPECT_EQ(doc.GetChildData(), u"v");
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetTagName(), u"r");
  EXPECT_EQ(doc.GetChildTagName(), u"s");
  EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlCursor, FindElementMovesAmongSiblingsOnly) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><a/><b><a/></b><c/></r>"));
  ASSERT_TRUE(doc.FindElement(u"r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(u"a"));
  EXPECT_FALSE(doc.FindElement(u"a"));  // the other a is a grandchild
  EXPECT_EQ(doc.GetTagName(), u"a");    // nothing changed
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(doc.GetTagName(), u"b");
  ASSERT_TRUE(doc.FindElement(u"c"));
}

TEST(XmlCursor, FindChildElementSelectsTheRootFirst) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<?xml version=\"1.0\"?><!-- x --><root><k/></root>"));
  ASSERT_TRUE(doc.FindChildElement(u"k"));
  EXPECT_EQ(doc.GetTagName(), u"root");
}

TEST(XmlCursor, NameMatching) {
  struct Case {
    std::u16string_view name;
    unsigned flags;
    bool found;
  };
  const Case cases[] = {
      {u"item", 0, true},         {u"ite", 0, false},      {u"items", 0, false},
      {u"item[2]", 0, true},      {u"item x", 0, true},    {u"item=1", 0, true},
      {u"item/sub", 0, true},     {u"item]", 0, true},     {u"Item", 0, false},
      {u"ITEM", XML_FLAG_IGNORE_CASE, true},               {u"", 0, true},
  };
  for (const auto& c : cases) {
    CXmlDocument doc;
    doc.SetFlags(c.flags);
    ASSERT_TRUE(doc.SetText(u"<r><item a='1'/></r>"));
    EXPECT_EQ(doc.FindChildElement(c.name), c.found) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(XmlCursor, DocumentNeverParsedFindsNothing) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.FindElement());
  EXPECT_FALSE(doc.FindChildElement());
  EXPECT_EQ(doc.GetData(), u"");
  EXPECT_EQ(doc.GetElementCount(), 0);
  EXPECT_EQ(GetXmlValue(doc, u"s", u"k"), u"");
}

TEST(XmlValue, LooksUpSectionsAndNestedSectionsOfTheSameName) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(
      u"<Root><Sec><A>1</A><Sec><B>2</B><Sec><C>3</C></Sec></Sec></Sec>"
      u"<Other><B>9</B></Other><Sec><D>4</D></Sec></Root>"));
  struct Case {
    std::u16string_view section, key, value;
  };
  const Case cases[] = {
      {u"Sec", u"A", u"1"},  {u"Sec", u"B", u"2"}, {u"Sec", u"C", u"3"},
      {u"Other", u"B", u"9"}, {u"Sec", u"X", u""},  {u"Missing", u"A", u""},
      // Only the first section and the ones nested in it are searched.
      {u"Sec", u"D", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetXmlValue(doc, c.section, c.key), c.value)
        << std::string(c.section.begin(), c.section.end()) << "/"
        << std::string(c.key.begin(), c.key.end());
  }
}

}  // namespace
