#pragma once
// ArchiveScreen: the rules of the archives screen ("Настройки", frame "Архивирование данных:"):
// the list of archives, saving the whole database as an archive, restoring one over the current
// data (after keeping the current data as an archive of its own), deleting one, and handing the
// data to the desktop companion.

#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"
#include "reports/archive_list.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class FinanceDb;

class ArchiveScreen : public ScreenRules {
 public:
  // `db` may be null or closed: nothing is saved and a restore fails with a message. None is
  // owned; the state's last archive name and settings store are what a restore changes.
  ArchiveScreen(FinanceDb* db, AppState& state, platform::Env& env, const platform::Clock& clock,
                ScreenServices& services);

  std::string_view ScreenName() const override { return "ArchiveDialog"; }

  // Makes the archive folder (a failure leaves the list empty) and lists the archives with the
  // last restored one selected.
  void Start();
  // "Сохранить данные в архив": the archive of now, then selected in the list; a failed write
  // says so.
  void OnSave();
  // "Восстановить архив" on the selected item (nothing without one): the current data are saved
  // first as an archive under a free name; only when that archive was written whole is the
  // selected one loaded, and "Обработка завершена!" (or why not) is shown. The list is refilled
  // with the restored archive marked and selected.
  void OnRestore();
  // "Удалить" on the selected item (nothing without one), after Yes to the question; a file that
  // could not be deleted says so.
  void OnDelete();
  // "Передать данные на ПК": runs the companion and waits for it; says so when it cannot start.
  void OnSendToPc();

  int selected = -1;  // index into items(), read and written by the dialog
  const std::vector<ArchiveItem>& items() const { return list_.items; }
  // The file name of the archive a person would restore or delete now; empty without one.
  DbString SelectedName() const;

 private:
  void Refill(const DbString& target);
  void Tell(const DbString& text, MessageIcon icon);

  FinanceDb* db_;
  AppState& state_;
  platform::Env& env_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  ArchiveList list_;
};

}  // namespace ledgerix
