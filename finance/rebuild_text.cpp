#include "finance/rebuild_text.h"

#include "engine/table_file.h"
#include "finance/exchange_scanner.h"
#include "finance/row_limits.h"

namespace ledgerix {
namespace {

constexpr char kLineEnd[] = "\r\n";

class RowCounter : public ExchangeSink {
 public:
  explicit RowCounter(RowCounts* counts) : counts_(counts) {}
  void BeginSection(const DbString& name) override {
    current_ = &(*counts_)[std::string(name.View())];
  }
  void Row(const std::vector<DbString>& values) override {
    (void)values;
    if (current_ != nullptr) ++*current_;
  }

 private:
  RowCounts* counts_;
  uint32_t* current_ = nullptr;
};

// The bytes the exchange reader's value takes in a row of the file database: the encoding of a
// column of that type.
uint32_t EncodedSize(DbValueType type, const DbString& text) {
  return type == DbValueType::Text ? text.Length() + 1 : FixedWidthOf(type);
}

}  // namespace

std::vector<DbString> ExchangeValuesOf(const std::vector<DbValue>& row) {
  std::vector<DbString> values;
  values.reserve(row.size());
  for (const DbValue& value : row) {
    switch (value.Type()) {
      case DbValueType::Int32:
        values.emplace_back(std::string_view(std::to_string(value.AsInt32())));
        break;
      case DbValueType::Text:
        values.emplace_back(value.CStr());
        break;
      default:
        values.push_back(value.ToText());
        break;
    }
  }
  return values;
}

bool RowFitsTable(const DbTableSchema& table, const std::vector<DbString>& values) {
  if (values.size() != table.columns.size()) return false;
  uint64_t bytes = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const DbValueType type = table.columns[i]->Type();
    if (type == DbValueType::Text && !TextFitsExchange(values[i])) return false;
    bytes += EncodedSize(type, values[i]);
  }
  return bytes <= uint64_t{kSlotBytesPerColumn} * table.columns.size();
}

void RebuildText::BeginSection(const DbString& table) {
  text_ += table.View();
  text_ += kLineEnd;
}

void RebuildText::EndSection() { text_ += kLineEnd; }

void RebuildText::AddRow(const std::vector<DbString>& values) {
  for (const DbString& value : values) {
    text_ += value.View();
    text_ += ';';
  }
  text_ += kLineEnd;
}

RowCounts CountExchangeRows(std::string_view text) {
  RowCounts counts;
  RowCounter counter(&counts);
  ScanExchangeText(text, counter);
  return counts;
}

}  // namespace ledgerix
