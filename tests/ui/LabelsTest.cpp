// Sample labels with their error style, links, and the insertion-point marker under a line edit.
#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "UiTestSupport.h"
#include "ports/DocumentOpener.h"
#include "ui/Labels.h"

namespace lumatag::ui {
namespace {

class RecordingOpener : public DocumentOpener {
 public:
  Status OpenUrl(std::u16string_view url) override {
    urls.emplace_back(url);
    return S_OK;
  }
  Status OpenDocument(std::u16string_view path) override {
    urls.emplace_back(path);
    return S_OK;
  }
  std::vector<std::u16string> urls;
};

TEST(LabelsTest, SampleErrorStyleChangesColourAndBack) {
  SampleLabel label;
  label.SetSample(QStringLiteral("IMG_1234.JPG"), false);
  const QColor normal = label.palette().color(QPalette::WindowText);
  EXPECT_FALSE(label.ErrorStyle());
  label.SetSample(QStringLiteral("Error: Position 3"), true);
  EXPECT_TRUE(label.ErrorStyle());
  EXPECT_EQ(label.palette().color(QPalette::WindowText), SampleLabel::ErrorColour());
  EXPECT_EQ(label.text(), QStringLiteral("Error: Position 3"));
  label.SetSample(QStringLiteral("sample"), false);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), normal);
  EXPECT_FALSE(label.font().italic());
}

TEST(LabelsTest, LinkOpensItsTargetOnClickAndKey) {
  RecordingOpener opener;
  LinkLabel link(QStringLiteral("www.example.com"));
  link.SetTarget(&opener, u"https://www.example.com/");
  link.resize(200, 20);
  QSignalSpy spy(&link, &LinkLabel::activated);
  QTest::mouseClick(&link, Qt::LeftButton);
  QTest::keyClick(&link, Qt::Key_Space);
  QTest::keyClick(&link, Qt::Key_A);  // other keys do nothing
  EXPECT_EQ(spy.count(), 2);
  EXPECT_EQ(opener.urls, (std::vector<std::u16string>{u"https://www.example.com/",
                                                      u"https://www.example.com/"}));
  EXPECT_TRUE(link.font().underline());
  link.SetErrorStyle(true);
  EXPECT_EQ(link.palette().color(QPalette::WindowText), SampleLabel::ErrorColour());
}

TEST(LabelsTest, InsertionMarkerFollowsThePositionAndTheCaret) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* edit = new QLineEdit(QStringLiteral("[name] #[001]"), &window);
  auto* marker = new InsertionMarker(edit, &window);
  layout->addWidget(edit);
  layout->addWidget(marker);
  window.resize(400, 80);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  std::vector<int> xs;
  for (int position : {0, 1, 6, 13}) {
    marker->SetPosition(position);
    xs.push_back(marker->MarkerX());
  }
  EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()));
  EXPECT_LT(xs.front(), xs.back());
  // At the caret's own position the marker stands under the caret, wherever the caret is.
  for (int caret : {0, 6, 13}) {
    edit->setCursorPosition(caret);
    marker->SetPosition(caret);
    const QRect caretRect = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int caretX = marker->mapFrom(&window, edit->mapTo(&window, caretRect.center())).x();
    EXPECT_EQ(marker->MarkerX(), caretX) << caret;
    EXPECT_EQ(marker->MarkerX(), xs[caret == 0 ? 0 : caret == 6 ? 2 : 3]) << caret;
  }
  // Positions past the end stay at the end.
  marker->SetPosition(99);
  EXPECT_EQ(marker->MarkerX(), xs.back());
}

}  // namespace
}  // namespace lumatag::ui
