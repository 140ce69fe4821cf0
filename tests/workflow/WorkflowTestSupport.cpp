#include "workflow/WorkflowTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag {

Status TestFileOperations::Recycle(std::u16string_view path) {
  const std::string from = Utf16ToUtf8(path);
  std::error_code error;
  std::filesystem::rename(from, trash_ + "/" + std::filesystem::path(from).filename().string(),
                          error);
  if (error) return E_FILE_NOT_FOUND;
  recycled.push_back(std::filesystem::path(from).filename().string());
  return S_OK;
}

WorkflowTest::WorkflowTest() {
  context_.presenter = &presenter_;
  EXPECT_OK(keywords_.Build(StringModule::BuiltIn()));
  EXPECT_OK(catalogue_.BuildBuiltIns(context_, &keywords_));
  EXPECT_OK(catalogue_.BuildAutomaticList(context_));
  EXPECT_OK(extensions_.SetDefaults(StringModule::BuiltIn()));
  EXPECT_OK(settings_.imageFolder.Assign(Utf8ToUtf16(dir_.path())));
  settings_.fileNavigationMode = kNavigateAll;
  services_.context = &context_;
  services_.files = &files_;
  services_.readableFiles = &PlatformReadableFileSystem();
  services_.sounds = &sounds_;
  services_.view = &view_;
  services_.catalogue = &catalogue_;
  services_.extensions = &extensions_;
  services_.settings = &settings_;
  services_.settingsChanged = &settingsChanged_;
  workflow_ = std::make_unique<PhotoWorkflow>(services_);
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
