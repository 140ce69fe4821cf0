#include "workflow/WorkflowTestSupport.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/PosixReadableFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag {

Status TestFileOperations::Move(std::u16string_view from, std::u16string_view to,
                                bool replaceExisting) {
  if (Failed(moveFailure)) return moveFailure;
  if (!failMoveTo.empty() &&
      std::filesystem::path(Utf16ToUtf8(to)).filename().string() == failMoveTo) {
    return E_ACCESS_DENIED;
  }
  return real_.Move(from, to, replaceExisting);
}

Status TestFileOperations::Recycle(std::u16string_view path) {
  const std::string from = Utf16ToUtf8(path);
  std::error_code error;
  std::filesystem::rename(from, trash_ + "/" + std::filesystem::path(from).filename().string(),
                          error);
  if (error) return E_FILE_NOT_FOUND;
  recycled.push_back(std::filesystem::path(from).filename().string());
  return S_OK;
}

namespace {
ApplicationPorts TestPorts(RegistryStore& registry, FileOperations& files, StandardFolders& folders,
                           SoundPlayer& sounds, MessagePresenter& presenter,
                           FolderLocker& folderLocks) {
  ApplicationPorts ports;
  ports.registry = &registry;
  ports.files = &files;
  ports.readableFiles = &PlatformReadableFileSystem();
  ports.folders = &folders;
  ports.sounds = &sounds;
  ports.presenter = &presenter;
  ports.textComparer = &PlatformTextComparer();
  ports.folderLocks = &folderLocks;
  return ports;
}
}  // namespace

WorkflowTest::WorkflowTest()
    : app_(TestPorts(registry_, files_, folders_, sounds_, presenter_, folderLocks_)),
      context_(app_.Context()),
      catalogue_(app_.Catalogue()),
      extensions_(app_.Extensions()),
      settings_(app_.Naming()) {
  EXPECT_OK(app_.Load());
  EXPECT_OK(settings_.imageFolder.Assign(Utf8ToUtf16(dir_.path())));
  settings_.fileNavigationMode = kNavigateAll;
  EXPECT_OK(app_.SaveSettings());
  EXPECT_FALSE(app_.SettingsChanged());
  EXPECT_OK(app_.CreateWorkflow(view_));
  workflow_ = &app_.Workflow();
  services_ = app_.Services(view_);
}

void WorkflowTest::AddPhoto(const std::string& name, const std::string& taken,
                            const std::string& extraContent) {
  photo::PhotoBuilder builder;
  if (!taken.empty()) builder.Ascii(photo::Ifd::kExif, 0x9003, taken);
  const photo::Bytes bytes = builder.Jpeg();
  std::string content(bytes.begin(), bytes.end());
  AddFile(name, content + extraContent);
}

void WorkflowTest::AddFile(const std::string& name, const std::string& content) {
  std::ofstream out(dir_.File(name), std::ios::binary);
  out << content;
}

bool WorkflowTest::Exists(const std::string& name) const {
  return std::filesystem::exists(dir_.File(name));
}

std::string WorkflowTest::Content(const std::string& name) const {
  std::ifstream in(dir_.File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> WorkflowTest::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WorkflowTest::Scan() {
  EXPECT_OK(workflow_->RefreshPhotoList(true, true));
}

std::vector<std::string> WorkflowTest::ListNames() const {
  std::vector<std::string> names;
  const PhotoList& list = workflow_->Photos();
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.At(i).fileName.ToUtf8());
  return names;
}

int WorkflowTest::PatternIndex(const std::u16string& definition) const {
  for (int i = 0; i < catalogue_.Count(); ++i) {
    if (catalogue_.At(i).definition.View() == definition) return i;
  }
  ADD_FAILURE() << "no pattern " << Utf16ToUtf8(definition);
  return -1;
}

void WorkflowTest::ChooseDefinition(const std::u16string& definition) {
  const int index = PatternIndex(definition);
  ASSERT_GE(index, 0);
  EXPECT_OK(workflow_->ChoosePattern(catalogue_.At(index).name.View()));
}

std::u16string WorkflowTest::ShownText(std::size_t i) const {
  return i < presenter_.shown.size() ? presenter_.shown[i].text : u"(none)";
}

}  // namespace lumatag
