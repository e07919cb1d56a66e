#pragma once
// ExportScreen: the rules of "Введите имя файла": the file name, folder under "My Documents",
// file type and header switch of an export of the statistics list, and the export itself.
// The screen closes after "OK" whatever happened; what happened is said in a message box.

#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"
#include "reports/export_file.h"
#include "reports/report_table.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class ExportScreen : public ScreenRules {
 public:
  // `table` is what the statistics list shows; it and `env` must outlive the screen.
  ExportScreen(const ReportTable& table, platform::Env& env, const platform::Clock& clock,
               ScreenServices& services);

  std::string_view ScreenName() const override { return "ExportDialog"; }

  // "Export " and the time stamp of now, the first folder ("None") and the first file type,
  // without the column names.
  void Start();
  // "OK": writes the file (nothing for an empty name) and says "Экспорт данных завершен" after
  // a written text, or that the file could not be written: never the completion after a
  // failure. Answers true: the screen closes.
  [[nodiscard]] bool OnAccept();

  // The texts of the "Каталог:" and "Тип файла:" boxes.
  static std::vector<DbString> Folders() { return ExportFolderCaptions(); }
  static std::vector<DbString> FileTypes() { return ExportFileTypeCaptions(); }
  // What the last OnAccept did (kNoFileName before any).
  ExportResult result() const { return result_; }

  // The fields of the screen, read and written by its dialog.
  ExportRequest request;

 private:
  const ReportTable& table_;
  platform::Env& env_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  ExportResult result_ = ExportResult::kNoFileName;
};

}  // namespace ledgerix
