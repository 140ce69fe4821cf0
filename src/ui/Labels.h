// Small drawn controls of the dialogs: sample texts with an error style, links that open a web
// page or document, and the marker that shows where tokens go into a line edit.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <string>

class QLineEdit;

namespace lumatag {
class DocumentOpener;
}

namespace lumatag::ui {

// A sample text in a sunken box. The error style (for a text that reports an error) draws it in
// the error colour.
class SampleLabel : public QLabel {
 public:
  explicit SampleLabel(QWidget* parent = nullptr);
  void SetSample(const QString& text, bool error);
  void SetErrorStyle(bool error);
  bool ErrorStyle() const { return error_; }
  // The colour of error texts.
  static QColor ErrorColour();

 private:
  bool error_ = false;
};

// A link: drawn in the link colour, underlined, with a pointing-hand cursor; a click or Space /
// Enter while focused activates it. With an opener, activating opens the target through it.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);
  void SetTarget(DocumentOpener* opener, std::u16string url);
  void SetErrorStyle(bool error);
  bool ErrorStyle() const { return error_; }

 signals:
  void activated();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Activate();
  void Restyle();

  DocumentOpener* opener_ = nullptr;
  std::u16string url_;
  bool error_ = false;
};

// A strip under a line edit with a small arrow pointing at a character position: where the next
// token will be inserted. The position is given as a character index into the edit's text.
class InsertionMarker : public QWidget {
 public:
  explicit InsertionMarker(QLineEdit* edit, QWidget* parent = nullptr);
  void SetPosition(int index);
  int Position() const { return position_; }
  // The arrow's tip, in this widget's coordinates.
  int MarkerX() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointer<QLineEdit> edit_;
  int position_ = 0;
};

}  // namespace lumatag::ui
