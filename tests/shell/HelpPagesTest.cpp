// Help pages and documents are found beside the program in a build tree and under the shared
// data folder of an installed program; what is missing is reported, never opened.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

#include "shell/HelpPages.h"
#include "support/TestSupport.h"

namespace lumatag::shell {
namespace {

void WriteFile(const std::string& path, const char* text) {
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

class HelpPagesTest : public testing::Test {
 protected:
  HelpPages Pages() {
    return HelpPages({QString::fromStdString(program_.path()), QString::fromStdString(shared_.path())},
                     [this](const QUrl& url) {
                       opened_.push_back(url.toLocalFile().toStdString());
                       return true;
                     });
  }
  TempDir program_;
  TempDir shared_;
  std::vector<std::string> opened_;
};

TEST_F(HelpPagesTest, PagesAndDocumentsOfAnInstalledProgramComeFromTheSharedFolder) {
  WriteFile(shared_.File("help/index.html"), "<html><body>Main</body></html>");
  WriteFile(shared_.File("help/146.html"), "<html><body><p>Folder button</p></body></html>");
  WriteFile(shared_.File("Lumatag User Guide.pdf"), "%PDF");
  const HelpPages pages = Pages();
  EXPECT_EQ(pages.PopupText(146), QStringLiteral("<p>Folder button</p>"));
  EXPECT_TRUE(pages.ShowTopic(146));
  EXPECT_TRUE(pages.OpenDocument(QStringLiteral("Lumatag User Guide.pdf")));
  EXPECT_EQ(opened_, (std::vector<std::string>{shared_.File("help/146.html"),
                                               shared_.File("Lumatag User Guide.pdf")}));
}

TEST_F(HelpPagesTest, WhatLiesBesideTheProgramComesFirstAndPagesStayTogether) {
  WriteFile(program_.File("help/index.html"), "<html><body>Build tree</body></html>");
  WriteFile(shared_.File("help/index.html"), "<html><body>Installed</body></html>");
  // A page only the other folder has is not mixed in: it counts as missing.
  WriteFile(shared_.File("help/147.html"), "<html><body>Installed only</body></html>");
  WriteFile(program_.File("EULA - ClickWrap.pdf"), "%PDF");
  WriteFile(shared_.File("EULA - ClickWrap.pdf"), "%PDF");
  const HelpPages pages = Pages();
  EXPECT_EQ(pages.PopupText(0), QStringLiteral("Build tree"));
  EXPECT_FALSE(pages.ShowTopic(147));
  EXPECT_TRUE(pages.PopupText(147).isEmpty());
  EXPECT_TRUE(pages.OpenDocument(QStringLiteral("EULA - ClickWrap.pdf")));
  EXPECT_EQ(opened_, (std::vector<std::string>{program_.File("EULA - ClickWrap.pdf")}));
}

TEST_F(HelpPagesTest, AMissingDocumentIsNotHandedToTheDesktop) {
  const HelpPages pages = Pages();
  EXPECT_FALSE(pages.OpenDocument(QStringLiteral("Lumatag User Guide.pdf")));
  EXPECT_FALSE(pages.ShowTopic(0));
  EXPECT_TRUE(opened_.empty());
}

}  // namespace
}  // namespace lumatag::shell
