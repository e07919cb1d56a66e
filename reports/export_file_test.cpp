// Export files: the exact bytes of every file type with and without the header, the fields
// written whole, the folders under "My Documents", and failed writes.
#include "reports/export_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fault_injection_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

// Windows-1251 bytes of a UTF-8 text, to spell out expected file contents.
std::string Cp(const char* utf8) { return std::string(FromUtf8(utf8).View()); }

ReportColumn Column(const char* title_utf8, ColumnContent content, bool decimal = false) {
  ReportColumn column;
  column.title = FromUtf8(title_utf8);
  column.content = content;
  column.decimal_number = decimal;
  return column;
}

ReportTableRow Row(std::initializer_list<const char*> cells_utf8) {
  ReportTableRow row;
  for (const char* cell : cells_utf8) row.cells.push_back(FromUtf8(cell));
  return row;
}

// A day report grouped by kinds, as the statistics screen lists it.
ReportTable ByKinds() {
  ReportTable table;
  table.columns = {
      Column("Дата", ColumnContent::kCaption),      Column("Описание", ColumnContent::kText),
      Column("Категория", ColumnContent::kText),    Column("Кол-во", ColumnContent::kCount),
      Column("Цена", ColumnContent::kAmount, true), Column("Сумма", ColumnContent::kAmount, true)};
  table.rows = {Row({"05.03.08", "Кафе. Обед, ужин", "Еда", "2.50", "-1,234.50", "-3,086.25"}),
                Row({"06.03.08", "Премия", "Основной доход", "1,000.00", "1.00", "1,000.00"})};
  return table;
}

// A report grouped by categories with no rows: the placeholder columns are still there.
ReportTable EmptyByCategories() {
  ReportTable table;
  table.columns = {Column("Дата", ColumnContent::kCaption),
                   Column("Категория", ColumnContent::kText),
                   Column("Сумма", ColumnContent::kAmount, true),
                   Column("STUB", ColumnContent::kText), Column("STUB", ColumnContent::kText)};
  return table;
}

class ExportFileTest : public ::testing::Test {
 protected:
  platform::Env& env() { return device_.env(); }
  std::string Read(std::u16string_view path) { return device_.ReadHostFile(path); }

  testing::TempDeviceRoot device_;
};

TEST(ExportTextTest, TheWorkedLineInEveryFileType) {
  ReportTable table;
  table.columns = {Column("Дата", ColumnContent::kCaption),
                   Column("Категория", ColumnContent::kText),
                   Column("Сумма", ColumnContent::kAmount, true)};
  table.rows = {Row({"05.03.08", "Еда", "1,234.50"})};
  // "Еда" in Windows-1251.
  EXPECT_EQ(ExportText(table, kExportSemicolonText, false).View(),
            "05.03.08;\xC5\xE4\xE0;1234.50\r\n");
  EXPECT_EQ(ExportText(table, kExportCommaText, false).View(), "05.03.08,\xC5\xE4\xE0,1234.50\r\n");
  EXPECT_EQ(ExportText(table, kExportExcel, false).View(), "05.03.08\t\xC5\xE4\xE0\t1234,50\r\n");
}

// A spreadsheet reads "1234,50" as a number but "1,234,50" as text: numbers of a thousand or
// more lose their grouping in every file type, and ".xls" takes "," for the decimal point.
TEST(ExportTextTest, NumbersAreWrittenAsSpreadsheetsAndTextReadersReadThem) {
  struct Case {
    const char* cell;
    const char* text;
    const char* excel;
  };
  const Case cases[] = {
      {"-1,234.50", "-1234.50", "-1234,50"},
      {"1,234,567.89", "1234567.89", "1234567,89"},
      {"-92,233,720,368,547,758.08", "-92233720368547758.08", "-92233720368547758,08"},
      {"999.99", "999.99", "999,99"},
      {"-0.05", "-0.05", "-0,05"},
      {"0.00", "0.00", "0,00"},
  };
  for (const Case& c : cases) {
    ReportTable table;
    table.columns = {Column("Дата", ColumnContent::kCaption),
                     Column("Кол-во", ColumnContent::kCount),
                     Column("Сумма", ColumnContent::kAmount, true)};
    table.rows = {Row({"05.03.08", c.cell, c.cell})};
    const std::string text = std::string("05.03.08;") + c.text + ";" + c.text + "\r\n";
    EXPECT_EQ(ExportText(table, kExportSemicolonText, false).View(), text) << c.cell;
    const std::string comma = std::string("05.03.08,") + c.text + "," + c.text + "\r\n";
    EXPECT_EQ(ExportText(table, kExportCommaText, false).View(), comma) << c.cell;
    const std::string excel = std::string("05.03.08\t") + c.excel + "\t" + c.excel + "\r\n";
    EXPECT_EQ(ExportText(table, kExportExcel, false).View(), excel) << c.cell;
  }
}

