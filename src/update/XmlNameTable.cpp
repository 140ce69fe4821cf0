#include "update/XmlNameTable.h"

#include "ports/TextComparer.h"

namespace lumatag {

int XmlNameTable::Bucket(std::u16string_view name) {
  const std::size_t n = name.size();
  if (n == 0) return 0;
  const unsigned h = name[n / 4] + 2u * (name[n - 1] + 2u * (name[0] + name[n / 2]));
  return static_cast<int>(h % kBucketCount);
}

Status XmlNameTable::Fill(const StringModule& strings) {
  for (auto& bucket : buckets_) bucket.clear();
  names_.clear();
  for (std::uint16_t id = kFirstNameId; id <= kLastNameId; ++id) {
    const std::u16string_view name = strings.Text(id);
    if (name.empty()) {
      for (auto& bucket : buckets_) bucket.clear();
      names_.clear();
      return E_RESOURCE_NOT_FOUND;
    }
    names_.push_back({name, id});
    buckets_[Bucket(name)].push_back({name, id});
  }
  return S_OK;
}

std::uint16_t XmlNameTable::Lookup(std::u16string_view name) const {
  if (name.empty()) return 0;
  for (const Entry& entry : buckets_[Bucket(name)]) {
    if (entry.name.size() == name.size() && CompareInvariant(entry.name, name, false) == 0) {
      return entry.id;
    }
  }
  return 0;
}

std::u16string_view XmlNameTable::NameOf(std::uint16_t id) const {
  if (id < kFirstNameId || id > kLastNameId || names_.empty()) return {};
  return names_[id - kFirstNameId].name;
}

}  // namespace lumatag
