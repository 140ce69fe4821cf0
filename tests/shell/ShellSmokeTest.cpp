// The real program on a demo folder: it starts, draws its window with a preview, saves a picture
// of it and ends. Runs under Xvfb when it is installed, else on Qt's offscreen platform.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ShellSmoke, ProgramDrawsItsWindowOnTheDemoFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString photos = dir.filePath(QStringLiteral("photos"));
  const QString config = dir.filePath(QStringLiteral("config"));
  ASSERT_TRUE(QDir().mkpath(photos));
  ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/Lumatag")));
  ASSERT_EQ(
      QProcess::execute(QStringLiteral(LUMATAG_MAKE_DEMO_PHOTOS), {photos, QStringLiteral("3")}),
      0);
  QFile settings(config + QStringLiteral("/Lumatag/settings.reg"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write(QStringLiteral("Lumatag Settings Hive 1\n\n"
                                "[HKEY_CURRENT_USER\\Software]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Quarrytree Software]\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag]\n"
                                "\"UI Locale\"=dword:00000409\n"
                                "\"Update Check Period\"=dword:00000003\n"
                                "\"Image Folder\"=\"%1/\"\n")
                     .arg(photos)
                     .toUtf8());
  settings.close();

  const QString shot = dir.filePath(QStringLiteral("lumatag.png"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
  environment.insert(QStringLiteral("HOME"), dir.path());
  environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.path() + QStringLiteral("/state"));
  environment.insert(QStringLiteral("LUMATAG_SCREENSHOT"), shot);
  QProcess program;
  program.setProcessEnvironment(environment);
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
  if (xvfb.isEmpty()) {
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LUMATAG_PROGRAM), {});
  } else {
    program.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"),
                         QStringLiteral("-screen 0 1280x900x24"), QStringLiteral(LUMATAG_PROGRAM)});
  }
  ASSERT_TRUE(program.waitForFinished(90000)) << "the program did not end";
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();

  const QImage image(shot);
  ASSERT_FALSE(image.isNull()) << "no screenshot";
  EXPECT_GE(image.width(), 320);
  EXPECT_GE(image.height(), 240);
  // Not blank: a window with texts, buttons and a photo has many colours.
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 50);
}

}  // namespace
