#include "foundation/CountedString.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

// The count character and the terminator must agree with the length after every operation.
void ExpectConsistent(const CountedString& s) {
  ASSERT_LE(s.Length(), s.Capacity());
  if (s.Storage() == nullptr) return;
  EXPECT_EQ(s.Storage()[0], s.Length());
  EXPECT_EQ(s.Storage()[s.Length() + 1], 0);
}

std::u16string Of(const CountedString& s) {
  return std::u16string(s.View());
}

TEST(CountedStringTest, HeapModeGrowsToExactlyTheLengthAsked) {
  CountedString s;
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(s.CStr()), "");
  ASSERT_OK(s.Assign(u"abc"));
  EXPECT_EQ(s.Capacity(), 3);
  EXPECT_TRUE(s.Owned());
  ASSERT_OK(s.Append(u"de"));
  EXPECT_EQ(s.Capacity(), 5);
  ASSERT_OK(s.Append(u'f'));
  EXPECT_EQ(Of(s), u"abcdef");
  ExpectConsistent(s);
  // Reserving less than the capacity keeps the storage.
  const char16_t* storage = s.Storage();
  ASSERT_OK(s.Reserve(2));
  EXPECT_EQ(s.Storage(), storage);
}

TEST(CountedStringTest, LengthLimitIs65533) {
  CountedString s;
  std::u16string longest(65533, u'x');
  ASSERT_OK(s.Assign(longest));
  EXPECT_EQ(s.Length(), 65533);
  ExpectConsistent(s);
  EXPECT_STATUS(E_VALUE_OUT_OF_RANGE, s.Append(u'y'));
  EXPECT_EQ(s.Length(), 65533);
  CountedString t;
  ASSERT_OK(t.Assign(u"keep"));
  EXPECT_STATUS(E_VALUE_OUT_OF_RANGE, t.Assign(std::u16string(65534, u'x')));
  EXPECT_EQ(Of(t), u"keep");
}

TEST(CountedStringTest, FixedModeNeverGrowsAndLeavesTextUnchanged) {
  FixedString<4> s;
  EXPECT_TRUE(s.IsFixed());
  ASSERT_OK(s.Assign(u"abcd"));
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, s.Append(u'e'));
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, s.Insert(u"xy", 2, 0));
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, s.Assign(u"abcde"));
  EXPECT_EQ(Of(s), u"abcd");
  ExpectConsistent(s);
}

TEST(CountedStringTest, InsertRemoveAndLengthOperations) {
  CountedString s;
  ASSERT_OK(s.Assign(u"held"));
  ASSERT_OK(s.Insert(u"llo wor", 7, 2));
  EXPECT_EQ(Of(s), u"hello world");
  EXPECT_STATUS(E_INDEX_OUT_OF_RANGE, s.Insert(u"x", 1, 12));
  EXPECT_STATUS(E_INDEX_OUT_OF_RANGE, s.Insert(u"x", 1, -1));
  EXPECT_STATUS(E_INVALIDARG, s.Insert(nullptr, 1, 0));
  s.Remove(5, 100);  // at most to the end
  EXPECT_EQ(Of(s), u"hello");
  s.Remove(1, 0);
  s.Remove(9, 1);
  EXPECT_EQ(Of(s), u"hello");
  s.Truncate(10);
  EXPECT_EQ(s.Length(), 5);
  s.Truncate(2);
  EXPECT_EQ(Of(s), u"he");
  ExpectConsistent(s);

  FixedString<8> f;
  f.MutableText()[0] = u'a';
  f.MutableText()[1] = u'b';
  f.MutableText()[2] = 0;
  f.Remeasure();
  EXPECT_EQ(Of(f), u"ab");
  f.SetLength(100);  // clamped to the capacity
  EXPECT_EQ(f.Length(), 8);
  ExpectConsistent(f);
  f.Clear();
  EXPECT_EQ(f.Length(), 0);
  ExpectConsistent(f);
}

TEST(CountedStringTest, ItsOwnTextCanBeAppendedAndInserted) {
  CountedString s;
  ASSERT_OK(s.Assign(u"abc"));
  ASSERT_OK(s.Append(s.CStr(), s.Length()));  // the storage moves while copying
  EXPECT_EQ(Of(s), u"abcabc");
  ASSERT_OK(s.Insert(s.CStr() + 1, 2, 1));
  EXPECT_EQ(Of(s), u"abcbcabc");
  ASSERT_OK(s.Assign(s.CStr() + 2, 3));
  EXPECT_EQ(Of(s), u"cbc");
}

