// Turning a metadata value into display text, and the dates held in date values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/StringTable.h"
#include "metadata/MetadataEntry.h"

namespace lumatag {

// Renders the entry's value into its text (and, for DateTime and DateTimeOriginal, its date) once;
// an entry that already has text is left alone. Named values of enumerated tags come from
// `strings`. No heap gives E_INVALIDARG; a type outside the accepted set E_UNEXPECTED (the text is
// then left empty). Texts longer than a string can hold are cut at its limit.
Status RenderMetadataValue(MetadataEntry* entry, PrivateHeap* heap, const StringModule& strings);

// Checks the value as RenderMetadataValue does and parses the date of a date value, but leaves
// the text to be made when it is asked for (MetadataEntryText), which keeps no text per value
// for the many photos of a scan. A named value of an enumerated tag is rendered at once: its text
// comes from `strings`. The text asked for later is exactly what rendering now would give.
Status PrepareMetadataValue(MetadataEntry* entry, PrivateHeap* heap, const StringModule& strings);

// The entry's text: the rendered text, or for a deferred entry the text made from its data, in
// `scratch` (which the view then points into).
std::u16string_view MetadataEntryText(const MetadataEntry& entry, std::u16string& scratch);

// Reads "2012:12:28 12:09:32"-style text: fields end at ":" or " ", each read like atoi, the first
// six becoming year, month, day, hour, minute and second. Stops at a zero byte or after `size`
// bytes. No range check.
SystemTime ParseMetadataDate(const std::uint8_t* bytes, std::uint32_t size);

// The string-table entry naming the first value of an enumerated SHORT tag, or 0 when there is
// none.
std::uint16_t EnumeratedValueText(std::uint16_t tag, std::uint16_t value);

}  // namespace lumatag
