// Shared pieces of the window tests: an application context whose messages are scripted, and
// photo files with real pixels.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <string>

#include "foundation/AppContext.h"
#include "ports/SettingsRecords.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "ui/UiContext.h"

namespace lumatag::ui {

struct UiFixture {
  UiFixture();
  AppContext app;
  ScriptedMessagePresenter presenter;
  WindowSettings window;
  UiContext ui{app, window};

  // The texts of the boxes shown so far.
  std::vector<std::u16string> Texts() const;
};

// The string-table text of an entry, with "{1}" filled when given.
std::u16string EntryText(std::uint16_t id, const QString& argument = {});

// A image of four coloured quarters: red top left, green top right, blue bottom left, yellow
// bottom right.
QImage FourColourImage(int width, int height);
// Which of the four colours a pixel is closest to: 'R', 'G', 'B', 'Y', or '?'.
char ColourName(QColor colour);
// The colour names of the corners of an image, top left, top right, bottom left, bottom right.
std::string Corners(const QImage& image);

// Writes an image file with Qt's writer; false when it cannot.
bool WriteImage(const QImage& image, const QString& path, const char* format, int quality = 95);

}  // namespace lumatag::ui
