#include "ui/archive_screen.h"

#include "reports/archives.h"
#include "reports/companion.h"
#include "reports/info_caption.h"

namespace ledgerix {

ArchiveScreen::ArchiveScreen(FinanceDb* db, AppState& state, platform::Env& env,
                             const platform::Clock& clock, ScreenServices& services)
    : db_(db), state_(state), env_(env), clock_(clock), services_(services) {}

void ArchiveScreen::Start() {
  // A folder that cannot be made only leaves the list empty.
  static_cast<void>(PrepareArchiveFolder(env_));
  Refill(DbString());
}

void ArchiveScreen::Refill(const DbString& target) {
  list_ = FillArchiveList(env_, state_.last_archive_name, target);
  selected = list_.selected;
}

DbString ArchiveScreen::SelectedName() const {
  if (selected < 0 || selected >= static_cast<int>(list_.items.size())) return DbString();
  return ArchiveNameOf(list_.items[static_cast<size_t>(selected)], state_.last_archive_name);
}

void ArchiveScreen::Tell(const DbString& text, MessageIcon icon) {
  services_.ShowMessage(text, DbString(kInfoCaption), MessageButtons::kOk, icon);
}

void ArchiveScreen::OnSave() {
  ArchiveContext context{env_, clock_, state_.settings, state_.last_archive_name, db_};
  DbString name;
  const ArchiveSaveResult result = SaveArchive(context, &name);
  if (result == ArchiveSaveResult::kSaved) {
    Refill(name);
    return;
  }
  const DbString message = ArchiveSaveMessage(result);
  if (message.Length() > 0) Tell(message, MessageIcon::kError);
}

void ArchiveScreen::OnRestore() {
  const DbString name = SelectedName();
  if (name.Length() == 0) return;
  ArchiveContext context{env_, clock_, state_.settings, state_.last_archive_name, db_};
  ArchiveRestoreResult result = ArchiveRestoreResult::kFailed;
  {
    WaitCursor wait(services_);
    // A restore replaces every table: what was entered since the last archive is kept first,
    // and without that copy nothing is replaced.
    const ArchiveSaveResult kept = SaveArchiveCopy(context, nullptr);
    if (kept == ArchiveSaveResult::kFailed) {
      Refill(name);
      Tell(RestoreNotStartedMessage(), MessageIcon::kError);
      return;
    }
    // Without a database there is nothing to keep, and the restore below fails and says so.
    result = RestoreArchive(context, name);
  }
  Tell(ArchiveRestoreMessage(result),
       result == ArchiveRestoreResult::kRestored ? MessageIcon::kInformation : MessageIcon::kError);
  Refill(DbString());
}

void ArchiveScreen::OnDelete() {
  const DbString name = SelectedName();
  if (name.Length() == 0) return;
  const MessageAnswer answer =
      services_.ShowMessage(DeleteQuestion(name), DbString(kInfoCaption),
                            MessageButtons::kYesNoCancel, MessageIcon::kQuestion);
  if (answer != MessageAnswer::kYes) return;
  const bool deleted = DeleteArchive(env_, name);
  Refill(DbString());
  if (!deleted) Tell(ArchiveDeleteFailedMessage(), MessageIcon::kError);
}

void ArchiveScreen::OnSendToPc() {
  bool started = false;
  {
    WaitCursor wait(services_);
    // The database is handed over while the companion runs and opened again afterwards.
    started = StartCompanion(env_, db_);
  }
  if (!started) {
    Tell(FromUtf8("Не удалось запустить программу обмена данными с ПК!"), MessageIcon::kError);
  } else if (db_ != nullptr && !db_->IsOpen()) {
    Tell(FromUtf8("Ошибка открытия базы данных!"), MessageIcon::kError);
  }
}

}  // namespace ledgerix
