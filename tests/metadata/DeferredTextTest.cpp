// Values read with their texts deferred (as a folder scan reads them) give, when asked, exactly
// the texts that rendering at once gives; small values live inside their entry and survive moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "metadata/PhotoMetadataReader.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/fake/MemoryFileSystem.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Ifd;
using photo::PhotoBuilder;

// Every kind of value the renderer treats on its own, in either byte order.
PhotoBuilder EveryKindOfValue(ByteOrder order) {
  PhotoBuilder builder(order);
  builder
      .Short(Ifd::kPrimary, kTagOrientation, {6})            // a named value
      .Short(Ifd::kPrimary, kTagResolutionUnit, {42})        // enumerated tag, unnamed value
      .Short(Ifd::kPrimary, 0x0213, {1, 2, 3})               // several numbers
      .Long(Ifd::kPrimary, 0x0201, {4294967295u, 0})         // LONG
      .Ascii(Ifd::kPrimary, kTagMake, "  Caf\xe9 Camera  ")  // trimmed, not ASCII
      .Ascii(Ifd::kPrimary, kTagDateTime, "2012:12:28 12:09:32")
      .Rational(Ifd::kPrimary, kTagXResolution, {{300, 1}})  // four-byte fields inline
      .Rational(Ifd::kExif, kTagExposureTime, {{1, 60}})
      .Rational(Ifd::kExif, kTagFNumber, {{71, 10}})
      .Rational(Ifd::kExif, kTagFocalLength, {{0, 0}})
      .SRational(Ifd::kExif, 0x9204, {{-1, 3}, {-2147483647 - 1, -1}})
      .SLong(Ifd::kExif, 0x9201, {-5})
      .Ascii(Ifd::kExif, kTagDateTimeOriginal, "2013:01:02 03:04:05")
      .Ascii(Ifd::kExif, kTagDateTimeDigitized, "")
      .UnicodeComment(Ifd::kExif, u"  Trip \u00e9t\u00e9 ")
      .Bytes8(Ifd::kExif, 0xA300, kTypeUndefined, {3})
      .Bytes8(Ifd::kExif, 0x9101, kTypeUndefined, {1, 2, 3, 0, 9, 8, 7, 6, 5})
      .Raw(Ifd::kExif, 0xA420, kTypeAscii, 0, {});
  return builder;
}

struct Read {
  Status status;
  PhotoFacts photo;
};

class DeferredTextTest : public ::testing::Test {
 protected:
  DeferredTextTest() { context_.files = &files_; }

  Read ReadFile(std::u16string_view folder, bool defer) {
    Read read;
    EXPECT_OK(SetupPhotoFacts(&read.photo, &heap_, u"a.jpg", kNoDate, kNoPatternIndex, 0));
    MetadataReadContext context = context_;
    context.deferText = defer;
    read.status = ReadPhotoMetadata(context, folder, &read.photo, nullptr, false);
    return read;
  }

  // Reads the file both ways and compares entry by entry.
  void ExpectSameTexts(std::u16string_view folder) {
    const Read now = ReadFile(folder, false);
    const Read later = ReadFile(folder, true);
    EXPECT_EQ(now.status, later.status);
    ASSERT_EQ(now.photo.metadata.Count(), later.photo.metadata.Count());
    ASSERT_GT(now.photo.metadata.Count(), 0);
    int deferred = 0;
    for (int i = 0; i < now.photo.metadata.Count(); ++i) {
      const MetadataEntry& a = now.photo.metadata.At(i);
      const MetadataEntry& b = later.photo.metadata.At(i);
      SCOPED_TRACE(testing::Message() << "tag 0x" << std::hex << a.tag);
      EXPECT_EQ(a.tag, b.tag);
      EXPECT_FALSE(a.textDeferred);
      std::u16string scratch;
      EXPECT_EQ(std::u16string(MetadataEntryText(b, scratch)), std::u16string(a.text.View()));
      EXPECT_EQ(std::u16string(MetadataEntryText(a, scratch)), std::u16string(a.text.View()));
      EXPECT_EQ(a.hasDate, b.hasDate);
      EXPECT_EQ(a.date, b.date);
      if (b.textDeferred) {
        ++deferred;
        EXPECT_TRUE(b.text.IsEmpty());  // nothing kept until asked for
      }
    }
    EXPECT_GT(deferred, 0);
    EXPECT_EQ(GetPictureTakenDate(now.photo), GetPictureTakenDate(later.photo));
  }

