#pragma once
// Export of a statistics table to a delimited text file under "My Documents": ";"- or
// ","-separated ".txt", or tab-separated text under ".xls" for a desktop spreadsheet. The file
// is Windows-1251 text with CR LF line ends, fields joined by the separator, no quoting.

#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"
#include "reports/report_table.h"

namespace ledgerix {

// The file types, by their index in the "Тип файла:" box.
// Numbers lose their thousands "," in every type; in ".xls" their "." becomes ",".
inline constexpr int kExportExcel = 0;          // tab, ".xls", "-1,234.50" written "-1234,50"
inline constexpr int kExportCommaText = 1;      // ",", ".txt", "-1,234.50" written "-1234.50"
inline constexpr int kExportSemicolonText = 2;  // ";", ".txt", "-1,234.50" written "-1234.50"
inline constexpr int kExportFileTypeCount = 3;
// The folders, by their index in the "Каталог:" box: None, Business, Personal, Templates.
inline constexpr int kExportFolderCount = 4;
// Header titles are read up to this many characters.
inline constexpr uint32_t kMaxExportTitleLength = 255;

// What an export did, and so what the screen tells the user.
enum class ExportResult {
  kNoFileName,    // the file name was empty: nothing written, nothing shown
  kBadChoice,     // a folder or file type index outside its box: nothing written, nothing shown
  kWrittenEmpty,  // an empty file was written (no rows, no header): nothing shown
  kWritten,       // the text was written: "Экспорт данных завершен"
  kFailed,        // the file could not be written; an older file of that name is left whole
};

// What the export screen's fields hold when the user presses OK.
struct ExportRequest {
  DbString file_name;  // without folder or extension
  int folder_index = 0;
  int type_index = kExportExcel;
  bool with_header = false;  // "Выгружать имена колонок"
};

// Day "_" month "_" year " " hour "_" minute, each with two digits (the year modulo 100):
// 6 December 2008, 14:05 gives "06_12_08 14_05".
DbString ExportStamp(const platform::LocalTime& time);

// The texts of the "Каталог:" and "Тип файла:" boxes, in box order.
std::vector<DbString> ExportFolderCaptions();
std::vector<DbString> ExportFileTypeCaptions();
// The initial file name: "Export " followed by the stamp of `now`.
DbString DefaultExportFileName(const platform::LocalTime& now);

// The folder prefix of a folder index ("My Documents\\Business\\", with the separator doubled
// as the program has always stored it); empty for an index outside the box.
DbString ExportFolderPrefix(int folder_index);
// The field separator and extension of a file type; 0 and empty outside the box.
char ExportSeparator(int type_index);
DbString ExportExtension(int type_index);
// Folder prefix + file name + extension: a device path from the root.
DbString ExportPath(const ExportRequest& request);

// The whole text of the file: the optional header line of the column titles, then one line per
// row. Captions are written as shown, counts, prices and sums with the file type's number
// adjustment, names whole. Only what the file type cannot hold (its separator, CR, LF) is removed
// from a field. A row with fewer cells than columns gets empty fields. Empty for a bad type.
DbString ExportText(const ReportTable& table, int type_index, bool with_header);

// Writes the export text to `path` (a device path) through a temporary file renamed into place,
// so a failed write leaves an older file of that name whole. kWritten, kWrittenEmpty, kFailed,
// or kBadChoice for a type index outside the box.
[[nodiscard]] ExportResult ExportList(platform::Env& env, const ReportTable& table,
                                      const DbString& path, int type_index, bool with_header);

// The OK of the export screen: nothing for an empty file name; otherwise makes the chosen folder
// under "My Documents" when it is missing and writes the file with ExportList.
[[nodiscard]] ExportResult ExportToFile(platform::Env& env, const ReportTable& table,
                                        const ExportRequest& request);

// The message the screen shows after an export (captioned kInfoCaption); empty when the screen
// shows none.
DbString ExportResultMessage(ExportResult result);

}  // namespace ledgerix
