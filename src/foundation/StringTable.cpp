#include "foundation/StringTable.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace lumatag {

extern const char kEnglishStringTable[];
extern const unsigned kEnglishStringTableSize;

const StringModule& StringModule::BuiltIn() {
  static const StringModule english = [] {
    StringModule module;
    StringTableError error;
    // The English table is checked when it is turned into code, so it always parses.
    module.LoadText(std::string_view(kEnglishStringTable, kEnglishStringTableSize), &error);
    return module;
  }();
  return english;
}

bool StringModule::LoadText(std::string_view text, StringTableError* error) {
  storage_.clear();
  offsets_.clear();
  std::vector<StringTableEntry> entries;
  if (!ParseStringTableText(text, &entries, error)) return false;
  offsets_.assign(kLastStringId - kFirstStringId + 1, -1);
  for (const StringTableEntry& entry : entries) {
    offsets_[entry.id - kFirstStringId] = static_cast<int>(storage_.size());
    storage_ += static_cast<char16_t>(entry.text.size());
    storage_ += entry.text;
  }
  return true;
}

Status StringModule::LoadFile(const std::string& path, StringTableError* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return E_FILE_NOT_FOUND;
  std::ostringstream content;
  content << file.rdbuf();
  return LoadText(content.str(), error) ? S_OK : E_INVALIDARG;
}

int StringModule::Copy(std::uint16_t id, char16_t* destination, int room) const {
  const int offset = Offset(id);
  if (offset < 0 || destination == nullptr || room < 2) return 0;
  const int stored = storage_[static_cast<std::size_t>(offset)] + 1;
  const int copied = stored < room - 1 ? stored : room - 1;
  std::memcpy(destination, storage_.data() + offset, static_cast<std::size_t>(copied) * 2);
  destination[copied] = 0;
  return copied;
}

std::u16string_view StringModule::Text(std::uint16_t id) const {
  const int offset = Offset(id);
  if (offset < 0) return {};
  const std::size_t at = static_cast<std::size_t>(offset);
  return std::u16string_view(storage_).substr(at + 1, storage_[at]);
}

std::vector<std::uint16_t> StringModule::Ids() const {
  std::vector<std::uint16_t> ids;
  for (std::size_t i = 0; i < offsets_.size(); ++i) {
    if (offsets_[i] >= 0) ids.push_back(static_cast<std::uint16_t>(kFirstStringId + i));
  }
  return ids;
}

Status LoadString(const StringModule& module, std::uint16_t id, CountedString& target) {
  LT_TRY(target.Reserve(2));
  int copied = module.Copy(id, target.Storage(), target.Capacity() + 2);
  if (copied == 0) return E_RESOURCE_NOT_FOUND;
  const int count = target.Storage()[0];
  if (copied - 1 == count) {
    target.SetLength(copied - 1);
    return S_OK;
  }
  // Cut short: the count character already in the buffer gives the true length.
  const Status reserved = target.Reserve(count);
  if (Failed(reserved)) {
    target.SetLength(0);
    return reserved;
  }
  copied = module.Copy(id, target.Storage(), target.Capacity() + 2);
  if (copied == 0) {
    target.SetLength(0);
    return E_FAIL;
  }
  target.SetLength(copied - 1);
  return S_OK;
}

Status AppendString(const StringModule& module, std::uint16_t id, CountedString& target) {
  MessageString entry;
  LT_TRY(LoadString(module, id, entry));
  return target.Append(entry);
}

Status SubstitutePlaceholder(CountedString& target, int n, const char16_t* chars, int count) {
  if (chars == nullptr) return E_INVALIDARG;
  if (n < 0 || n > 99) return E_INDEX_OUT_OF_RANGE;
  char16_t placeholder[5] = {u'{'};
  int length = 1;
  if (n >= 10) placeholder[length++] = static_cast<char16_t>(u'0' + n / 10);
  placeholder[length++] = static_cast<char16_t>(u'0' + n % 10);
  placeholder[length++] = u'}';
  const std::size_t at = target.View().find(std::u16string_view(placeholder, length));
  if (at == std::u16string_view::npos) return E_NOT_FOUND;
  const int position = static_cast<int>(at);
  const long long total = static_cast<long long>(target.Length()) - length + count;
  if (total > CountedString::kMaxLength) {
    return target.IsFixed() ? E_BUFFER_TOO_SMALL : E_VALUE_OUT_OF_RANGE;
  }
  // A replacement taken from the target itself is copied first, since the text moves under it.
  std::u16string copy;
  const char16_t* storage = target.Storage();
  if (storage != nullptr && chars >= storage && chars <= storage + target.Capacity() + 1) {
    copy.assign(chars, static_cast<std::size_t>(count));
    chars = copy.data();
  }
  LT_TRY(target.Reserve(static_cast<int>(total)));
  target.Remove(position, length);
  return target.Insert(chars, count, position);
}

Status SubstitutePlaceholder(CountedString& target, int n, const CountedString& replacement) {
  return SubstitutePlaceholder(target, n, replacement.CStr(), replacement.Length());
}

Status SubstitutePlaceholder(CountedString& target, int n, std::u16string_view replacement) {
  return SubstitutePlaceholder(target, n, replacement.data() != nullptr ? replacement.data() : u"",
                               static_cast<int>(replacement.size()));
}

Status SubstitutePlaceholderEntry(CountedString& target, int n, const StringModule& module,
                                  std::uint16_t id) {
  MessageString entry;
  LT_TRY(LoadString(module, id, entry));
  return SubstitutePlaceholder(target, n, entry);
}

}  // namespace lumatag
