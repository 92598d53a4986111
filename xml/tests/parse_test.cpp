#include <gtest/gtest.h>
#include "xml/xml_document.h"
TEST(X, Y) { CXmlDocument d; EXPECT_TRUE(d.SetText(u"<a/>")); }
