#include "dialogs/AboutModel.h"

#include "foundation/StringIds.h"

namespace lumatag {

namespace {

// Loads entry `id` and fills its placeholders, one at a time, into `out`.
Status Fill(const StringModule& module, std::uint16_t id, std::u16string* out,
            std::u16string_view first = {}, std::u16string_view second = {}) {
  CountedString text;
  LT_TRY(LoadString(module, id, text));
  if (!first.empty()) LT_TRY(SubstitutePlaceholder(text, 1, first));
  if (!second.empty()) LT_TRY(SubstitutePlaceholder(text, 2, second));
  out->assign(text.View());
  return S_OK;
}

}  // namespace

Status MakeAboutContent(const StringModule& module, const ProductInfo& product,
                        std::u16string_view appTitle, AboutContent* content) {
  LT_TRY(Fill(module, IDS_ABOUT_TITLE, &content->title, appTitle));
  LT_TRY(Fill(module, IDS_ABOUT_VERSION_LINE, &content->versionLine, appTitle, product.version));
  LT_TRY(Fill(module, IDS_ABOUT_MAKER_LINE, &content->makerLine, product.maker));
  LT_TRY(Fill(module, IDS_ABOUT_WEBSITE, &content->websiteLabel));
  LT_TRY(Fill(module, IDS_ABOUT_NOTE, &content->note));
  content->websiteUrl.assign(product.website);
  return S_OK;
}

Status MakeContactContent(const StringModule& module, const ProductInfo& product,
                          std::u16string_view appTitle, ContactContent* content) {
  LT_TRY(Fill(module, IDS_CONTACT_TITLE, &content->title, product.maker));
  LT_TRY(Fill(module, IDS_CONTACT_TEXT, &content->text, appTitle));
  LT_TRY(Fill(module, IDS_CONTACT_EMAIL_LABEL, &content->emailLabel));
  content->email.assign(product.supportEmail);
  return S_OK;
}

}  // namespace lumatag
