#include "companion/report_output.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "companion/database_rows.h"
#include "companion/entries_csv.h"

namespace ledgerix {
namespace {

bool IsNumberColumn(const ReportColumn& column) {
  return column.content == ColumnContent::kCount || column.content == ColumnContent::kAmount;
}

// "1,234.50" as "1234.50".
std::string PlainNumber(std::string_view cell) {
  std::string plain;
  for (char c : cell) {
    if (c != ',') plain += c;
  }
  return plain.empty() ? "0" : plain;
}

// Characters of UTF-8 text, for alignment.
size_t Width(const std::string& utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Padded(const std::string& text, size_t width, bool right) {
  const std::string pad(width > Width(text) ? width - Width(text) : 0, ' ');
  return right ? pad + text : text + pad;
}

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::vector<std::string> CaptionLines(const StatisticsCaptions& captions) {
  std::vector<std::string> lines;
  for (const DbString* line :
       {&captions.incoming, &captions.income, &captions.spending, &captions.total}) {
    if (line->Length() > 0) lines.push_back(ToUtf8(*line));
  }
  return lines;
}

std::string AsTable(const ReportTable& table, const StatisticsCaptions& captions) {
  const size_t columns = table.columns.size();
  std::vector<std::vector<std::string>> cells;
  std::vector<std::string> titles;
  for (const ReportColumn& column : table.columns) titles.push_back(ToUtf8(column.title));
  std::vector<size_t> widths(columns, 0);
  for (size_t c = 0; c < columns; ++c) widths[c] = Width(titles[c]);
  for (const ReportTableRow& row : table.rows) {
    std::vector<std::string> line;
    for (size_t c = 0; c < columns; ++c) {
      line.push_back(ToUtf8(DbString(row.cells[c])));
      widths[c] = std::max(widths[c], Width(line.back()));
    }
    cells.push_back(std::move(line));
  }
  std::string out = ToUtf8(captions.period) + "\n" + ToUtf8(captions.report) + "\n";
  if (captions.category.Length() > 0) out += ToUtf8(captions.category) + "\n";
  if (captions.account_visible) out += ToUtf8(captions.account) + "\n";
  out += "\n";
  auto append_line = [&](const std::vector<std::string>& line) {
    std::string text;
    for (size_t c = 0; c < columns; ++c) {
      if (c > 0) text += "  ";
      text += Padded(line[c], widths[c], IsNumberColumn(table.columns[c]));
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + "\n";
  };
  append_line(titles);
  if (table.rows.empty()) out += "(нет записей за период)\n";
  for (const std::vector<std::string>& line : cells) append_line(line);
  out += "\n";
  for (const std::string& line : CaptionLines(captions)) out += line + "\n";
  return out;
}

std::string AsCsv(const ReportTable& table) {
  std::string out;
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out += ',';
    out += CsvField(ToUtf8(table.columns[c].title));
  }
  out += "\r\n";
  for (const ReportTableRow& row : table.rows) {
    for (size_t c = 0; c < table.columns.size(); ++c) {
      if (c > 0) out += ',';
      const std::string cell = ToUtf8(DbString(row.cells[c]));
      out += CsvField(IsNumberColumn(table.columns[c]) ? PlainNumber(cell) : cell);
    }
    out += "\r\n";
  }
  return out;
}

std::string AsJson(const ReportTable& table, const StatisticsCaptions& captions) {
  std::string out = "{\n  \"period\": " + JsonString(ToUtf8(captions.period)) + ",\n";
  out += "  \"report\": " + JsonString(ToUtf8(captions.report)) + ",\n  \"columns\": [";
  for (size_t c = 0; c < table.columns.size(); ++c) {
    out += (c > 0 ? ", " : "") + JsonString(ToUtf8(table.columns[c].title));
  }
  out += "],\n  \"rows\": [";
  for (size_t r = 0; r < table.rows.size(); ++r) {
    out += r > 0 ? ",\n    [" : "\n    [";
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const std::string cell = ToUtf8(DbString(table.rows[r].cells[c]));
      out += c > 0 ? ", " : "";
      out += IsNumberColumn(table.columns[c]) ? PlainNumber(cell) : JsonString(cell);
    }
    out += "]";
  }
  const ReportTotals& totals = table.totals;
  out += table.rows.empty() ? "],\n" : "\n  ],\n";
  out += "  \"totals\": {\"incoming\": " + PlainMoney(totals.incoming_balance) +
         ", \"income\": " + PlainMoney(totals.income_total) +
         ", \"spending\": " + PlainMoney(totals.spending_total) +
         ", \"rows\": " + PlainMoney(totals.rows_total) +
         ", \"closing\": " + PlainMoney(totals.incoming_balance + totals.rows_total) + "}\n}\n";
  return out;
}

}  // namespace

std::string FormatReport(const ReportTable& table, const StatisticsCaptions& captions,
                         ReportFormat format) {
  switch (format) {
    case ReportFormat::kCsv:
      return AsCsv(table);
    case ReportFormat::kJson:
      return AsJson(table, captions);
    case ReportFormat::kTable:
      break;
  }
  return AsTable(table, captions);
}

}  // namespace ledgerix
