// The element and attribute names that the XML loader knows, each identified by its string-table
// id: a hash table of 32 buckets keyed by the name text. Element and attribute names share it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/StringTable.h"

namespace lumatag {

class XmlNameTable {
 public:
  static constexpr int kBucketCount = 32;
  // The ids of the known names, in the order they are added.
  static constexpr std::uint16_t kFirstNameId = IDS_XML_CNT;
  static constexpr std::uint16_t kLastNameId = IDS_XML_VERS_LATEST;

  // The bucket of a name of n units: u[n/4] + 2 × (u[n−1] + 2 × (u[0] + u[n/2])), mod 32.
  static int Bucket(std::u16string_view name);

  bool IsFilled() const { return !names_.empty(); }
  // Fills the table from `strings`; E_RESOURCE_NOT_FOUND when a name is missing there.
  Status Fill(const StringModule& strings);

  // The id of a known name (exact, case-sensitive comparison), 0 when the name is not known.
  std::uint16_t Lookup(std::u16string_view name) const;
  // The name of an id, empty when the id is not known.
  std::u16string_view NameOf(std::uint16_t id) const;

 private:
  struct Entry {
    std::u16string_view name;
    std::uint16_t id;
  };
  std::vector<Entry> buckets_[kBucketCount];
  std::vector<Entry> names_;
};

}  // namespace lumatag
