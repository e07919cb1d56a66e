#include "engine/db_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ledgerix {
namespace {

using namespace std::string_view_literals;

std::string Text(const DbValue& v) { return std::string(v.ToText().View()); }

TEST(DbValueTest, TypedSettersTakeTheirTypeOnlyWhenUntyped) {
  DbValue v;
  EXPECT_EQ(v.Type(), DbValueType::Untyped);
  EXPECT_EQ(v.RawData(), nullptr);
  v.SetInt32(-5);
  EXPECT_EQ(v.Type(), DbValueType::Int32);
  EXPECT_EQ(v.AsInt32(), -5);

  DbValue flag(DbValueType::Bool8);
  flag.SetInt32(0x12345678);  // stores 32 bits, stays Bool8
  EXPECT_EQ(flag.Type(), DbValueType::Bool8);
  EXPECT_EQ(flag.LowWord(), 0x12345678u);
  flag.SetBool8(1);  // releasing zeroes the low word first
  EXPECT_EQ(flag.LowWord(), 1u);

  DbValue wide(DbValueType::Float64);
  wide.SetFloat64(1.5);
  wide.SetInt16(7);  // only the low word is released; the high word stays
  EXPECT_EQ(wide.LowWord(), 7u);
  EXPECT_EQ(wide.AsFloat64() != 0, true);
}

TEST(DbValueTest, NumericSetterOnTextTakesTheSettersType) {
  DbValue v("abc");
  v.SetInt32(9);
  EXPECT_EQ(v.Type(), DbValueType::Int32);
  EXPECT_EQ(v.TextBlockSize(), 0u);
  EXPECT_EQ(Text(v), "9");
}

TEST(DbValueTest, SetTypeFreesTextWithoutConverting) {
  DbValue v("abc");
  EXPECT_EQ(v.SetType(DbValueType::Int32), DbValueType::Text);
  EXPECT_EQ(v.TextBlockSize(), 0u);
  EXPECT_EQ(v.AsInt32(), 0);
  v.SetInt32(44);
  v.SetType(DbValueType::Bool32);
  EXPECT_EQ(v.AsInt32(), 44);
}

TEST(DbValueTest, ByteSizeAndReset) {
  EXPECT_EQ(DbValue(DbValueType::Bool8).ByteSize(), 1u);
  EXPECT_EQ(DbValue(DbValueType::Int16).ByteSize(), 2u);
  EXPECT_EQ(DbValue(DbValueType::Bool32).ByteSize(), 4u);
  EXPECT_EQ(DbValue(DbValueType::Float64B).ByteSize(), 8u);
  EXPECT_EQ(DbValue(DbValueType::Untyped).ByteSize(), 0u);
  EXPECT_EQ(DbValue(DbValueType::Text).ByteSize(), 0u);
  DbValue text("hello");
  EXPECT_EQ(text.ByteSize(), 5u);
  text.Reset();
  EXPECT_EQ(text.ByteSize(), 0u);
  EXPECT_EQ(text.TextBlockSize(), 6u);  // the block stays
}

TEST(DbValueTest, SetTextReusesTheBlockOnlyForShorterText) {
  DbValue v("0123456789");
  EXPECT_EQ(v.TextBlockSize(), 11u);
  const void* block = v.RawData();
  v.SetText("abc");
  EXPECT_EQ(v.RawData(), block);
  EXPECT_STREQ(v.CStr(), "abc");
  v.SetText("abcdefghijkl");
  EXPECT_EQ(v.TextBlockSize(), 13u);
  EXPECT_STREQ(v.CStr(), "abcdefghijkl");
  v.SetText(static_cast<const char*>(nullptr));
  EXPECT_STREQ(v.CStr(), "abcdefghijkl");
  v.SetText(v.CStr() + 4);  // its own tail
  EXPECT_STREQ(v.CStr(), "efghijkl");

  DbValue number(7);
  number.SetText("x");
  EXPECT_EQ(number.Type(), DbValueType::Text);
}

TEST(DbValueTest, CopyFrom) {
  DbValue target;
  target.SetTag(3);
  target.CopyFrom(DbValue(42));
  EXPECT_EQ(target.Type(), DbValueType::Int32);
  EXPECT_EQ(target.AsInt32(), 42);
  EXPECT_EQ(target.Tag(), 3u);
  target.CopyFrom(DbValue("name"));
  EXPECT_EQ(target.Type(), DbValueType::Text);
  EXPECT_STREQ(target.CStr(), "name");
  target.CopyFrom(target);
  EXPECT_STREQ(target.CStr(), "name");

  DbValue typed(DbValueType::Bool32);
  typed.CopyFrom(DbValue(5));
  EXPECT_EQ(typed.Type(), DbValueType::Bool32);
  EXPECT_EQ(Text(typed), "true");
}

TEST(DbValueTest, CopiesAndMovesKeepTypeContentAndTag) {
  DbValue a("text");
  a.SetTag(12);
  DbValue b = a;
  EXPECT_STREQ(b.CStr(), "text");
  EXPECT_NE(b.RawData(), a.RawData());
  EXPECT_EQ(b.Tag(), 12u);
  DbValue c = std::move(a);
  EXPECT_STREQ(c.CStr(), "text");
  b = DbValue(5);
  EXPECT_EQ(b.AsInt32(), 5);
  EXPECT_EQ(b.Type(), DbValueType::Int32);
}

DbValue Float64Of(double x) {
  DbValue v;
  v.SetFloat64(x);
  return v;
}

TEST(DbValueTest, ToTextOfEveryType) {
  DbValue b8(DbValueType::Bool8);
  EXPECT_EQ(Text(b8), "false");
  b8.SetBool8(2);
  EXPECT_EQ(Text(b8), "true");
  DbValue b32;
  b32.SetBool32(0x10000);
  EXPECT_EQ(Text(b32), "true");
  DbValue i16;
  i16.SetInt16(-300);
  EXPECT_EQ(Text(i16), "-300");
  EXPECT_EQ(Text(DbValue(-2147483647 - 1)), "-2147483648");
  EXPECT_EQ(Text(DbValue("как есть")), "как есть");
  EXPECT_EQ(Text(DbValue(static_cast<const char*>(nullptr))), "");
  EXPECT_EQ(Text(DbValue()), "");
  DbValue f32;
  f32.SetFloat32(2.5f);
  EXPECT_EQ(Text(f32), "2.50");
  DbValue f64b;
  f64b.SetFloat64B(7.25);
  EXPECT_EQ(Text(f64b), "7.25");
}

TEST(DbValueTest, Float64TextCutsToHundredths) {
  EXPECT_EQ(Text(Float64Of(12.5)), "12.50");
  EXPECT_EQ(Text(Float64Of(3.07)), "3.07");
  EXPECT_EQ(Text(Float64Of(0.29)), "0.28");  // 0.29 * 100 falls just below 29
  EXPECT_EQ(Text(Float64Of(0)), "0.00");
  EXPECT_EQ(Text(Float64Of(5e9)), "5000000000.00");  // beyond 32 bits
}

TEST(DbValueTest, NegativeFloat64TextHasOneSign) {
  // Taking whole and hundredths separately would give "-12.0-50".
  EXPECT_EQ(Text(Float64Of(-12.5)), "-12.50");
  EXPECT_EQ(Text(Float64Of(-0.5)), "-0.50");
  EXPECT_EQ(Text(Float64Of(-3.07)), "-3.07");
  EXPECT_EQ(Text(Float64Of(-0.001)), "0.00");
}

TEST(DbValueTest, EncodeDecodeRoundTripsEveryType) {
  DbValue b8, i16, i32, f32, f64, f64b, b32, text("abc");
  b8.SetBool8(1);
  i16.SetInt16(-2);
  i32.SetInt32(-70000);
  f32.SetFloat32(1.25f);
  f64.SetFloat64(-9.75);
  f64b.SetFloat64B(1e100);
  b32.SetBool32(0xDEADBEEF);
  for (const DbValue* v : {&b8, &i16, &i32, &f32, &f64, &f64b, &b32, &text}) {
    DbString bytes;
    ASSERT_TRUE(v->Encode(&bytes, v->Type()));
    const uint32_t width = v->Type() == DbValueType::Text ? 4 : FixedWidthOf(v->Type());
    EXPECT_EQ(bytes.Length(), width);
    bytes.Append("tail");
    DbValue back;
    EXPECT_EQ(back.Decode(bytes.View(), v->Type()), width);
    EXPECT_EQ(back.Type(), v->Type());
    EXPECT_TRUE(back.Equals(*v)) << static_cast<int>(v->Type());
    EXPECT_EQ(back.Decode(&bytes, v->Type()), width);
    EXPECT_EQ(bytes.View(), "tail");
  }
}

TEST(DbValueTest, EncodingIsLittleEndian) {
  DbString bytes;
  EXPECT_TRUE(DbValue(0x01020304).Encode(&bytes, DbValueType::Int32));
  DbValue i16;
  i16.SetInt16(0x0506);
  EXPECT_TRUE(i16.Encode(&bytes, DbValueType::Int16));
  EXPECT_EQ(bytes.View(), "\x04\x03\x02\x01\x06\x05"sv);
}

TEST(DbValueTest, EncodeFailures) {
  DbString bytes("x");
  EXPECT_FALSE(DbValue(1).Encode(&bytes, DbValueType::Untyped));
  EXPECT_FALSE(DbValue(1).Encode(&bytes, static_cast<DbValueType>(9)));
  EXPECT_FALSE(DbValue(1).Encode(nullptr, DbValueType::Int32));
  EXPECT_EQ(bytes.View(), "x");
  DbString empty;
  EXPECT_TRUE(DbValue(DbValueType::Text).Encode(&empty, DbValueType::Text));
  EXPECT_EQ(empty.View(), "\0"sv);
}

TEST(DbValueTest, DecodeFailuresConsumeNothing) {
  DbValue v(5);
  DbString three("\x01\x02\x03"sv);
  EXPECT_EQ(v.Decode(&three, DbValueType::Int32), 0u);
  EXPECT_EQ(three.Length(), 3u);
  EXPECT_EQ(v.Decode(""sv, DbValueType::Bool8), 0u);
  EXPECT_EQ(v.Decode("abcdefgh"sv, DbValueType::Untyped), 0u);
  EXPECT_EQ(v.Decode("abcdefgh"sv, static_cast<DbValueType>(9)), 0u);
  DbString unterminated("ab");
  EXPECT_EQ(v.Decode(&unterminated, DbValueType::Text), 0u);
  EXPECT_EQ(unterminated.Length(), 2u);
  EXPECT_EQ(v.AsInt32(), 5);

  DbString ok("ab\0c"sv);
  EXPECT_EQ(v.Decode(&ok, DbValueType::Text), 3u);
  EXPECT_STREQ(v.CStr(), "ab");
  EXPECT_EQ(ok.View(), "c");
}

TEST(DbValueTest, DecodeAfterDropFront) {
  // A row decoder drops each field's bytes; a catalog decoder may then erase from the front.
  DbString row("\x07\x00\x00\x00\x08\x00\x00\x00"sv);
  DbValue first;
  ASSERT_EQ(first.Decode(row.View(), DbValueType::Int32), 4u);
  row.DropFront(4);
  DbValue second;
  EXPECT_EQ(second.Decode(&row, DbValueType::Int32), 4u);
  EXPECT_EQ(first.AsInt32(), 7);
  EXPECT_EQ(second.AsInt32(), 8);
  EXPECT_EQ(row.Length(), 0u);
}

TEST(DbValueTest, EqualsAndGreater) {
  EXPECT_TRUE(DbValue(-1).Greater(DbValue(5)));  // low words compare unsigned
  EXPECT_FALSE(DbValue(5).Greater(DbValue(-1)));
  EXPECT_TRUE(DbValue("b").Greater(DbValue("a")));
  EXPECT_FALSE(DbValue("ab-c").Greater(DbValue("abc")));
  EXPECT_TRUE(DbValue("a").Greater(DbValue("A")));
  EXPECT_FALSE(DbValue("abc").Equals(DbValue("ABC")));
  EXPECT_TRUE(DbValue("abc").Equals(DbValue("abc")));
  EXPECT_TRUE(DbValue(DbValueType::Text).Equals(DbValue("")));
  EXPECT_TRUE(DbValue(3).Equals(DbValue(3)));

  DbValue small, large, negative_zero;
  small.SetFloat64(-2.0);
  large.SetFloat64(1.0);
  negative_zero.SetFloat64(-0.0);
  EXPECT_TRUE(large.Greater(small));  // as numbers, not as low words
  EXPECT_TRUE(negative_zero.Equals(Float64Of(0.0)));
  DbValue f32a, f32b;
  f32a.SetFloat32(-1.0f);
  f32b.SetFloat32(0.5f);
  EXPECT_TRUE(f32b.Greater(f32a));
}

}  // namespace
}  // namespace ledgerix
