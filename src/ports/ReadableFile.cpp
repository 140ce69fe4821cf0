#include "ports/ReadableFile.h"

namespace lumatag {

namespace {

// Opens each file of the folder by its joined path.
class JoinedPathFolder final : public ReadableFolder {
 public:
  JoinedPathFolder(const ReadableFileSystem& files, std::u16string_view folder)
      : files_(files), folder_(folder) {}

  Status OpenForReading(std::u16string_view name, std::string_view,
                        std::unique_ptr<ReadableFile>* file) const override {
    return files_.OpenForReading(JoinFolderAndName(folder_, name), file);
  }

 private:
  const ReadableFileSystem& files_;
  std::u16string folder_;
};

bool EndsInSeparator(std::u16string_view path) {
  if (path.empty()) return false;
  const char16_t last = path.back();
#ifdef _WIN32
  return last == u'\\' || last == u':';
#else
  return last == kPathSeparator;
#endif
}

}  // namespace

Status ReadableFileSystem::OpenFolder(std::u16string_view folder,
                                      std::unique_ptr<ReadableFolder>* opened) const {
  opened->reset(new JoinedPathFolder(*this, folder));
  return S_OK;
}

std::u16string JoinFolderAndName(std::u16string_view folder, std::u16string_view name) {
  std::u16string path;
  path.reserve(folder.size() + 1 + name.size());
  path.assign(folder);
  if (!EndsInSeparator(folder)) path += kPathSeparator;
  path += name;
  return path;
}

}  // namespace lumatag
