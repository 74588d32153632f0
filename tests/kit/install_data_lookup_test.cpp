// Choosing the product names and description document by language.
#include "kit_fixture.h"

namespace kittest {
namespace {

using LookupTest = KitTest;

TEST_F(LookupTest, ProductInfoMatchesLanguageIgnoringCaseWithoutFallback) {
    kit::KitWriter writer;
    writer.SetLayout(kit::Layout::SingleDescription);
    writer.AddProduct({u"", u"Templates", u"Example Ltd", u""});
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    string16 product = u"stale", provider = u"stale";
    kit.GetProductInfo(u"EN", product, provider);
    EXPECT_EQ(string16(u"Templates"), product);
    EXPECT_EQ(string16(u"Example Ltd"), provider);
    kit.GetProductInfo(u"de", product, provider);
    EXPECT_TRUE(product.empty());
    EXPECT_TRUE(provider.empty());
}

TEST_F(LookupTest, FirstMatchingEntryWins) {
    kit::KitWriter writer;
    writer.AddProduct({u"de", u"Erste", u"A", u""});
    writer.AddProduct({u"DE", u"Zweite", u"B", u""});
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    string16 product, provider;
    kit.GetProductInfo(u"De", product, provider);
    EXPECT_EQ(string16(u"Erste"), product);
}

TEST_F(LookupTest, DescriptionPathFallsBackToEnglishOnly) {
    kit::KitWriter writer;
    writer.AddProduct({u"de", u"P", u"V", u""});
    writer.AddProduct({u"fr", u"P", u"V", u"doc\\lisez.html"});
    writer.AddProduct({u"En", u"P", u"V", u"doc\\readme.html"});
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    EXPECT_EQ(string16(u"doc\\readme.html"), kit.GetDescriptionPath(u"de"));
    EXPECT_EQ(string16(u"doc\\lisez.html"), kit.GetDescriptionPath(u"FR"));
    EXPECT_EQ(string16(u"doc\\readme.html"), kit.GetDescriptionPath(u"ja"));

    kit::KitWriter russianOnly;
    russianOnly.AddProduct({u"ru", u"P", u"V", u"doc\\ru.html"});
    Kit ru;
    ASSERT_EQ(0u, ru.Open(WriteKit(russianOnly, "ru.efd")));
    EXPECT_TRUE(ru.GetDescriptionPath(u"de").empty());
    EXPECT_EQ(string16(u"doc\\ru.html"), ru.GetDescriptionPath(u"ru"));

    Kit none;
    EXPECT_TRUE(none.GetDescriptionPath(u"en").empty());
}

}  // namespace
}  // namespace kittest
