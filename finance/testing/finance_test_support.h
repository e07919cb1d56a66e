#pragma once
// What the finance tests share: a finance database on a fresh device for each test, run once
// with the object store (kind 3) and once with the file database (kind 6); an in-memory list;
// and short ways to build rows and read tables back.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "finance/finance_db.h"
#include "finance/list_control.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix::testing {

// A list that keeps its items in memory: per item its icon, data value and column texts (UTF-8).
class MemoryList : public ListControl {
 public:
  struct Item {
    int image = 0;
    int64_t data = 0;
    std::map<int, std::string> texts;
  };

  void DeleteAllItems() override { items.clear(); }
  int InsertItem(const DbString& text, int image, int64_t data) override;
  void SetItemText(int item, int sub_item, const DbString& text) override;
  int ItemCount() const override { return static_cast<int>(items.size()); }

  std::vector<Item> items;
};

KindRecord MakeKind(int32_t id, const char* name_utf8, const char* category_utf8, double price,
                    int32_t type);
AccountRecord MakeAccount(int32_t id, const char* name_utf8, const char* note_utf8 = "");
EntryRecord MakeEntry(int32_t kind_id, int32_t date, double price, double count, int32_t type,
                      int32_t account_id, const char* note_utf8 = "");

// The rows of one table, each as its exchange line without the line end, in UTF-8.
std::vector<std::string> TableLines(FinanceDb& db, const char* table);

// The finance database of one test. The parameter is the storage kind (BothStorageKinds).
class FinanceDbTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  FinanceDbTest();
  // A new FinanceDb (replacing any) opened on kDatabaseName; answers Open's result.
  int OpenDatabase();
  // The UTF-8 content of a file at a device path.
  std::string FileText(std::u16string_view device_path) const;

  TempDeviceRoot root_;
  FakeClock clock_;
  FinanceGlobals globals_;
  std::unique_ptr<FinanceDb> db_;
};

}  // namespace ledgerix::testing
