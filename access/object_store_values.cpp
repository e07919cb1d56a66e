#include "access/object_store_values.h"

#include <cmath>
#include <limits>
#include <string>
#include <variant>

#include "engine/code_page.h"

namespace ledgerix {
namespace {

using platform::Property;
using platform::PropertyKind;

bool IsBooleanType(DbValueType type) {
  return type == DbValueType::Bool8 || type == DbValueType::Bool32;
}

bool IsFloatType(DbValueType type) {
  return type == DbValueType::Float32 || type == DbValueType::Float64 ||
         type == DbValueType::Float64B;
}

// A numeric or boolean property as a double and, exactly, as an integer.
struct Number {
  double real = 0;
  int64_t integer = 0;
};

// A double truncated toward zero into the 64-bit range (NaN gives 0), so that no conversion of
// a stored value is undefined.
int64_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.2e18;
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

bool NumberOf(const Property& property, Number* out) {
  switch (property.kind()) {
    case PropertyKind::kInt16:
      out->integer = std::get<int16_t>(property.value);
      break;
    case PropertyKind::kInt32:
      out->integer = std::get<int32_t>(property.value);
      break;
    case PropertyKind::kBool:
      out->integer = std::get<bool>(property.value) ? 1 : 0;
      break;
    case PropertyKind::kDouble:
      out->real = std::get<double>(property.value);
      out->integer = Truncate(out->real);
      return true;
    default:
      return false;
  }
  out->real = static_cast<double>(out->integer);
  return true;
}

}  // namespace

int32_t ValueKindCodeOf(DbValueType type) {
  switch (type) {
    case DbValueType::Bool8:
    case DbValueType::Bool32:
      return kValueKindBool;
    case DbValueType::Int16:
      return kValueKindInt16;
    case DbValueType::Int32:
      return kValueKindInt32;
    case DbValueType::Float32:
    case DbValueType::Float64:
    case DbValueType::Float64B:
      return kValueKindDouble;
    case DbValueType::Text:
      return kValueKindText;
    default:
      return kValueKindBlob;
  }
}

DbValueType TypeOfValueKindCode(int64_t code) {
  switch (code) {
    case 0:
    case 1:
      return DbValueType::Int16;
    case 2:
    case 3:
      return DbValueType::Int32;
    case kValueKindText:
      return DbValueType::Text;
    case kValueKindBool:
      return DbValueType::Bool8;
    case kValueKindDouble:
      return DbValueType::Float64;
    default:
      return DbValueType::Untyped;
  }
}

PropertyKind PropertyKindOf(DbValueType type) {
  if (IsBooleanType(type)) return PropertyKind::kBool;
  if (IsFloatType(type)) return PropertyKind::kDouble;
  switch (type) {
    case DbValueType::Int16:
      return PropertyKind::kInt16;
    case DbValueType::Int32:
      return PropertyKind::kInt32;
    case DbValueType::Text:
      return PropertyKind::kText;
    default:
      return PropertyKind::kBlob;
  }
}

bool PropertyConverts(const Property& property, DbValueType type) {
  switch (type) {
    case DbValueType::Text:
      return property.kind() == PropertyKind::kText;
    case DbValueType::Bool8:
    case DbValueType::Bool32:
    case DbValueType::Int16:
    case DbValueType::Int32:
    case DbValueType::Float32:
    case DbValueType::Float64:
    case DbValueType::Float64B: {
      Number number;
      return NumberOf(property, &number);
    }
    default:
      return false;
  }
}

bool PropertyToField(const Property& property, DbValueType type, DbValue* field,
                     DbString* scratch) {
  // Most columns of the program are 32-bit integers kept as such.
  if (type == DbValueType::Int32 && property.kind() == PropertyKind::kInt32) {
    field->SetInt32(std::get<int32_t>(property.value));
    return true;
  }
  if (type == DbValueType::Text) {
    if (property.kind() != PropertyKind::kText) return false;
    // Converted straight into the reused buffer: a walk reads a text on every row.
    const std::u16string& text = std::get<std::u16string>(property.value);
    scratch->SetLength(static_cast<uint32_t>(text.size()));
    scratch->SetLength(
        static_cast<uint32_t>(WideToNarrow(text.data(), scratch->MutableData(), text.size())));
    field->SetText(*scratch);
    return true;
  }
  Number number;
  if (!NumberOf(property, &number)) return false;
  switch (type) {
    case DbValueType::Bool8:
      field->SetBool8(number.integer != 0 ? 1 : 0);
      return true;
    case DbValueType::Bool32:
      field->SetBool32(number.integer != 0 ? 1 : 0);
      return true;
    case DbValueType::Int16:
      field->SetInt16(static_cast<int16_t>(number.integer));
      return true;
    case DbValueType::Int32:
      field->SetInt32(static_cast<int32_t>(number.integer));
      return true;
    case DbValueType::Float32:
      field->SetFloat32(static_cast<float>(number.real));
      return true;
    case DbValueType::Float64:
      field->SetFloat64(number.real);
      return true;
    case DbValueType::Float64B:
      field->SetFloat64B(number.real);
      return true;
    default:
      return false;
  }
}

bool FieldToProperty(const DbValue& field, DbValueType type, uint16_t id, DbString* scratch,
                     Property* out) {
  switch (type) {
    case DbValueType::Bool8:
    case DbValueType::Bool32:
      *out = Property::Bool(id, field.LowWord() != 0);
      return true;
    case DbValueType::Int16:
      *out = Property::Int16(id, field.AsInt16());
      return true;
    case DbValueType::Int32:
      *out = Property::Int32(id, field.AsInt32());
      return true;
    case DbValueType::Float32:
      *out = Property::Double(id, field.AsFloat32());
      return true;
    case DbValueType::Float64:
    case DbValueType::Float64B:
      *out = Property::Double(id, field.AsFloat64());
      return true;
    case DbValueType::Text: {
      scratch->SetLength(0);
      if (field.Type() == DbValueType::Text) scratch->Append(field.CStr());
      *out = Property::Text(id, std::u16string(scratch->Wide(), scratch->Length()));
      return true;
    }
    default:
      return false;
  }
}

bool StoredBytesToField(PropertyKind kind, std::string_view payload, DbValueType type,
                        DbValue* field, DbString* scratch, std::u16string* wide) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(payload[i]); };
  if (kind == PropertyKind::kInt32 && type == DbValueType::Int32 && payload.size() == 4) {
    field->SetInt32(static_cast<int32_t>(byte(0) | (byte(1) << 8) | (byte(2) << 16) |
                                         (static_cast<uint32_t>(byte(3)) << 24)));
    return true;
  }
  if (kind != PropertyKind::kText || type != DbValueType::Text) return false;
  const size_t units = payload.size() / 2;
  wide->resize(units);
  for (size_t i = 0; i < units; ++i) {
    (*wide)[i] = static_cast<char16_t>(byte(2 * i) | (byte(2 * i + 1) << 8));
  }
  scratch->SetLength(static_cast<uint32_t>(units));
  scratch->SetLength(
      static_cast<uint32_t>(WideToNarrow(wide->data(), scratch->MutableData(), units)));
  field->SetText(*scratch);
  return true;
}

}  // namespace ledgerix
