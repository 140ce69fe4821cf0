#include "UpdateTestSupport.h"

#include <gtest/gtest.h>

#include "foundation/StringTable.h"
#include "support/TestSupport.h"

namespace lumatag {

UpdateHarness::UpdateHarness() {
  app.presenter = &presenter;
  EXPECT_OK(LoadString(*app.programModule, IDS_APP_TITLE, app.title));
}

std::vector<std::u16string> UpdateHarness::Messages() const {
  std::vector<std::u16string> texts;
  for (const auto& shown : presenter.shown) texts.push_back(shown.text);
  return texts;
}

Status UpdateHarness::Load(std::string document, XmlDocumentHandler& handler) {
  XmlLoader loader(app, parser);
  LT_TRY(InitXmlLoader(loader, &handler));
  LT_TRY(SetXmlDocument(loader, std::move(document)));
  return ParseXml(loader);
}

std::string VersionDocument(const std::vector<std::string>& latest, const std::string& hists) {
  std::string text = "<?xml version=\"1.0\"?>\n<versionData>\n <versLatest>\n";
  for (const std::string& ver : latest) text += "  <ver " + ver + "/>\n";
  text += " </versLatest>\n <hists>" + hists + "</hists>\n</versionData>\n";
  return text;
}

std::u16string Entry(std::uint16_t id, std::u16string_view first, std::u16string_view second) {
  CountedString text;
  EXPECT_OK(LoadString(StringModule::BuiltIn(), id, text));
  if (text.FindText(u"{1}") >= 0) {
    EXPECT_OK(SubstitutePlaceholder(text, 1, first));
  }
  if (text.FindText(u"{2}") >= 0) {
    EXPECT_OK(SubstitutePlaceholder(text, 2, second));
  }
  return std::u16string(text.View());
}

}  // namespace lumatag
