#include "platform/property_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace ledgerix::platform {
namespace {

std::vector<Property> EveryKind() {
  return {Property::Int16(0, std::numeric_limits<int16_t>::min()),
          Property::Int32(1, std::numeric_limits<int32_t>::min()),
          Property::Text(2, u""),
          Property::Text(3, u"Расход \U0001F4B0 \xD800 a\0b"),  // non-BMP, a lone surrogate
          Property::Bool(4, true),
          Property::Bool(5, false),
          Property::Double(6, -0.5),
          Property::Blob(7, {}),
          Property::Blob(8, {0, 255, 0, 7}),
          Property::Int16(9, std::numeric_limits<int16_t>::max()),
          Property::Int32(10, std::numeric_limits<int32_t>::max())};
}

// Whether PropertyRecordReader reads `bytes` as a whole record; the ids and kinds it met go to
// `seen` (when given).
bool ReaderAccepts(std::string_view bytes,
                   std::vector<std::pair<uint16_t, PropertyKind>>* seen = nullptr) {
  PropertyRecordReader reader(bytes);
  uint16_t count = 0;
  if (!reader.Start(&count)) return false;
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t id;
    PropertyKind kind;
    std::string_view payload;
    if (!reader.Next(&id, &kind, &payload)) return false;
    if (seen != nullptr) seen->emplace_back(id, kind);
  }
  return reader.AtEnd();
}

TEST(PropertyRecordTest, EveryKindRoundTripsInOrder) {
  std::vector<Property> properties = EveryKind();
  std::u16string with_zero(u"a\0b", 3);
  properties.push_back(Property::Text(11, with_zero));
  std::reverse(properties.begin(), properties.end());  // order is kept, not sorted by id

  std::string bytes;
  ASSERT_TRUE(EncodePropertyRecord(properties, &bytes));
  std::vector<Property> read;
  ASSERT_TRUE(DecodePropertyRecord(bytes.data(), bytes.size(), &read));
  EXPECT_EQ(read, properties);

  // The reader walks the same properties without copying them.
  std::vector<std::pair<uint16_t, PropertyKind>> seen;
  ASSERT_TRUE(ReaderAccepts(bytes, &seen));
  ASSERT_EQ(seen.size(), properties.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].first, properties[i].id);
    EXPECT_EQ(static_cast<size_t>(seen[i].second), properties[i].value.index());
  }
}

TEST(PropertyRecordTest, SpecialDoublesKeepTheirBits) {
  const std::vector<Property> properties = {
      Property::Double(0, std::numeric_limits<double>::quiet_NaN()), Property::Double(1, -0.0),
      Property::Double(2, std::numeric_limits<double>::infinity()),
      Property::Double(3, std::numeric_limits<double>::denorm_min())};
  std::string bytes;
  ASSERT_TRUE(EncodePropertyRecord(properties, &bytes));
  std::vector<Property> read;
  ASSERT_TRUE(DecodePropertyRecord(bytes.data(), bytes.size(), &read));
  ASSERT_EQ(read.size(), 4u);
  EXPECT_TRUE(std::isnan(std::get<double>(read[0].value)));
  EXPECT_TRUE(std::signbit(std::get<double>(read[1].value)));
  EXPECT_EQ(std::get<double>(read[2].value), std::numeric_limits<double>::infinity());
  EXPECT_EQ(std::get<double>(read[3].value), std::numeric_limits<double>::denorm_min());
}

TEST(PropertyRecordTest, ReadingIntoAUsedListReplacesItsContents) {
  std::string bytes;
  ASSERT_TRUE(EncodePropertyRecord({Property::Int32(0, 1), Property::Text(1, u"x")}, &bytes));
  std::vector<Property> read = EveryKind();
  ASSERT_TRUE(DecodePropertyRecord(bytes.data(), bytes.size(), &read));
  EXPECT_EQ(read, (std::vector<Property>{Property::Int32(0, 1), Property::Text(1, u"x")}));
}

TEST(PropertyRecordTest, RefusesTwoPropertiesWithOneId) {
  std::string bytes = "untouched";
  EXPECT_FALSE(EncodePropertyRecord({Property::Int32(3, 1), Property::Text(3, u"a")}, &bytes));
  EXPECT_EQ(bytes, "untouched");
}

TEST(PropertyRecordTest, EmptyListRoundTrips) {
  std::string bytes;
  ASSERT_TRUE(EncodePropertyRecord({}, &bytes));
  std::vector<Property> read = EveryKind();
  ASSERT_TRUE(DecodePropertyRecord(bytes.data(), bytes.size(), &read));
  EXPECT_TRUE(read.empty());
}

TEST(PropertyRecordTest, DamagedBytesAreRefused) {
  std::string bytes;
  ASSERT_TRUE(EncodePropertyRecord(EveryKind(), &bytes));
  std::vector<Property> read;
  // Every cut short form fails rather than reading past the end, in the decoder and the reader.
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(DecodePropertyRecord(bytes.data(), size, &read)) << "size " << size;
    EXPECT_FALSE(ReaderAccepts(std::string_view(bytes).substr(0, size))) << "size " << size;
  }
  EXPECT_FALSE(DecodePropertyRecord((bytes + "x").data(), bytes.size() + 1, &read));
  EXPECT_FALSE(ReaderAccepts(bytes + "x"));

  std::string bad_kind;
  ASSERT_TRUE(EncodePropertyRecord({Property::Int32(0, 1)}, &bad_kind));
  bad_kind[4] = 9;  // count (2 bytes), id (2 bytes), then the kind
  EXPECT_FALSE(DecodePropertyRecord(bad_kind.data(), bad_kind.size(), &read));
  EXPECT_FALSE(ReaderAccepts(bad_kind));

  std::string bad_bool;
  ASSERT_TRUE(EncodePropertyRecord({Property::Bool(0, true)}, &bad_bool));
  bad_bool[5] = 2;
  EXPECT_FALSE(DecodePropertyRecord(bad_bool.data(), bad_bool.size(), &read));

  // A length far beyond the bytes present.
  std::string long_text;
  ASSERT_TRUE(EncodePropertyRecord({Property::Text(0, u"ab")}, &long_text));
  long_text[8] = '\x7F';
  EXPECT_FALSE(DecodePropertyRecord(long_text.data(), long_text.size(), &read));
  EXPECT_FALSE(ReaderAccepts(long_text));
}

}  // namespace
}  // namespace ledgerix::platform
