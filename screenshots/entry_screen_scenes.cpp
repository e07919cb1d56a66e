// The screens where a person records money, on the seeded data: the expense list of a day,
// the kinds list it opens, the kind editor and the accounts editor.
#include "finance/date_key.h"
#include "screenshots/scene.h"
#include "screenshots/screen_world.h"
#include "ui/account_settings_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/entry_list_dialog.h"
#include "ui/kind_editor_dialog.h"
#include "ui/kinds_list_dialog.h"

namespace ledgerix {
namespace {

// Three expenses of the world's day, the second one marked.
void StoreExpenses(ScreenWorld& world) {
  const platform::LocalTime now = world.clock().Local(world.clock().Now());
  const int32_t today = BuildDateKey(now.day, now.month, now.year);
  struct Row {
    int32_t kind;
    double price, count;
    int32_t type;
  } rows[] = {{1, 52.9, 40.5, 2}, {3, 15, 2, 102}, {4, 350, 2, 2}};
  for (const Row& row : rows) {
    EntryRecord entry;
    entry.date = today;
    entry.kind_id = row.kind;
    entry.price = row.price;
    entry.count = row.count;
    entry.type = row.type;
    entry.account_id = 1;
    (void)world.db().AddEntry(entry);
  }
}

std::unique_ptr<QWidget> ExpenseList() {
  ScreenWorld& world = ScreenWorld::Get();
  StoreExpenses(world);
  auto& rules = world.Keep(std::make_unique<EntryListScreen>(&world.db(), world.state(),
                                                             world.clock(), world.services(), 2));
  auto dialog = std::make_unique<EntryListDialog>(rules, world.services());
  dialog->list()->SetSelectionMark(0);
  return dialog;
}

std::unique_ptr<QWidget> KindsToChoose() {
  ScreenWorld& world = ScreenWorld::Get();
  KindChoice& choice = world.Keep(std::make_unique<KindChoice>());
  auto& rules = world.Keep(
      std::make_unique<KindsListScreen>(&world.db(), world.clock(), world.services(), 2, &choice));
  return std::make_unique<KindsListDialog>(rules, world.services());
}

std::unique_ptr<QWidget> KindEditor() {
  ScreenWorld& world = ScreenWorld::Get();
  KindChoice& choice = world.Keep(std::make_unique<KindChoice>());
  if (!world.db().FindKind(&choice.kind, 3, 2, DbString())) choice.kind.type = 2;
  auto& rules =
      world.Keep(std::make_unique<KindEditorScreen>(&world.db(), world.services(), choice));
  return std::make_unique<KindEditorDialog>(rules, world.services());
}

std::unique_ptr<QWidget> AccountSettings() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(
      std::make_unique<AccountSettingsScreen>(&world.db(), world.state(), world.services()));
  return std::make_unique<AccountSettingsDialog>(rules, world.services());
}

}  // namespace

void AddEntryScreenScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"entry_list_expenses", ExpenseList});
  scenes.push_back({"kinds_list_choose", KindsToChoose});
  scenes.push_back({"kind_editor", KindEditor});
  scenes.push_back({"account_settings", AccountSettings});
}

}  // namespace ledgerix