  PrivateHeap heap_;
  MemoryFileSystem files_;
  MetadataReadContext context_;
};

TEST_F(DeferredTextTest, DeferredTextsAreExactlyTheRenderedOnes) {
  files_.Add(u"/m/a.jpg", EveryKindOfValue(ByteOrder::kMotorola).Jpeg());
  files_.Add(u"/i/a.jpg", EveryKindOfValue(ByteOrder::kIntel).Tiff());
  files_.Add(u"/c/a.jpg", photo::CameraLikePhoto(ByteOrder::kMotorola, 3).Jpeg());
  for (const char16_t* folder : {u"/m", u"/i", u"/c"}) {
    SCOPED_TRACE(Utf16ToUtf8(folder));
    ExpectSameTexts(folder);
  }
  // A named value is rendered at once: its text comes from the string table.
  const Read later = ReadFile(u"/m", true);
  const MetadataEntry* orientation = FindMetadataEntry(later.photo, kTagOrientation);
  ASSERT_NE(orientation, nullptr);
  EXPECT_FALSE(orientation->textDeferred);
  EXPECT_EQ(orientation->text.View(), u"portrait");
}

TEST_F(DeferredTextTest, ATextLongerThanAStringHoldsIsCutTheSameWay) {
  // Surrogate pairs across the cut: the high half at the limit is dropped either way.
  std::u16string comment;
  while (comment.size() < CountedString::kMaxLength + 10) comment += u"a\U0001F600";
  PhotoBuilder builder(ByteOrder::kIntel);
  builder.UnicodeComment(Ifd::kExif, comment)
      .Ascii(Ifd::kPrimary, kTagModel, std::string(70000, 'x'));
  files_.Add(u"/long/a.jpg", builder.Tiff());
  ExpectSameTexts(u"/long");
}

TEST(MetadataEntryDataTest, SmallValuesLiveInTheEntryAndSurviveMoves) {
  PrivateHeap heap;
  heap.FailAllocationsAfter(0);
  // Up to eight bytes need no allocation; a larger value does.
  MetadataEntry small;
  ASSERT_OK(small.AllocateData(&heap, MetadataEntry::kInlineBytes));
  MetadataEntry large;
  EXPECT_STATUS(E_OUTOFMEMORY, large.AllocateData(&heap, MetadataEntry::kInlineBytes + 1));
  EXPECT_EQ(large.data, nullptr);
  EXPECT_EQ(large.DataSize(), 0u);
  heap.FailAllocationsAfter(-1);

  for (std::uint8_t i = 0; i < MetadataEntry::kInlineBytes; ++i) small.data[i] = i + 1;
  small.tag = kTagFNumber;
  std::vector<MetadataEntry> moved;
  moved.push_back(std::move(small));
  for (int i = 0; i < 40; ++i) moved.emplace_back();  // growth moves the first entry again
  MetadataEntry last = std::move(moved.front());
  EXPECT_EQ(small.data, nullptr);
  EXPECT_EQ(moved.front().data, nullptr);
  ASSERT_EQ(last.DataSize(), MetadataEntry::kInlineBytes);
  EXPECT_TRUE(last.data >= reinterpret_cast<std::uint8_t*>(&last) &&
              last.data < reinterpret_cast<std::uint8_t*>(&last + 1));
  for (std::uint8_t i = 0; i < MetadataEntry::kInlineBytes; ++i) EXPECT_EQ(last.data[i], i + 1);

  // A value that grows past the entry moves out to the heap, and back in when it shrinks.
  ASSERT_OK(last.AllocateData(&heap, 64));
  EXPECT_FALSE(last.data >= reinterpret_cast<std::uint8_t*>(&last) &&
               last.data < reinterpret_cast<std::uint8_t*>(&last + 1));
  ASSERT_OK(last.AllocateData(&heap, 2));
  EXPECT_EQ(last.DataSize(), 2u);
}

}  // namespace
}  // namespace lumatag