TEST(CountedStringTest, AssignFromAnEmptyStringClears) {
  CountedString s, empty;
  ASSERT_OK(s.Assign(u"text"));
  ASSERT_OK(s.Assign(empty));
  EXPECT_EQ(s.Length(), 0);
  ExpectConsistent(s);
}

TEST(CountedStringTest, Find) {
  CountedString s;
  ASSERT_OK(s.Assign(u"C:\\photos\\a-b.jpg"));
  EXPECT_EQ(s.FindChar(u'\\'), 2);
  EXPECT_EQ(s.FindChar(u'\\', 3), 9);
  EXPECT_EQ(s.FindChar(u'z'), -1);
  EXPECT_EQ(s.FindText(u"photos"), 3);
  EXPECT_EQ(s.FindText(u"nope"), -1);
  EXPECT_EQ(s.FindLastBackslash(), 9);
  CountedString empty;
  EXPECT_EQ(empty.FindLastBackslash(), -1);
}

TEST(CountedStringTest, TrimsWhiteSpaceAtEitherEnd) {
  CountedString s;
  ASSERT_OK(s.Assign(u" \t\u3000 name \u00A0\n"));
  s.TrimTrailing();
  EXPECT_EQ(Of(s), u" \t\u3000 name");
  s.TrimLeading();
  EXPECT_EQ(Of(s), u"name");
  ExpectConsistent(s);
  ASSERT_OK(s.Assign(u"   "));
  s.TrimTrailing();
  EXPECT_EQ(s.Length(), 0);
}

TEST(CountedStringTest, HeapObjectsAndCopies) {
  CountedString* copy = nullptr;
  ASSERT_OK(CountedString::CopyCreate(nullptr, &PrivateHeap::Process(), &copy));
  EXPECT_EQ(copy, nullptr);
  CountedString source;
  ASSERT_OK(source.Assign(u"copy me"));
  ASSERT_OK(CountedString::CopyCreate(&source, &PrivateHeap::Process(), &copy));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Of(*copy), u"copy me");
  CountedString::Destroy(copy);
  EXPECT_STATUS(E_INVALIDARG, source.AttachHeap(nullptr));
}

TEST(CountedStringTest, MovingHandsTheStorageOver) {
  CountedString a;
  ASSERT_OK(a.Assign(u"moved"));
  CountedString b(std::move(a));
  EXPECT_EQ(Of(b), u"moved");
  EXPECT_EQ(a.Length(), 0);
  ASSERT_OK(a.Assign(u"again"));  // the source stays usable
  EXPECT_EQ(Of(a), u"again");
}

TEST(PrivateHeapTest, RoundsToFourBytesAndRefusesAnOverflowingSize) {
  EXPECT_EQ(PrivateHeap::RoundedSize(1), 4u);
  EXPECT_EQ(PrivateHeap::RoundedSize(4), 4u);
  EXPECT_EQ(PrivateHeap::RoundedSize(5), 8u);
  EXPECT_EXIT(PrivateHeap::Process().Allocate(static_cast<std::size_t>(-1)),
              testing::ExitedWithCode(kFatalExitStatus & 0xFF), "Fatal error 0x80090502");
}

TEST(EncodingTest, EightBitTextIsUtf8WhenValidElseWindows1252) {
  char16_t out[16];
  int written = 0;
  ASSERT_OK(ConvertFromAnsi("caf\xC3\xA9", 5, out, 16, &written));
  EXPECT_EQ(std::u16string(out, written), u"café");
  ASSERT_OK(ConvertFromAnsi("\x93Hi\x94 \xE9", 6, out, 16, &written));
  EXPECT_EQ(std::u16string(out, written), u"\u201CHi\u201D é");
  EXPECT_STATUS(E_TRUNCATED, ConvertFromAnsi("abcdef", 6, out, 4, &written));
  EXPECT_EQ(std::u16string(out), u"abc");
  ASSERT_OK(ConvertFromAnsi("", 0, out, 16));
  EXPECT_EQ(out[0], 0);
  char back[8];
  ASSERT_OK(ConvertToAnsi(u"é", 1, back, 8));
  EXPECT_STREQ(back, "\xC3\xA9");
  EXPECT_STATUS(E_TRUNCATED, ConvertToAnsi(u"aé", 2, back, 3));
  EXPECT_STREQ(back, "a");  // never half a character
}

}  // namespace
}  // namespace lumatag
