#pragma once
// entries.csv: every entry as one line of a UTF-8 spreadsheet file (RFC 4180, CR LF line ends, a
// byte-order mark so that spreadsheets take it as UTF-8), and reading such a file back into the
// exchange text that replaces the entries.
//
// Columns: "Дата" (YYYY-MM-DD), "Направление" ("Приход" or "Расход"), "Вид" (the kind's name,
// after "[P] " and "[+] " when the entry carries those marks), "Категория", "Счет", "Количество",
// "Цена", "Сумма" (plain decimals with "." and two places; the sum signed as the statistics count
// it: income positive, spending negative), "Примечание". The lines are sorted by date and then
// by their text, so the file does not depend on the order in which a driver keeps the rows.

#include <string>
#include <string_view>

#include "companion/database_rows.h"
#include "companion/line_error.h"

namespace ledgerix {

// The whole file.
std::string EntriesCsvText(const DatabaseRows& rows);

// What an entries.csv file comes to: exchange text (Windows-1251) whose "[sec_consumeritems]"
// and "[sec_firms]" sections hold the current rows (`kinds_section` and `accounts_section`, each
// a table's name line and data lines as the database writes them) plus the kinds and accounts
// the file names that the database lacks, and whose "[sec_data]" section holds the file's
// entries. Loading it replaces every entry.
struct CsvImportPlan {
  std::string exchange_text;
  size_t entries = 0;
  size_t new_kinds = 0;
  size_t new_accounts = 0;
};

// Reads the whole file; a kind is matched by name, category and direction, an account by name
// (an empty name is no account). False with *error naming the first line that cannot be read
// (a wrong header, a wrong number of fields, a bad date or amount, an unknown direction, a text
// the database cannot hold); nothing is planned then.
[[nodiscard]] bool PlanEntriesCsvImport(std::string_view csv, const DatabaseRows& current,
                                        std::string_view kinds_section,
                                        std::string_view accounts_section, CsvImportPlan* plan,
                                        LineError* error);

// One field as RFC 4180 writes it: quoted (with quotes doubled) when it holds ",", a quote, CR
// or LF; as it is otherwise.
std::string CsvField(std::string_view text);

}  // namespace ledgerix
