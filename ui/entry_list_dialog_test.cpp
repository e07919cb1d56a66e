// The entry list's wiring: adding through the kinds list, marking by a double tap, editing a
// quantity in place, the totals line, and every way out storing the day.
#include "ui/entry_list_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "finance/testing/finance_test_support.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/number_edit.h"
#include "ui/kinds_list_screen.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

class EntryListDialogTest : public FinanceDbTest {
 protected:
  EntryListDialogTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
  }
  void DoubleTap(EditList& list, int row, int column) {
    const QRect cell = list.visualRect(list.model()->index(row, column));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  }
  QString Total(QWidget& dialog) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text().startsWith(QStringLiteral("Итого"))) return label->text();
    }
    return QString();
  }

  AppState state_;
  ScriptedScreenServices services_;
  MemoryList kinds_;
};

TEST_P(EntryListDialogTest, AddMarkEditAndCloseStoresTheDay) {
  EntryListScreen rules(db_.get(), state_, clock_, services_, 2);
  EntryListDialog dialog(rules, services_);
  dialog.show();
  EditList& list = *dialog.list();
  EXPECT_EQ(Total(dialog), QStringLiteral("Итого сумма: 0.00"));
  services_.OnNextScreenOf<KindsListScreen>("KindsListDialog", [this](KindsListScreen& kinds) {
    kinds.Start(kinds_);
    kinds.OnFind(FromUtf8("Кино"));
    return kinds.OnChoose() ? kScreenOk : kScreenCancel;
  });
  FindButton<ImageButton>(dialog, "Добавить")->click();
  ASSERT_EQ(list.ItemCount(), 1);
  EXPECT_EQ(ToUtf8(list.ItemText(0, 2)), "Кино");
  EXPECT_EQ(Total(dialog), QStringLiteral("Итого сумма: 350.00"));

  DoubleTap(list, 0, 2);  // the name column has no editor: the mark flips
  EXPECT_EQ(list.ItemImage(0), 0);

  DoubleTap(list, 0, rules.QuantityColumn());
  ASSERT_TRUE(list.IsEditing());
  NumberEdit* editor = list.NumberEditor();
  editor->setCursorPosition(0);
  QTest::keyClick(editor, Qt::Key_3);        // "1.00" becomes "31.00"
  QTest::keyClick(&dialog, Qt::Key_Escape);  // Escape closes nothing
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_FALSE(list.IsEditing());
  EXPECT_EQ(ToUtf8(list.ItemText(0, rules.QuantityColumn())), "31.00");
  EXPECT_EQ(Total(dialog), QStringLiteral("Итого сумма: 10,850.00"));

  FindChild<QCheckBox>(dialog)->click();
  EXPECT_TRUE(rules.marked_only());
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
  dialog.reject();  // the close button
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_EQ(TableLines(*db_, kEntriesTable).size(), 1u);
  EXPECT_EQ(TableLines(*db_, kEntriesTable)[0],
            "4;110324;89600;7936;102;;0;0;");  // "Кино" is kind 4
}

INSTANTIATE_TEST_SUITE_P(Drivers, EntryListDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
