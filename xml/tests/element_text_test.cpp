// Element text: reading with references decoded, replacing it, adding
// elements, and SetXmlInt.

#include <gtest/gtest.h>

#include "xml/html_entities.h"
#include "tests/support/xml_walk.h"
#include "xml/tests/xml_test_support.h"
#include "xml/xml_document.h"

namespace {

using korvex::xml::testing::Printable;

std::u16string DataOf(std::u16string_view element) {
  CXmlDocument doc;
  doc.SetText(element);
  doc.FindElement();
  return doc.GetData();
}

TEST(XmlElementText, DecodesReferences) {
  struct Case {
    std::u16string_view content, data;
  };
  const Case cases[] = {
      {u"a&lt;b&gt;c&amp;d&quot;e&apos;f", u"a<b>c&d\"e'f"},
      {u"&#65;&#x42;&#X43;&#0000068;", u"ABCD"},
      {u"&#x1F600;&#128512;", u"\U0001F600\U0001F600"},
      {u"&Amp;&AMP;&LT;", u"&&<"},
      {u"&eacute;&Eacute;&EACUTE;", u"\u00E9\u00C9\u00C9"},
      {u"&nbsp;&euro;&thetasym;&hArr;&harr;", u"\u00A0\u20AC\u03D1\u21D4\u2194"},
      // Not references: copied unchanged.
      {u"&foo; &#0; &#xD800; &#1114112; &#; &#x; &#12a;", u"&foo; &#0; &#xD800; &#1114112; &#; &#x; &#12a;"},
      {u"&amp &; & amp; &abcdefghij;", u"&amp &; & amp; &abcdefghij;"},
      {u"&#00000065;", u"A"},  // nine characters between & and ;
      {u"&#000000065;", u"&#000000065;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.content));
    std::u16string element = u"<a>";
    element += c.content;
    element += u"</a>";
    EXPECT_EQ(DataOf(element), c.data);
  }
}

TEST(XmlElementText, ReferenceTableHoldsHtml4) {
  EXPECT_EQ(korvex::xml::Html4ReferenceCount(), 252u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"yuml"), 255u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"Yuml"), 376u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"diams"), 9830u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"rsaquo"), 8250u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"DIAMS"), 9830u);
  EXPECT_EQ(korvex::xml::FindNamedReference(u"foo"), 0u);
}

TEST(XmlElementText, JoinsTextAndCdataAroundMarkup) {
  EXPECT_EQ(DataOf(u"<a>x<!--c-->y<![CDATA[<&amp;>]]>z<?p?>&amp;</a>"), u"xy<&amp;>z&");
}

TEST(XmlElementText, EmptyWhenElementHasChildrenOrIsEmpty) {
  EXPECT_EQ(DataOf(u"<a><b/>text</a>"), u"");
  EXPECT_EQ(DataOf(u"<a/>"), u"");
  EXPECT_EQ(DataOf(u"<a></a>"), u"");
}

// An edited document must read the same as its text parsed afresh.
void ExpectIndexMatchesReparse(CXmlDocument& edited) {
  CXmlDocument fresh;
  fresh.SetText(edited.GetText());
  EXPECT_EQ(korvex::testing::WalkElements(edited), korvex::testing::WalkElements(fresh));
}

