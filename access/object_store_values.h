#pragma once
// How the object-store driver keeps field values and column types in the platform's object
// store: the value-kind codes its catalog stores for column types, the property kind each column
// type is kept as, and the conversions between a record's field and a property.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/db_string.h"
#include "engine/db_value.h"
#include "platform/property.h"

namespace ledgerix {

// The value-kind codes stored in the catalog. The numbers are on disk: never renumber them.
inline constexpr int32_t kValueKindInt16 = 0;
inline constexpr int32_t kValueKindInt32 = 2;
inline constexpr int32_t kValueKindText = 5;
inline constexpr int32_t kValueKindBool = 7;
inline constexpr int32_t kValueKindDouble = 8;
inline constexpr int32_t kValueKindBlob = 9;

// The code stored for a column type: booleans (types 1 and 7) 7, Int16 0, Int32 2, the
// floating-point types (4, 5, 6) 8, Text 5, anything else 9.
int32_t ValueKindCodeOf(DbValueType type);

// The column type a stored code stands for: 0 and 1 give Int16, 2 and 3 Int32, 5 Text, 7 Bool8,
// 8 Float64; any other code gives Untyped, a column no conversion supports.
DbValueType TypeOfValueKindCode(int64_t code);

// The property kind a column type is kept as (and its table sorted by, for the first column):
// booleans kBool, Int16 kInt16, Int32 kInt32, floating-point kDouble, Text kText, anything else
// kBlob.
platform::PropertyKind PropertyKindOf(DbValueType type);

// Reads a property into a field of column type `type`. Numeric and boolean columns take any
// numeric or boolean property (a double is truncated for the integer types); a Text column
// takes a text property, converted to Windows-1251 through `scratch`. False, with the field
// unchanged, for any other pairing and for a type outside 1 to 8.
[[nodiscard]] bool PropertyToField(const platform::Property& property, DbValueType type,
                                   DbValue* field, DbString* scratch);

// True when PropertyToField takes the property for a column of `type`, without converting it.
bool PropertyConverts(const platform::Property& property, DbValueType type);

// Builds the property `id` for a field of column type `type`, the reverse of PropertyToField.
// A Text column whose field holds no text keeps the empty text. False for a type outside 1 to 8.
[[nodiscard]] bool FieldToProperty(const DbValue& field, DbValueType type, uint16_t id,
                                   DbString* scratch, platform::Property* out);

// PropertyToField for the two kinds the program's tables store, straight from a property's
// stored bytes (platform::PropertyRecordReader): a 32-bit number into an Int32 column, a text
// into a Text column (converted through `wide` and `scratch`, reused buffers). False for any
// other pairing, for which the caller converts a decoded Property instead.
bool StoredBytesToField(platform::PropertyKind kind, std::string_view payload, DbValueType type,
                        DbValue* field, DbString* scratch, std::u16string* wide);

}  // namespace ledgerix