TEST(ExportTextTest, NamesAreWrittenWholeAndNumbersKeepTheirDecimals) {
  const ReportTable table = ByKinds();
  EXPECT_EQ(ExportText(table, kExportSemicolonText, false).View(),
            Cp("05.03.08;Кафе. Обед, ужин;Еда;2.50;-1234.50;-3086.25\r\n"
               "06.03.08;Премия;Основной доход;1000.00;1.00;1000.00\r\n"));
  // The "," type cannot hold a "," inside a field; the rest of the name stays.
  EXPECT_EQ(ExportText(table, kExportCommaText, false).View(),
            Cp("05.03.08,Кафе. Обед ужин,Еда,2.50,-1234.50,-3086.25\r\n"
               "06.03.08,Премия,Основной доход,1000.00,1.00,1000.00\r\n"));
  // In ".xls" only numbers take the decimal comma; the "." of a name stays.
  EXPECT_EQ(ExportText(table, kExportExcel, false).View(),
            Cp("05.03.08\tКафе. Обед, ужин\tЕда\t2,50\t-1234,50\t-3086,25\r\n"
               "06.03.08\tПремия\tОсновной доход\t1000,00\t1,00\t1000,00\r\n"));
}

TEST(ExportTextTest, TheHeaderLineCarriesEveryTitleInColumnOrder) {
  const std::string header = Cp("Дата;Описание;Категория;Кол-во;Цена;Сумма\r\n");
  EXPECT_EQ(ExportText(ByKinds(), kExportSemicolonText, true).View().substr(0, header.size()),
            header);
  // An empty report: only the header, placeholders included.
  EXPECT_EQ(ExportText(EmptyByCategories(), kExportExcel, true).View(),
            Cp("Дата\tКатегория\tСумма\tSTUB\tSTUB\r\n"));
  EXPECT_EQ(ExportText(EmptyByCategories(), kExportCommaText, false).View(), "");
}

TEST(ExportTextTest, OnlyWhatTheFileTypeCannotHoldIsRemoved) {
  ReportTable table;
  table.columns = {Column("Дата", ColumnContent::kCaption),
                   Column("A;B\tC,D", ColumnContent::kText), Column("Note", ColumnContent::kText)};
  table.rows = {Row({"05.03.08", "a;b\tc,d", "line\r\nbreak"})};
  EXPECT_EQ(ExportText(table, kExportSemicolonText, true).View(),
            "\xC4\xE0\xF2\xE0;AB\tC,D;Note\r\n05.03.08;ab\tc,d;linebreak\r\n");
  EXPECT_EQ(ExportText(table, kExportCommaText, true).View(),
            "\xC4\xE0\xF2\xE0,A;B\tCD,Note\r\n05.03.08,a;b\tcd,linebreak\r\n");
  EXPECT_EQ(ExportText(table, kExportExcel, true).View(),
            "\xC4\xE0\xF2\xE0\tA;BC,D\tNote\r\n05.03.08\ta;bc,d\tlinebreak\r\n");
}

