// The kinds list's wiring: filter, find and choose through the real widgets.
#include "ui/kinds_list_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "finance/testing/finance_test_support.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/testing/widget_finder.h"

namespace ledgerix::testing {
namespace {

using KindsListDialogTest = FinanceDbTest;

void DoubleTap(EditList& list, int row, int column) {
  const QRect cell = list.visualRect(list.model()->index(row, column));
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

TEST_P(KindsListDialogTest, FilterFindAndChooseByDoubleTap) {
  ASSERT_EQ(OpenDatabase(), 1);
  ScriptedScreenServices services;
  KindChoice choice;
  KindsListScreen rules(db_.get(), clock_, services, 2, &choice);
  KindsListDialog dialog(rules, services);
  dialog.show();
  EditList& list = *dialog.list();
  EXPECT_EQ(list.ItemCount(), 4);
  EXPECT_EQ(ToUtf8(list.ItemText(0, 1)), "Бензин");
  EXPECT_EQ(list.SelectionMark(), 0);

  auto* categories = FindChild<QComboBox>(dialog);
  EXPECT_EQ(categories->count(), 4);
  categories->setCurrentIndex(2);  // "Проезд"
  emit categories->activated(2);
  EXPECT_EQ(list.ItemCount(), 2);

  FindChild<QLineEdit>(dialog)->setText(QStringLiteral("Такси"));
  // The find button is the first picture button after the close button.
  FindChild<ImageButton>(dialog, 1)->click();
  EXPECT_EQ(list.SelectionMark(), 1);

  DoubleTap(list, 1, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(choice.accepted);
  EXPECT_EQ(ToUtf8(choice.kind.name), "Такси");
}

INSTANTIATE_TEST_SUITE_P(Drivers, KindsListDialogTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
