#include "shell/ShellTestSupport.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag::shell {

Status ScriptedFolderChooser::Choose(std::u16string_view startFolder, std::u16string* folder) {
  starts.emplace_back(startFolder);
  if (whileOpen) whileOpen();
  if (answer.empty()) return E_CANCELLED;
  *folder = answer;
  return S_OK;
}

namespace {

class WatchedListing final : public FolderListing {
 public:
  WatchedListing(std::unique_ptr<FolderListing> real, std::function<void()> beforeEntry)
      : real_(std::move(real)), beforeEntry_(std::move(beforeEntry)) {}
  Status Next(FolderEntry* entry) override {
    beforeEntry_();
    return real_->Next(entry);
  }

 private:
  std::unique_ptr<FolderListing> real_;
  std::function<void()> beforeEntry_;
};

}  // namespace

Status TrashFileOperations::OpenListing(std::u16string_view folder,
                                        std::unique_ptr<FolderListing>* listing) {
  LT_TRY(real_.OpenListing(folder, listing));
  if (beforeEntry) *listing = std::make_unique<WatchedListing>(std::move(*listing), beforeEntry);
  return S_OK;
}

Status TrashFileOperations::Recycle(std::u16string_view path) {
  const std::string from = Utf16ToUtf8(path);
  std::error_code error;
  std::filesystem::rename(from, trash_ + "/" + std::filesystem::path(from).filename().string(),
                          error);
  if (error) return E_FILE_NOT_FOUND;
  recycled.push_back(std::filesystem::path(from).filename().string());
  return S_OK;
}

void WriteCameraPhoto(const std::string& path, const std::string& taken) {
  using namespace lumatag::photo;
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Ascii(Ifd::kPrimary, 0x010F, "Camera maker").Ascii(Ifd::kExif, 0x9003, taken);
  ASSERT_TRUE(WriteFile(path, photo.Jpeg()));
}

void WritePicturePhoto(const std::string& path, const QImage& picture, int orientation) {
  using namespace lumatag::photo;
  PhotoBuilder exif(ByteOrder::kMotorola);
  exif.Short(Ifd::kPrimary, 0x0112, {static_cast<std::uint16_t>(orientation)})
      .Ascii(Ifd::kExif, 0x9003, "2013:05:01 10:00:00");
  JpegOptions options;
  options.scanBytes = 0;
  const Bytes segment = exif.Jpeg(options);
  const std::size_t length = (static_cast<std::size_t>(segment[4]) << 8) | segment[5];
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(picture.save(&buffer, "JPEG", 95));
  encoded.insert(2, QByteArray(reinterpret_cast<const char*>(segment.data()) + 2,
                               static_cast<qsizetype>(length + 2)));
  std::ofstream(path, std::ios::binary).write(encoded.constData(), encoded.size());
}

void ShellTest::SetUpTestSuite() {
  if (QApplication::instance() != nullptr) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test_shell";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

ShellTest::ShellTest() {
  photos_ = dir_.File("photos");
  std::filesystem::create_directories(photos_);
  std::filesystem::create_directories(dir_.File("trash"));
  std::filesystem::create_directories(dir_.File("home"));
  // No Pictures folder to fall back on.
  qputenv("HOME", QByteArray::fromStdString(dir_.File("home")));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_.File("home")));
  files_ = std::make_unique<TrashFileOperations>(dir_.File("trash"));
}

ShellTest::~ShellTest() {
  if (shell_) shell_->ShutdownApplication();
}

void ShellTest::AddPhotos(const std::vector<std::string>& names) {
  int minute = 10;
  for (const std::string& name : names) {
    WriteCameraPhoto(PhotoPath(name), "2013:05:01 10:" + std::to_string(minute++) + ":00");
  }
}

void ShellTest::WriteSettings(const std::string& folder, int mode, const std::string& extra) {
  std::ofstream out(dir_.File("settings.reg"));
  char modeText[16];
  std::snprintf(modeText, sizeof modeText, "%08x", mode);
  out << "Lumatag Settings Hive 1\n\n"
      << "[HKEY_CURRENT_USER\\Software]\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Quarrytree Software]\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag]\n"
      << "\"UI Locale\"=dword:00000409\n"
      << "\"Update Check Period\"=dword:00000003\n"
      << "\"File Navigation Mode\"=dword:" << modeText << "\n"
      << "\"Image Folder\"=\"" << folder << "\"\n"
      << extra;
}

ShellPorts ShellTest::BasePorts() {
  // A fresh store each time, as a new process would have.
  registry_ = std::make_unique<HiveRegistryStore>(dir_.File("settings.reg"));
  ShellPorts ports;
  ports.registry = registry_.get();
  ports.files = files_.get();
  ports.readableFiles = &PlatformReadableFileSystem();
  ports.folders = &folders_;
  ports.textComparer = &PlatformTextComparer();
  ports.presenter = &presenter_;
  ports.programFolder = QString::fromStdString(dir_.File("program"));
  ports.wantedLocale = kEnglishLocale;
  ports.crashStateRoot = dir_.File("state");
  return ports;
}

bool ShellTest::Start() {
  if (shell_) shell_->ShutdownApplication();
  shell_.reset();
  ShellPorts ports = BasePorts();
  ports.sounds = &sounds_;
  ports.folderChooser = &chooser_;
  ports.opener = [this](const QUrl& url) {
    opened_.push_back(url);
    return true;
  };
  shell_ = std::make_unique<ShellApplication>(std::move(ports), dialogs_);
  if (Failed(shell_->InitApplication())) return false;
  shell_->ShowMainWindow();
  Window().activateWindow();
  QApplication::setActiveWindow(&Window());
  return QTest::qWaitForWindowExposed(&Window());
}

QComboBox* ShellTest::Box(int number) {
  return qobject_cast<QComboBox*>(Control(number));
}
QLabel* ShellTest::Label(int number) {
  return qobject_cast<QLabel*>(Control(number));
}
QLineEdit* ShellTest::NewNameBox() {
  return qobject_cast<QLineEdit*>(Control(kNewNameBox));
}
QAbstractButton* ShellTest::Button(int number) {
  return qobject_cast<QAbstractButton*>(Control(number));
}

std::u16string ShellTest::LastMessage() const {
  return presenter_.shown.empty() ? std::u16string() : presenter_.shown.back().text;
}

bool ShellTest::FileExists(const std::string& name) const {
  return std::filesystem::exists(photos_ + "/" + name);
}

}  // namespace lumatag::shell

// The font configuration library keeps a few blocks for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
