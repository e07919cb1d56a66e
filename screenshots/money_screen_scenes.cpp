// The screens that move money and keep it: a transfer between accounts being entered, and the
// archives with the last restored one marked, on the seeded data and a month of entries.
#include <QComboBox>

#include "finance/date_key.h"
#include "reports/archive_list.h"
#include "screenshots/scene.h"
#include "screenshots/screen_world.h"
#include "ui/archive_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/number_edit.h"
#include "ui/transfer_dialog.h"

namespace ledgerix {
namespace {

// February 2024 of the world's household, once: groceries every day, fares on working days,
// the salary on the 10th, on both accounts.
void StoreMonth(ScreenWorld& world) {
  static bool stored = false;
  if (stored) return;
  stored = true;
  for (int day = 1; day <= 29; ++day) {
    struct Row {
      int32_t kind;
      double price, count;
      int32_t type, account;
    } rows[] = {{1, 52.9 + day, 1, 2, 1}, {3, 15, 2, 2, 2}, {4, 350, 1, 2, 1}};
    for (const Row& row : rows) {
      if (row.kind == 3 && day % 7 >= 5) continue;  // no fares at the weekend
      if (row.kind == 4 && day % 10 != 3) continue;
      EntryRecord entry;
      entry.date = BuildDateKey(day, 2, 2024);
      entry.kind_id = row.kind;
      entry.price = row.price;
      entry.count = row.count;
      entry.type = row.type;
      entry.account_id = row.account;
      (void)world.db().AddEntry(entry);
    }
  }
}

std::unique_ptr<QWidget> Transfer() {
  ScreenWorld& world = ScreenWorld::Get();
  StoreMonth(world);
  auto& rules = world.Keep(std::make_unique<TransferScreen>(&world.db(), world.state(),
                                                            world.clock(), world.services()));
  auto dialog = std::make_unique<TransferDialog>(rules, world.services());
  dialog->findChildren<QComboBox*>()[0]->setCurrentIndex(0);
  dialog->findChildren<QComboBox*>()[1]->setCurrentIndex(1);
  dialog->findChildren<NumberEdit*>()[0]->setText(QStringLiteral("1500.00"));
  dialog->findChildren<NumberEdit*>()[1]->setText(QStringLiteral("25.00"));
  return dialog;
}

std::unique_ptr<QWidget> Archives() {
  ScreenWorld& world = ScreenWorld::Get();
  StoreMonth(world);
  // Archives of the month, saved in this order; the second one was restored last.
  static_cast<void>(PrepareArchiveFolder(world.env()));
  for (const char* name :
       {"31.01.24 20_15.txt", "15.02.24 09_05.txt", "29.02.24 21_40.txt", "05.03.24 11_58.txt"}) {
    (void)world.db().WriteExchangeFile(ArchivePath(world.env(), DbString(name)));
  }
  world.state().last_archive_name = DbString("15.02.24 09_05.txt");
  auto& rules = world.Keep(std::make_unique<ArchiveScreen>(&world.db(), world.state(), world.env(),
                                                           world.clock(), world.services()));
  return std::make_unique<ArchiveDialog>(rules, world.services());
}

}  // namespace

void AddMoneyScreenScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"transfer", Transfer});
  scenes.push_back({"archives", Archives});
}

}  // namespace ledgerix
