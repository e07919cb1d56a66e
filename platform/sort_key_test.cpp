#include "platform/sort_key.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace ledgerix::platform {
namespace {

SortKey KeyOf(Property property, uint32_t object_id) {
  return SortKey::Of({Property::Int32(99, 0), std::move(property)}, 7, object_id);
}

int Sign(int v) { return (v > 0) - (v < 0); }

// The byte order of keys must be the order of the values they hold, for every pair.
TEST(SortKeyTest, NumbersOrderByValue) {
  std::mt19937 random(1);
  std::vector<Property> values = {Property::Int32(7, std::numeric_limits<int32_t>::min()),
                                  Property::Int32(7, std::numeric_limits<int32_t>::max()),
                                  Property::Int16(7, -32768),
                                  Property::Int16(7, 32767),
                                  Property::Int16(7, -1),
                                  Property::Bool(7, false),
                                  Property::Bool(7, true),
                                  Property::Double(7, -std::numeric_limits<double>::infinity()),
                                  Property::Double(7, std::numeric_limits<double>::infinity()),
                                  Property::Double(7, -0.0),
                                  Property::Double(7, 0.0),
                                  Property::Double(7, 0.5),
                                  Property::Double(7, -1e300),
                                  Property::Double(7, std::numeric_limits<double>::denorm_min())};
  for (int i = 0; i < 300; ++i) {
    values.push_back(Property::Int32(7, static_cast<int32_t>(random())));
    values.push_back(Property::Int16(7, static_cast<int16_t>(random())));
    values.push_back(Property::Double(7, std::ldexp(static_cast<double>(random()) - 2e9,
                                                    static_cast<int>(random() % 200) - 100)));
  }
  auto number = [](const Property& p) -> double {
    switch (p.kind()) {
      case PropertyKind::kInt16:
        return std::get<int16_t>(p.value);
      case PropertyKind::kInt32:
        return std::get<int32_t>(p.value);
      case PropertyKind::kBool:
        return std::get<bool>(p.value) ? 1 : 0;
      default:
        return std::get<double>(p.value);
    }
  };
  for (const Property& a : values) {
    for (const Property& b : values) {
      const double x = number(a), y = number(b);
      const SortKey ka = KeyOf(a, 5), kb = KeyOf(b, 5);
      ASSERT_EQ(ka < kb, x < y) << x << " " << y;
      ASSERT_EQ(ka.SameValue(kb), x == y) << x << " " << y;
    }
  }
}

std::u16string RandomText(std::mt19937& random) {
  static const char16_t kUnits[] = {0, 1, 'a', 'b', 0x00FF, 0x0100, 0x0430, 0xD83D, 0xDCB0, 0xFFFF};
  std::u16string text(random() % 5, u'\0');
  for (char16_t& unit : text) unit = kUnits[random() % std::size(kUnits)];
  return text;
}

TEST(SortKeyTest, TextsOrderByCodeUnitsWithPrefixesFirst) {
  std::mt19937 random(2);
  for (int i = 0; i < 20000; ++i) {
    const std::u16string a = RandomText(random), b = RandomText(random);
    // Object ids in the opposite order must not change the order of different values.
    const SortKey ka = KeyOf(Property::Text(7, a), 2), kb = KeyOf(Property::Text(7, b), 1);
    ASSERT_EQ(Sign(ka.bytes().compare(kb.bytes())), a == b ? 1 : Sign(a.compare(b)));
  }
}

TEST(SortKeyTest, BlobsOrderByteByByte) {
  std::mt19937 random(3);
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> a(random() % 4), b(random() % 4);
    for (uint8_t& byte : a) byte = static_cast<uint8_t>(random() % 3 == 0 ? 0 : random());
    for (uint8_t& byte : b) byte = static_cast<uint8_t>(random() % 3 == 0 ? 0 : random());
    const SortKey ka = KeyOf(Property::Blob(7, a), 9), kb = KeyOf(Property::Blob(7, b), 1);
    ASSERT_EQ(ka < kb, a < b);  // equal blobs: object id 9 after 1
  }
}

TEST(SortKeyTest, GroupsAndTiesOrder) {
  const SortKey missing = SortKey::Of({Property::Int32(1, 5)}, 0, 9);
  const SortKey nan = KeyOf(Property::Double(7, std::nan("")), 8);
  const SortKey lowest_number = KeyOf(Property::Double(7, -INFINITY), 7);
  const SortKey text = KeyOf(Property::Text(7, u""), 6);
  const SortKey blob = KeyOf(Property::Blob(7, {}), 5);
  EXPECT_LT(SortKey::Lowest(), missing);
  EXPECT_LT(missing, nan);
  EXPECT_LT(nan, lowest_number);
  EXPECT_LT(lowest_number, text);
  EXPECT_LT(text, blob);
  EXPECT_LT(blob, SortKey::Highest());

  // Equal values order by object id, whatever their kinds.
  EXPECT_LT(KeyOf(Property::Int32(7, 1), 3), KeyOf(Property::Bool(7, true), 4));
  EXPECT_LT(KeyOf(Property::Bool(7, true), 255), KeyOf(Property::Int16(7, 1), 256));
  EXPECT_TRUE(KeyOf(Property::Int32(7, 1), 3).SameValue(KeyOf(Property::Double(7, 1.0), 4)));
  EXPECT_EQ(KeyOf(Property::Text(7, u"x"), 0xA1B2C3D4).object_id(), 0xA1B2C3D4u);
  EXPECT_EQ(SortKey::Highest().object_id(), 0u);
}

}  // namespace
}  // namespace ledgerix::platform
