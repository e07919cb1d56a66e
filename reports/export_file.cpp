#include "reports/export_file.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/atomic_file.h"

namespace ledgerix {
namespace {

struct ExportFolder {
  const char* caption;
  const char* prefix;
  const char* subfolder;  // the folder to make under "My Documents"; null for none
};

// The doubled "\" is how the prefixes have always been stored; repeated separators count once.
constexpr std::array<ExportFolder, kExportFolderCount> kFolders = {{
    {"None", "My Documents\\\\", nullptr},
    {"Business", "My Documents\\\\Business\\\\", "My Documents\\Business"},
    {"Personal", "My Documents\\\\Personal\\\\", "My Documents\\Personal"},
    {"Templates", "My Documents\\\\Templates\\\\", "My Documents\\Templates"},
}};

enum class NumberAdjustment { kPointToComma, kDropCommas };

struct ExportFileType {
  const char* caption_utf8;
  char separator;
  const char* extension;
  NumberAdjustment adjustment;
};

constexpr std::array<ExportFileType, kExportFileTypeCount> kFileTypes = {{
    {"MS Excel для ПК (*.xls)", '\t', ".xls", NumberAdjustment::kPointToComma},
    {"Текст. файлы (',') (*.txt)", ',', ".txt", NumberAdjustment::kDropCommas},
    {"Текст. файлы (';') (*.txt)", ';', ".txt", NumberAdjustment::kDropCommas},
}};

const ExportFolder* FolderAt(int index) {
  return index >= 0 && index < kExportFolderCount ? &kFolders[index] : nullptr;
}

const ExportFileType* FileTypeAt(int index) {
  return index >= 0 && index < kExportFileTypeCount ? &kFileTypes[index] : nullptr;
}

// Every type loses the thousands grouping, whose "," would split or blur the number. A
// spreadsheet on a Russian desktop reads "," as the decimal point, so ".xls" then takes it for
// the "." ("-1,234.50" becomes "-1234,50"); the ".txt" types keep the ".".
std::string AdjustNumber(std::string_view text, NumberAdjustment adjustment) {
  std::string out(text);
  std::erase(out, ',');
  if (adjustment == NumberAdjustment::kPointToComma) {
    const size_t point = out.find('.');
    if (point != std::string::npos) out[point] = ',';
  }
  return out;
}

// The separator would start a new field and CR or LF a new row; nothing else needs to go.
void AppendHoldable(std::string* line, std::string_view field, char separator) {
  for (char c : field) {
    if (c != separator && c != '\r' && c != '\n') line->push_back(c);
  }
}

std::string FieldText(const ReportColumn& column, std::string_view cell,
                      const ExportFileType& type) {
  const bool number = column.content == ColumnContent::kCount ||
                      column.content == ColumnContent::kAmount || column.decimal_number;
  if (column.content != ColumnContent::kCaption && number) {
    return AdjustNumber(cell, type.adjustment);
  }
  return std::string(cell);
}

void AppendHeader(std::string* text, const ReportTable& table, const ExportFileType& type) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (i > 0) text->push_back(type.separator);
    const std::string_view title = table.columns[i].title.View();
    AppendHoldable(text, title.substr(0, kMaxExportTitleLength), type.separator);
  }
  text->append("\r\n");
}

void AppendRow(std::string* text, const ReportTable& table, const ReportTableRow& row,
               const ExportFileType& type) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (i > 0) text->push_back(type.separator);
    const std::string_view cell = row.cells[i];
    AppendHoldable(text, FieldText(table.columns[i], cell, type), type.separator);
  }
  text->append("\r\n");
}

}  // namespace

DbString ExportStamp(const platform::LocalTime& time) {
  DbString stamp;
  stamp.FormatEx("%02L_%02L_%02L %02L_%02L", time.day, time.month, time.year % 100, time.hour,
                 time.minute);
  return stamp;
}

std::vector<DbString> ExportFolderCaptions() {
  std::vector<DbString> captions;
  for (const ExportFolder& folder : kFolders) captions.emplace_back(folder.caption);
  return captions;
}

std::vector<DbString> ExportFileTypeCaptions() {
  std::vector<DbString> captions;
  for (const ExportFileType& type : kFileTypes) captions.push_back(FromUtf8(type.caption_utf8));
  return captions;
}

DbString DefaultExportFileName(const platform::LocalTime& now) {
  DbString name("Export ");
  name.AppendString(ExportStamp(now));
  return name;
}

DbString ExportFolderPrefix(int folder_index) {
  const ExportFolder* folder = FolderAt(folder_index);
  return folder != nullptr ? DbString(folder->prefix) : DbString();
}

char ExportSeparator(int type_index) {
  const ExportFileType* type = FileTypeAt(type_index);
  return type != nullptr ? type->separator : '\0';
}

DbString ExportExtension(int type_index) {
  const ExportFileType* type = FileTypeAt(type_index);
  return type != nullptr ? DbString(type->extension) : DbString();
}

DbString ExportPath(const ExportRequest& request) {
  DbString path = ExportFolderPrefix(request.folder_index);
  path.AppendString(request.file_name);
  path.AppendString(ExportExtension(request.type_index));
  return path;
}

DbString ExportText(const ReportTable& table, int type_index, bool with_header) {
  const ExportFileType* type = FileTypeAt(type_index);
  if (type == nullptr) return DbString();
  std::string text;
  if (with_header) AppendHeader(&text, table, *type);
  for (const ReportTableRow& row : table.rows) AppendRow(&text, table, row, *type);
  return DbString(std::string_view(text));
}

ExportResult ExportList(platform::Env& env, const ReportTable& table, const DbString& path,
                        int type_index, bool with_header) {
  if (FileTypeAt(type_index) == nullptr) return ExportResult::kBadChoice;
  const DbString text = ExportText(table, type_index, with_header);
  if (!ReplaceFileContent(env, path, text)) return ExportResult::kFailed;
  return text.Length() > 0 ? ExportResult::kWritten : ExportResult::kWrittenEmpty;
}

ExportResult ExportToFile(platform::Env& env, const ReportTable& table,
                          const ExportRequest& request) {
  if (request.file_name.Length() == 0) return ExportResult::kNoFileName;
  const ExportFolder* folder = FolderAt(request.folder_index);
  if (folder == nullptr || FileTypeAt(request.type_index) == nullptr) {
    return ExportResult::kBadChoice;
  }
  // A folder that exists already makes this fail, which is fine: the write then tells.
  if (folder->subfolder != nullptr) {
    static_cast<void>(env.CreateDirectory(DbString(folder->subfolder).Wide()));
  }
  return ExportList(env, table, ExportPath(request), request.type_index, request.with_header);
}

DbString ExportResultMessage(ExportResult result) {
  switch (result) {
    case ExportResult::kWritten:
      return FromUtf8("Экспорт данных завершен");
    case ExportResult::kFailed:
      return FromUtf8("Не удалось записать файл экспорта!");
    case ExportResult::kNoFileName:
    case ExportResult::kBadChoice:
    case ExportResult::kWrittenEmpty:
      break;
  }
  return DbString();
}

}  // namespace ledgerix
