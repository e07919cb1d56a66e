#include "app/startup_message.h"

#include <string>

#include "engine/failure_text.h"
#include "finance/finance_db.h"

namespace ledgerix {
namespace {

// How the message names a finance table.
std::string TableName(const DbString& table) {
  if (table.View() == kKindsTable) return "виды доходов и расходов";
  if (table.View() == kEntriesTable) return "записи";
  if (table.View() == kAccountsTable) return "счета";
  return ToUtf8(table);
}

std::string WhatWasFound(DamageFound damage) {
  switch (damage) {
    case DamageFound::kStore:
      return "хранилище данных не открывается";
    case DamageFound::kStoreRefuses:
      return "хранилище данных не принимает новую базу данных";
    case DamageFound::kCatalogMissing:
      return "нет описания таблиц базы данных";
    case DamageFound::kCatalogDamaged:
      return "описание таблиц базы данных повреждено";
    case DamageFound::kTables:
      return "не все строки таблиц читаются";
    case DamageFound::kNone:
      break;
  }
  return "";
}

std::string Reason(const platform::FailureDetail& failure) {
  if (failure.error == platform::winerr::kSuccess) return "причина неизвестна";
  return ToUtf8(DescribeFailure(failure));
}

std::string HostPath(const HostPathNamer& host_path, const DbString& device_path) {
  return host_path ? host_path(device_path) : ToUtf8(device_path);
}

// "виды доходов и расходов: 5; записи: 39, не прочитано 1 (нет таблицы); счета: 2".
std::string RowsPerTable(const OpenReport& report) {
  std::string text;
  for (const TableRecovery& table : report.tables) {
    if (!text.empty()) text += "; ";
    text += TableName(table.table) + ": " + std::to_string(table.recovered);
    if (table.lost > 0) text += ", не восстановлено " + std::to_string(table.lost);
    if (table.missing) text += " (таблица отсутствовала)";
  }
  return text;
}

uint32_t RowsRecovered(const OpenReport& report) {
  uint32_t rows = 0;
  for (const TableRecovery& table : report.tables) rows += table.recovered;
  return rows;
}

std::string SalvagedText(const OpenReport& report, const HostPathNamer& host_path) {
  std::string text = report.resumed
                         ? "Восстановление повреждённой базы данных, прерванное при "
                           "прошлом запуске, завершено.\n"
                         : "База данных повреждена: " + WhatWasFound(report.damage) + "!\n";
  text +=
      "Копия прежних данных сохранена в папке:\n" + HostPath(host_path, report.copy_folder) + "\n";
  if (RowsRecovered(report) == 0 && !report.resumed) {
    return text + "Прочитать строки не удалось; начата новая база данных.";
  }
  return text + "Восстановлено строк: " + RowsPerTable(report) + ".";
}

std::string ConvertedText(const OpenReport& report, const HostPathNamer& host_path) {
  std::string text = report.resumed ? "Преобразование базы данных прежнего формата, прерванное "
                                      "при прошлом запуске, завершено.\n"
                                    : "База данных прежнего формата преобразована.\n";
  text += "Прежние данные сохранены в файле:\n" + HostPath(host_path, report.backup) + "\n";
  if (!report.copy_folder.View().empty()) {
    text += "Не все строки прежней базы читались (" + WhatWasFound(report.damage) +
            "); её копия сохранена в папке:\n" + HostPath(host_path, report.copy_folder) + "\n";
  }
  return text + "Преобразовано строк: " + RowsPerTable(report) + ".";
}

}  // namespace

DbString AlreadyRunningMessage() { return FromUtf8("Программа уже запущена!"); }

DbString DeviceUnusableMessage(const std::string& host_root,
                               const platform::FailureDetail& failure) {
  return FromUtf8("Ошибка доступа к папке данных программы!\n" + host_root + "\n" +
                  Reason(failure));
}

DbString SettingsUnreadableMessage(const std::string& host_file,
                                   const platform::FailureDetail& failure) {
  return FromUtf8("Ошибка чтения файла настроек!\n" + host_file + "\n" + Reason(failure) +
                  "\nФайл не изменён.");
}

DbString SettingsUnsavedMessage(const std::string& host_file,
                                const platform::FailureDetail& failure) {
  return FromUtf8("Ошибка записи файла настроек!\n" + host_file + "\n" + Reason(failure) +
                  "\nНастройки этого сеанса не сохранены.");
}

DbString DatabaseOpenMessage(const OpenReport& report, const HostPathNamer& host_path) {
  switch (report.outcome) {
    case OpenOutcome::kOpened:
    case OpenOutcome::kCreated:
      return DbString();
    case OpenOutcome::kConverted:
      return FromUtf8(ConvertedText(report, host_path));
    case OpenOutcome::kSalvaged:
      return FromUtf8(SalvagedText(report, host_path));
    case OpenOutcome::kDamaged:
      return FromUtf8("База данных повреждена: " + WhatWasFound(report.damage) +
                      "!\nСохранить её копию не удалось: " + Reason(report.failure) +
                      "\nДанные не изменены.");
    case OpenOutcome::kReadOnly:
      return FromUtf8("База данных защищена от записи!\n" + Reason(report.failure) +
                      "\nДанные не изменены.");
    case OpenOutcome::kFailed:
      break;
  }
  std::string text = "Ошибка открытия базы данных!\n" + Reason(report.failure);
  if (!report.backup.View().empty()) {
    text += "\nПрежние данные сохранены в файле:\n" + HostPath(host_path, report.backup) +
            "\nПреобразование будет повторено при следующем запуске.";
  } else if (!report.copy_folder.View().empty()) {
    text += "\nКопия прежних данных сохранена в папке:\n" +
            HostPath(host_path, report.copy_folder) +
            "\nВосстановление будет повторено при следующем запуске.";
  }
  return FromUtf8(text);
}

}  // namespace ledgerix
