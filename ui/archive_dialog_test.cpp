// The archives screen's wiring: the real widgets on the offscreen platform reach its rules.
#include "ui/archive_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include "engine/db_value.h"
#include "finance/testing/finance_test_support.h"
#include "ui/controls/edit_list.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

class ArchiveDialogTest : public FinanceDbTest {
 protected:
  ArchiveDialogTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
    state_.settings.DeclareDefault("LAST_ARCHIVE", DbValue(""));
    ASSERT_EQ(OpenDatabase(), 1);
  }
  std::vector<std::string> Rows(EditList& list) const {
    std::vector<std::string> rows;
    for (int row = 0; row < list.ItemCount(); ++row) {
      rows.push_back(ToUtf8(list.ItemText(row, 0)) + "=" + std::to_string(list.ItemData(row)));
    }
    return rows;
  }

  AppState state_;
  ScriptedScreenServices services_;
};

TEST_P(ArchiveDialogTest, SaveRestoreAndDeleteThroughTheWidgets) {
  ASSERT_TRUE(root_.WriteHostFile(u"\\data\\05.01.24 09_00.txt",
                                  FromUtf8("[sec_firms]\r\n7;Сейф;;0;\r\n").View()));
  ArchiveScreen rules(db_.get(), state_, root_.env(), clock_, services_);
  ArchiveDialog dialog(rules, services_);
  dialog.show();
  auto* list = FindChild<EditList>(dialog);
  EXPECT_EQ(Rows(*list), (std::vector<std::string>{"05.01.24 09_00.txt=0"}));
  EXPECT_EQ(list->ColumnWidths(), std::vector<int>{list->viewport()->width() - 1});

  FindButton<QPushButton>(dialog, "Сохранить данные в архив")->click();
  EXPECT_EQ(Rows(*list),
            (std::vector<std::string>{"05.01.24 09_00.txt=0", "01.03.24 12_00.txt=0"}));
  EXPECT_EQ(list->SelectionMark(), 1);

  list->SetSelectionMark(0);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  FindButton<QPushButton>(dialog, "Восстановить архив")->click();
  EXPECT_EQ(services_.MessageTexts().back(), "Обработка завершена!");
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (std::vector<std::string>{"7;Сейф;;0;"}));
  // The data replaced went to an archive of their own: the name of now was taken.
  EXPECT_EQ(Rows(*list),
            (std::vector<std::string>{"..[05.01.24 09_00.txt]=1", "01.03.24 12_00.txt=0",
                                      "01.03.24 12_00 (2).txt=0"}));
  EXPECT_EQ(list->SelectionMark(), 0);

  list->SetSelectionMark(2);
  services_.AnswerNextMessage(MessageAnswer::kYes);
  FindButton<QPushButton>(dialog, "Удалить")->click();
  EXPECT_EQ(services_.MessageTexts().back(),
            "Вы действительно хотите удалить архив: 01.03.24 12_00 (2).txt?");
  EXPECT_FALSE(root_.Exists(u"\\data\\01.03.24 12_00 (2).txt"));
  EXPECT_EQ(list->ItemCount(), 2);
  EXPECT_TRUE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Drivers, ArchiveDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
