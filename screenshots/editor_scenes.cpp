// The editors a person opens from the entry and kinds screens, on the seeded data.
#include "screenshots/scene.h"
#include "screenshots/screen_world.h"
#include "ui/account_settings_dialog.h"
#include "ui/kind_editor_dialog.h"

namespace ledgerix {
namespace {

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

void AddEditorScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"kind_editor", KindEditor});
  scenes.push_back({"account_settings", AccountSettings});
}

}  // namespace ledgerix
