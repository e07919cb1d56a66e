#include "access/object_store_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace ledgerix {
namespace {

using platform::Property;
using platform::PropertyKind;

TEST(ObjectStoreValuesTest, CodesOfColumnTypesBothWays) {
  const std::vector<std::pair<DbValueType, int32_t>> stored = {
      {DbValueType::Untyped, 9},        {DbValueType::Bool8, 7},   {DbValueType::Int16, 0},
      {DbValueType::Int32, 2},          {DbValueType::Float32, 8}, {DbValueType::Float64, 8},
      {DbValueType::Float64B, 8},       {DbValueType::Bool32, 7},  {DbValueType::Text, 5},
      {static_cast<DbValueType>(12), 9}};
  for (const auto& [type, code] : stored) {
    EXPECT_EQ(ValueKindCodeOf(type), code) << static_cast<int>(type);
  }
  const std::vector<std::pair<int64_t, DbValueType>> read = {
      {0, DbValueType::Int16},   {1, DbValueType::Int16},    {2, DbValueType::Int32},
      {3, DbValueType::Int32},   {4, DbValueType::Untyped},  {5, DbValueType::Text},
      {6, DbValueType::Untyped}, {7, DbValueType::Bool8},    {8, DbValueType::Float64},
      {9, DbValueType::Untyped}, {-1, DbValueType::Untyped}, {1LL << 40, DbValueType::Untyped}};
  for (const auto& [code, type] : read) EXPECT_EQ(TypeOfValueKindCode(code), type) << code;

  EXPECT_EQ(PropertyKindOf(DbValueType::Int32), PropertyKind::kInt32);
  EXPECT_EQ(PropertyKindOf(DbValueType::Bool32), PropertyKind::kBool);
  EXPECT_EQ(PropertyKindOf(DbValueType::Float32), PropertyKind::kDouble);
  EXPECT_EQ(PropertyKindOf(DbValueType::Text), PropertyKind::kText);
  EXPECT_EQ(PropertyKindOf(DbValueType::Untyped), PropertyKind::kBlob);
}

TEST(ObjectStoreValuesTest, EveryWindows1251ByteCrossesAndComesBack) {
  std::string every_byte;
  for (int byte = 1; byte < 256; ++byte) every_byte.push_back(static_cast<char>(byte));
  DbValue field(DbValueType::Text);
  field.SetText(DbString(every_byte));
  DbString scratch;
  Property property;
  ASSERT_TRUE(FieldToProperty(field, DbValueType::Text, 4, &scratch, &property));
  EXPECT_EQ(property.id, 4);
  const std::u16string& wide = std::get<std::u16string>(property.value);
  ASSERT_EQ(wide.size(), every_byte.size());
  EXPECT_EQ(wide[0xA8 - 1], u'Ё');
  EXPECT_EQ(wide[0xB8 - 1], u'ё');
  EXPECT_EQ(wide[0xB9 - 1], u'№');

  DbValue back(DbValueType::Text);
  ASSERT_TRUE(PropertyToField(property, DbValueType::Text, &back, &scratch));
  EXPECT_EQ(std::string(back.CStr()), every_byte);

  // What the code page cannot hold arrives as "?".
  ASSERT_TRUE(PropertyToField(Property::Text(0, u"a€b😀"), DbValueType::Text, &back, &scratch));
  EXPECT_EQ(std::string(back.CStr()),
            "a\x88"
            "b?");
}

TEST(ObjectStoreValuesTest, TextColumnOfANonTextFieldKeepsTheEmptyText) {
  DbValue field(DbValueType::Int32);
  field.SetInt32(5);
  DbString scratch("left over");
  Property property;
  ASSERT_TRUE(FieldToProperty(field, DbValueType::Text, 1, &scratch, &property));
  EXPECT_EQ(property, Property::Text(1, u""));
}

TEST(ObjectStoreValuesTest, NumbersConvertByColumnType) {
  DbString scratch;
  DbValue field(DbValueType::Bool8);
  // A boolean of 256 must not wrap to false in the one-byte field.
  ASSERT_TRUE(PropertyToField(Property::Int32(0, 256), DbValueType::Bool8, &field, &scratch));
  EXPECT_TRUE(field.AsBool());
  DbValue int32(DbValueType::Int32);
  ASSERT_TRUE(PropertyToField(Property::Double(0, -7.9), DbValueType::Int32, &int32, &scratch));
  EXPECT_EQ(int32.AsInt32(), -7);
  ASSERT_TRUE(
      PropertyToField(Property::Double(0, std::nan("")), DbValueType::Int32, &int32, &scratch));
  EXPECT_EQ(int32.AsInt32(), 0);
  ASSERT_TRUE(PropertyToField(Property::Int16(0, -2), DbValueType::Int32, &int32, &scratch));
  EXPECT_EQ(int32.AsInt32(), -2);
  DbValue real(DbValueType::Float32);
  ASSERT_TRUE(PropertyToField(Property::Int32(0, 3), DbValueType::Float32, &real, &scratch));
  EXPECT_EQ(real.AsFloat32(), 3.0f);

  Property property;
  real.SetFloat32(0.5f);
  ASSERT_TRUE(FieldToProperty(real, DbValueType::Float32, 2, &scratch, &property));
  EXPECT_EQ(property, Property::Double(2, 0.5));
  DbValue flag(DbValueType::Bool32);
  flag.SetBool32(0x100);
  ASSERT_TRUE(FieldToProperty(flag, DbValueType::Bool32, 3, &scratch, &property));
  EXPECT_EQ(property, Property::Bool(3, true));

  // Texts and byte blocks are no numbers, numbers no texts, and untyped columns take nothing.
  EXPECT_FALSE(PropertyToField(Property::Text(0, u"1"), DbValueType::Int32, &int32, &scratch));
  EXPECT_FALSE(PropertyToField(Property::Blob(0, {1}), DbValueType::Int32, &int32, &scratch));
  EXPECT_FALSE(PropertyToField(Property::Int32(0, 1), DbValueType::Text, &int32, &scratch));
  EXPECT_FALSE(PropertyToField(Property::Int32(0, 1), DbValueType::Untyped, &int32, &scratch));
  EXPECT_EQ(int32.AsInt32(), -2) << "a failed conversion leaves the field alone";
  EXPECT_FALSE(FieldToProperty(int32, DbValueType::Untyped, 0, &scratch, &property));
}

}  // namespace
}  // namespace ledgerix
