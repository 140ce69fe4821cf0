// The About and Contact texts: filled from the string table and the build's identity.
#include "dialogs/AboutModel.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

TEST(AboutModelTest, TextsCarryTitleVersionMakerAndAddresses) {
  const ProductInfo& product = BuiltInProductInfo();
  EXPECT_FALSE(product.version.empty());
  AboutContent about;
  ASSERT_OK(MakeAboutContent(StringModule::BuiltIn(), product, u"Lumatag", &about));
  EXPECT_EQ(about.title, u"About Lumatag");
  EXPECT_EQ(about.versionLine, u"Lumatag version " + std::u16string(product.version));
  EXPECT_NE(about.makerLine.find(product.maker), std::u16string::npos);
  EXPECT_EQ(about.websiteLabel, u"Website:");
  EXPECT_EQ(about.websiteUrl, product.website);

  ContactContent contact;
  ASSERT_OK(MakeContactContent(StringModule::BuiltIn(), product, u"Lumatag", &contact));
  EXPECT_EQ(contact.title, u"Contact Quarrytree Software");
  EXPECT_EQ(contact.text,
            u"For help, to report problems, or make suggestions about how to improve Lumatag:");
  EXPECT_EQ(contact.email, product.supportEmail);
}

}  // namespace
}  // namespace lumatag
