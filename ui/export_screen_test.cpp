// The export dialog's rules: the initial fields, what OK writes where, and that the message
// after it tells what happened: the completion after a written text, the failure otherwise.
#include "ui/export_screen.h"

#include <gtest/gtest.h>

#include "platform/fault_injection_env.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

// A report by categories of two rows, as the statistics list shows it.
ReportTable TwoRows() {
  ReportTable table;
  table.columns = {{FromUtf8("Дата"), 60, ColumnAlign::kLeft, ColumnContent::kCaption, false},
                   {FromUtf8("Категория"), 90, ColumnAlign::kLeft, ColumnContent::kText, false},
                   {FromUtf8("Сумма"), 60, ColumnAlign::kRight, ColumnContent::kAmount, true}};
  table.rows.push_back({ReportCells{"05.03.08", FromUtf8("Еда").View(), "1,234.50"}, 80305});
  table.rows.push_back({ReportCells{"06.03.08", FromUtf8("Дом").View(), "-1,234.50"}, 80306});
  table.colour_column = 2;
  return table;
}

class ExportScreenTest : public ::testing::Test {
 protected:
  ExportScreenTest() {
    clock_.SetDate(2008, 12, 6, 14, 5);
    services_.AnswerEveryMessage(MessageAnswer::kOk);
  }

  std::string File(std::u16string_view path) const {
    return ToUtf8(DbString(root_.ReadHostFile(path)));
  }

  TempDeviceRoot root_;
  FakeClock clock_;
  ScriptedScreenServices services_;
};

TEST_F(ExportScreenTest, StartsWithTheStampedNameTheFirstFolderAndTypeAndNoHeader) {
  ReportTable table = TwoRows();
  ExportScreen screen(table, root_.env(), clock_, services_);
  screen.Start();
  EXPECT_EQ(ToUtf8(screen.request.file_name), "Export 06_12_08 14_05");
  EXPECT_EQ(screen.request.folder_index, 0);
  EXPECT_EQ(screen.request.type_index, kExportExcel);
  EXPECT_FALSE(screen.request.with_header);
  ASSERT_EQ(ExportScreen::Folders().size(), 4u);
  EXPECT_EQ(ToUtf8(ExportScreen::Folders()[3]), "Templates");
  EXPECT_EQ(ToUtf8(ExportScreen::FileTypes()[0]), "MS Excel для ПК (*.xls)");
}

TEST_F(ExportScreenTest, OkWritesTheFileAndTellsWhatHappened) {
  ReportTable table = TwoRows();
  ReportTable empty = TwoRows();
  empty.rows.clear();
  struct Case {
    const ReportTable* table;
    const char* name;
    int folder, type;
    bool header;
    std::u16string_view path;
    const char* text;     // the file's text; null when no file is written
    const char* message;  // null when none is shown
  } cases[] = {
      {&table, "a", 1, kExportExcel, false, u"\\My Documents\\Business\\a.xls",
       "05.03.08\tЕда\t1234,50\r\n06.03.08\tДом\t-1234,50\r\n", "Экспорт данных завершен"},
      {&table, "b", 0, kExportCommaText, true, u"\\My Documents\\b.txt",
       "Дата,Категория,Сумма\r\n05.03.08,Еда,1234.50\r\n06.03.08,Дом,-1234.50\r\n",
       "Экспорт данных завершен"},
      {&empty, "c", 3, kExportSemicolonText, true, u"\\My Documents\\Templates\\c.txt",
       "Дата;Категория;Сумма\r\n", "Экспорт данных завершен"},
      {&empty, "d", 2, kExportSemicolonText, false, u"\\My Documents\\Personal\\d.txt", "",
       nullptr},
      {&table, "", 0, kExportExcel, true, u"\\My Documents\\.xls", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    ExportScreen screen(*c.table, root_.env(), clock_, services_);
    screen.Start();
    screen.request.file_name = FromUtf8(c.name);
    screen.request.folder_index = c.folder;
    screen.request.type_index = c.type;
    screen.request.with_header = c.header;
    const size_t shown = services_.messages().size();
    EXPECT_TRUE(screen.OnAccept()) << c.name;
    if (c.text != nullptr) {
      EXPECT_EQ(File(c.path), c.text) << c.name;
    } else {
      EXPECT_FALSE(root_.Exists(c.path)) << c.name;
    }
    ASSERT_EQ(services_.messages().size(), shown + (c.message != nullptr ? 1 : 0)) << c.name;
    if (c.message != nullptr) {
      EXPECT_EQ(services_.messages().back().text, c.message);
      EXPECT_EQ(services_.messages().back().caption, "TOLVENA Info");
    }
  }
}

TEST_F(ExportScreenTest, ExportingTwiceLeavesOnlyTheSecondText) {
  ReportTable table = TwoRows();
  for (const bool header : {true, false}) {
    ExportScreen screen(table, root_.env(), clock_, services_);
    screen.Start();
    screen.request.file_name = FromUtf8("same");
    screen.request.with_header = header;
    EXPECT_TRUE(screen.OnAccept());
  }
  EXPECT_EQ(File(u"\\My Documents\\same.xls"),
            "05.03.08\tЕда\t1234,50\r\n06.03.08\tДом\t-1234,50\r\n");
}

// A write that fails says so, and the completion is never shown after a failure; an older file
// of that name stays whole.
TEST_F(ExportScreenTest, AFailedExportSaysSoAndNeverReportsCompletion) {
  ReportTable table = TwoRows();
  ASSERT_TRUE(root_.WriteHostFile(u"\\My Documents\\kept.xls", "older\r\n"));
  for (const platform::FileOp op : {platform::FileOp::kOpen, platform::FileOp::kWrite,
                                    platform::FileOp::kSync, platform::FileOp::kRename}) {
    platform::FaultInjectionEnv faulty(&root_.env());
    faulty.FailNth(op, 1, platform::winerr::kDiskFull);
    ScriptedScreenServices services;
    services.AnswerEveryMessage(MessageAnswer::kOk);
    ExportScreen screen(table, faulty, clock_, services);
    screen.Start();
    screen.request.file_name = FromUtf8("kept");
    EXPECT_TRUE(screen.OnAccept());
    EXPECT_EQ(screen.result(), ExportResult::kFailed) << static_cast<int>(op);
    EXPECT_EQ(services.MessageTexts(),
              std::vector<std::string>{"Не удалось записать файл экспорта!"});
    EXPECT_EQ(services.messages().at(0).icon, MessageIcon::kWarning);
    EXPECT_EQ(File(u"\\My Documents\\kept.xls"), "older\r\n");
  }
}

}  // namespace
}  // namespace ledgerix::testing