TEST(ExportTextTest, TitlesAreCutAt255CharactersAndShortRowsGetEmptyFields) {
  ReportTable table;
  table.columns = {Column("Дата", ColumnContent::kCaption), Column("", ColumnContent::kText),
                   Column("Сумма", ColumnContent::kAmount, true)};
  table.columns[1].title = DbString(std::string(300, 'x'));
  table.rows = {Row({"05.03.08"})};
  EXPECT_EQ(ExportText(table, kExportSemicolonText, true).View(),
            Cp("Дата;") + std::string(255, 'x') + Cp(";Сумма\r\n05.03.08;;\r\n"));
  EXPECT_EQ(ExportText(table, 3, true).View(), "");
}

TEST_F(ExportFileTest, ExportListWritesTheExactBytesAndAnswersWhatTheScreenShows) {
  const DbString path("My Documents\\\\r.txt");
  EXPECT_EQ(ExportList(env(), ByKinds(), path, kExportSemicolonText, true), ExportResult::kWritten);
  EXPECT_EQ(Read(u"\\My Documents\\r.txt"),
            Cp("Дата;Описание;Категория;Кол-во;Цена;Сумма\r\n"
               "05.03.08;Кафе. Обед, ужин;Еда;2.50;-1234.50;-3086.25\r\n"
               "06.03.08;Премия;Основной доход;1000.00;1.00;1000.00\r\n"));
  EXPECT_EQ(ExportResultMessage(ExportResult::kWritten).View(), Cp("Экспорт данных завершен"));

  // Twice under one name: only the second text is left.
  EXPECT_EQ(ExportList(env(), EmptyByCategories(), path, kExportSemicolonText, false),
            ExportResult::kWrittenEmpty);
  EXPECT_TRUE(device_.Exists(u"\\My Documents\\r.txt"));
  EXPECT_EQ(Read(u"\\My Documents\\r.txt"), "");
  EXPECT_EQ(ExportResultMessage(ExportResult::kWrittenEmpty).Length(), 0u);
  EXPECT_FALSE(device_.Exists(u"\\My Documents\\r.txt.tmp"));
  EXPECT_EQ(ExportList(env(), ByKinds(), path, -1, true), ExportResult::kBadChoice);
}

TEST_F(ExportFileTest, TheScreensOkBuildsThePathAndMakesTheFolder) {
  ExportRequest request;
  request.file_name = FromUtf8("Отчет март");
  request.folder_index = 1;
  request.type_index = kExportExcel;
  EXPECT_EQ(ExportPath(request).View(), Cp("My Documents\\\\Business\\\\Отчет март.xls"));
  EXPECT_EQ(ExportToFile(env(), EmptyByCategories(), request), ExportResult::kWrittenEmpty);
  EXPECT_EQ(device_.ReadHostFile(u"\\My Documents\\Business\\Отчет март.xls"), "");
  // The folder exists now; a second export into it works all the same.
  request.with_header = true;
  EXPECT_EQ(ExportToFile(env(), EmptyByCategories(), request), ExportResult::kWritten);
  EXPECT_EQ(device_.ReadHostFile(u"\\My Documents\\Business\\Отчет март.xls"),
            Cp("Дата\tКатегория\tСумма\tSTUB\tSTUB\r\n"));

  request.folder_index = 0;
  request.type_index = kExportCommaText;
  EXPECT_EQ(ExportPath(request).View(), Cp("My Documents\\\\Отчет март.txt"));
  EXPECT_EQ(ExportToFile(env(), EmptyByCategories(), request), ExportResult::kWritten);
  EXPECT_TRUE(device_.Exists(u"\\My Documents\\Отчет март.txt"));

  request.folder_index = 4;
  EXPECT_EQ(ExportToFile(env(), EmptyByCategories(), request), ExportResult::kBadChoice);
  request.folder_index = 0;
  request.file_name = DbString();
  EXPECT_EQ(ExportToFile(env(), EmptyByCategories(), request), ExportResult::kNoFileName);
  EXPECT_EQ(ExportResultMessage(ExportResult::kNoFileName).Length(), 0u);
}

TEST_F(ExportFileTest, ANameTheFileSystemRefusesIsReportedAsAFailure) {
  ExportRequest request;
  request.file_name = DbString("a/b");
  EXPECT_EQ(ExportToFile(env(), ByKinds(), request), ExportResult::kFailed);
  EXPECT_EQ(ExportResultMessage(ExportResult::kFailed).View(),
            Cp("Не удалось записать файл экспорта!"));
}