TEST(XmlElementText, SetDataExpandsEmptyElementTag) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><x a='1'/><y>1</y></r>"));
  ASSERT_TRUE(doc.FindChildElement(u"x"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.SetData(u"a<b"));
  EXPECT_EQ(doc.GetText(), u"<r><x a='1'>a&lt;b</x><y>1</y></r>");
  EXPECT_EQ(doc.GetData(), u"a<b");
  ASSERT_TRUE(doc.FindElement(u"y"));
  EXPECT_EQ(doc.GetData(), u"1");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, SetDataOnEmptyElementTagWithDoubledSlash) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><x//></r>"));
  ASSERT_TRUE(doc.FindChildElement(u"x"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.SetData(u"v"));
  EXPECT_EQ(doc.GetText(), u"<r><x>v</x></r>");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, SetDataReplacesContentAndShiftsLaterElements) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><x>old &amp; long</x><y><z>1</z></y></r>"));
  ASSERT_TRUE(doc.FindChildElement(u"x"));
  doc.EnterElement();
  ASSERT_TRUE(doc.SetData(u"n&>"));
  EXPECT_EQ(doc.GetText(), u"<r><x>n&amp;&gt;</x><y><z>1</z></y></r>");
  ASSERT_TRUE(doc.SetData(u""));
  EXPECT_EQ(doc.GetText(), u"<r><x></x><y><z>1</z></y></r>");
  EXPECT_EQ(GetXmlValue(doc, u"y", u"z"), u"1");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, SetDataRefusesElementsWithChildrenOrNoMainPosition) {
  CXmlDocument doc;
  const std::u16string text = u"<r><x><c/></x></r>";
  ASSERT_TRUE(doc.SetText(text));
  EXPECT_FALSE(doc.SetData(u"v"));  // no main position
  ASSERT_TRUE(doc.FindElement(u"r"));
  EXPECT_FALSE(doc.SetData(u"v"));  // r has children
  EXPECT_EQ(doc.GetText(), text);
}

TEST(XmlElementText, AddElementBuildsADocumentLineByLine) {
  CXmlDocument doc;
  doc.SetText(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n");
  ASSERT_TRUE(doc.AddElement(u"Root"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"A", u"1<2"));
  ASSERT_TRUE(doc.AddElement(u"B"));
  ASSERT_TRUE(doc.AddElement(u"C", u"3"));
  EXPECT_EQ(doc.GetText(),
            u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
            u"<Root>\r\n<A>1&lt;2</A>\r\n<B/>\r\n<C>3</C>\r\n</Root>\r\n");
  EXPECT_EQ(doc.GetTagName(), u"C");
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindChildElement(u"A"));
  EXPECT_EQ(doc.GetChildData(), u"1<2");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, AddElementInsertsAfterTheMainElement) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r>\r\n<a/>\r\n<c>3</c>\r\n</r>"));
  ASSERT_TRUE(doc.FindChildElement(u"a"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"b", u"2"));
  EXPECT_EQ(doc.GetText(), u"<r>\r\n<a/>\r\n<b>2</b>\r\n<c>3</c>\r\n</r>");
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(doc.GetTagName(), u"c");
  EXPECT_EQ(doc.GetData(), u"3");
  ExpectIndexMatchesReparse(doc);

  // With no main position: after the parent's last child.
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement());
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"d"));
  EXPECT_EQ(doc.GetText(), u"<r>\r\n<a/>\r\n<b>2</b>\r\n<c>3</c>\r\n<d/>\r\n</r>");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, AddElementIntoElementWithText) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><p>t</p><q/></r>"));
  ASSERT_TRUE(doc.FindChildElement(u"p"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.EnterElement());  // into p, no main position
  ASSERT_TRUE(doc.AddElement(u"n", u"v"));
  EXPECT_EQ(doc.GetText(), u"<r><p>t<n>v</n>\r\n</p><q/></r>");
  ExpectIndexMatchesReparse(doc);
}

TEST(XmlElementText, AddElementRejectsNamesThatCannotBeReadBack) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r/>"));
  for (std::u16string_view name : {u"", u"a b", u"1a", u"a>", u"a/"})
    EXPECT_FALSE(doc.AddElement(name, u"v")) << Printable(name);
  EXPECT_EQ(doc.GetText(), u"<r/>");
}

TEST(XmlElementText, AddElementOnDocumentNeverParsed) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.AddElement(u"Root", u"1"));
  EXPECT_EQ(doc.GetText(), u"<Root>1</Root>\r\n");
  EXPECT_EQ(doc.GetData(), u"1");
}

TEST(XmlValue, SetXmlIntSetsOrAddsAtTheCurrentLevel) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.SetText(u"<r><n>1</n></r>"));
  ASSERT_TRUE(doc.FindElement());
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(SetXmlInt(doc, -2147483647 - 1, u"n"));
  ASSERT_TRUE(SetXmlInt(doc, 42, u"m"));
  EXPECT_EQ(doc.GetText(), u"<r><n>-2147483648</n><m>42</m>\r\n</r>");
  ExpectIndexMatchesReparse(doc);
}

}  // namespace
