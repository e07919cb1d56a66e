#include "finance/testing/finance_test_support.h"

namespace ledgerix::testing {

int MemoryList::InsertItem(const DbString& text, int image, int64_t data) {
  Item item;
  item.image = image;
  item.data = data;
  item.texts[0] = ToUtf8(text);
  items.push_back(item);
  return static_cast<int>(items.size()) - 1;
}

void MemoryList::SetItemText(int item, int sub_item, const DbString& text) {
  ASSERT_GE(item, 0);
  ASSERT_LT(item, ItemCount());
  items[item].texts[sub_item] = ToUtf8(text);
}

KindRecord MakeKind(int32_t id, const char* name_utf8, const char* category_utf8, double price,
                    int32_t type) {
  KindRecord kind;
  kind.id = id;
  kind.name = FromUtf8(name_utf8);
  kind.category = FromUtf8(category_utf8);
  kind.price = price;
  kind.type = type;
  return kind;
}

AccountRecord MakeAccount(int32_t id, const char* name_utf8, const char* note_utf8) {
  AccountRecord account;
  account.id = id;
  account.name = FromUtf8(name_utf8);
  account.note = FromUtf8(note_utf8);
  return account;
}

EntryRecord MakeEntry(int32_t kind_id, int32_t date, double price, double count, int32_t type,
                      int32_t account_id, const char* note_utf8) {
  EntryRecord entry;
  entry.kind_id = kind_id;
  entry.date = date;
  entry.price = price;
  entry.count = count;
  entry.type = type;
  entry.account_id = account_id;
  entry.note = FromUtf8(note_utf8);
  return entry;
}

std::vector<std::string> TableLines(FinanceDb& db, const char* table) {
  std::string section = ToUtf8(db.WriteTableSection(table));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < section.size()) {
    size_t end = section.find("\r\n", start);
    if (end == std::string::npos) end = section.size();
    lines.push_back(section.substr(start, end - start));
    start = end + 2;
  }
  // The first line is the table's name.
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

FinanceDbTest::FinanceDbTest() {
  clock_.SetDate(2024, 3, 1, 12, 0);
  globals_.storage_kind = GetParam();
}

int FinanceDbTest::OpenDatabase() {
  db_.reset();
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  return db_->Open(kDatabaseName);
}

std::string FinanceDbTest::FileText(std::u16string_view device_path) const {
  return ToUtf8(DbString(root_.ReadHostFile(device_path)));
}

}  // namespace ledgerix::testing