// Every disk-changing call of an export fails in turn: the older file of that name stays whole,
// no temporary file is left, and the failure is answered.
TEST_F(ExportFileTest, AFailedWriteLeavesTheOlderFileWholeAndIsReported) {
  const std::string old_content = "old export\r\n";
  ASSERT_TRUE(device_.WriteHostFile(u"\\My Documents\\Personal\\r.xls", old_content));
  ExportRequest request;
  request.file_name = DbString("r");
  request.folder_index = 2;
  request.type_index = kExportExcel;
  platform::FaultInjectionEnv faulty(&env());
  int failures = 0;
  for (int n = 1;; ++n) {
    faulty.Reset();
    faulty.FailNthMutation(n, platform::winerr::kDiskFull);
    const ExportResult result = ExportToFile(faulty, ByKinds(), request);
    const bool fired = faulty.InjectedCount() > 0;
    const std::string content = Read(u"\\My Documents\\Personal\\r.xls");
    EXPECT_FALSE(device_.Exists(u"\\My Documents\\Personal\\r.xls.tmp")) << n;
    if (result == ExportResult::kWritten) {
      // Only the folder creation failed, and the folder was there already.
      EXPECT_EQ(content, std::string(ExportText(ByKinds(), kExportExcel, false).View())) << n;
      if (!fired) break;
      ASSERT_TRUE(device_.WriteHostFile(u"\\My Documents\\Personal\\r.xls", old_content));
    } else {
      EXPECT_TRUE(fired);
      ++failures;
      EXPECT_EQ(result, ExportResult::kFailed) << n;
      EXPECT_EQ(content, old_content) << n;
    }
    ASSERT_LT(n, 50);
  }
  EXPECT_GE(failures, 4);  // the open, the write, the sync and the rename at least
  faulty.Reset();
  faulty.ShortWriteNth(1);
  ASSERT_TRUE(device_.WriteHostFile(u"\\My Documents\\Personal\\r.xls", old_content));
  EXPECT_EQ(ExportToFile(faulty, ByKinds(), request), ExportResult::kFailed);
  EXPECT_EQ(Read(u"\\My Documents\\Personal\\r.xls"), old_content);
}

TEST(ExportChoicesTest, TheBoxesOfTheExportScreen) {
  const std::vector<DbString> folders = ExportFolderCaptions();
  ASSERT_EQ(folders.size(), 4u);
  EXPECT_EQ(folders[0].View(), "None");
  EXPECT_EQ(folders[3].View(), "Templates");
  EXPECT_EQ(ExportFolderPrefix(2).View(), "My Documents\\\\Personal\\\\");
  const std::vector<DbString> types = ExportFileTypeCaptions();
  ASSERT_EQ(types.size(), 3u);
  EXPECT_EQ(types[0].View(), Cp("MS Excel для ПК (*.xls)"));
  EXPECT_EQ(types[1].View(), Cp("Текст. файлы (',') (*.txt)"));
  EXPECT_EQ(types[2].View(), Cp("Текст. файлы (';') (*.txt)"));
  EXPECT_EQ(ExportSeparator(kExportExcel), '\t');
  EXPECT_EQ(ExportExtension(kExportSemicolonText).View(), ".txt");
}

TEST(ExportChoicesTest, TheStampUsesTwoDigitsForEachNumber) {
  const platform::LocalTime december{2008, 12, 6, 14, 5, 0, 6};
  EXPECT_EQ(DefaultExportFileName(december).View(), "Export 06_12_08 14_05");
  // The year 2000 is "00", not "100".
  EXPECT_EQ(ExportStamp(platform::LocalTime{2000, 1, 1, 0, 0, 0, 6}).View(), "01_01_00 00_00");
  EXPECT_EQ(ExportStamp(platform::LocalTime{1999, 12, 31, 23, 59, 0, 5}).View(), "31_12_99 23_59");
}

}  // namespace
}  // namespace ledgerix
