// The editable list through the real widget on the offscreen platform: taps, typing and focus
// changes as a person makes them, pixels as drawn.
#include "ui/controls/edit_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/cell_combo_box.h"
#include "ui/controls/colour_ref.h"
#include "ui/controls/edit_list_delegate.h"
#include "ui/controls/edit_list_header.h"
#include "ui/controls/number_edit.h"

namespace ledgerix {
namespace {

constexpr int kQuantity = 3;
constexpr int kPrice = 4;

class EditListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(240, 320);
    list_ = new EditList(window_.get());
    list_->setGeometry(0, 0, 240, 240);
    elsewhere_ = new QLineEdit(window_.get());
    elsewhere_->setGeometry(0, 260, 100, 24);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  // The entry list's columns, quantity and price editable with two decimals.
  void AddEntryColumns() {
    const char* titles[] = {"", "N.", "Наименование", "Кол-во", "Цена", "Сумма"};
    const int widths[] = {16, 24, 80, 40, 40, 40};
    for (int i = 0; i < 6; ++i) list_->InsertColumn(i, FromUtf8(titles[i]), widths[i]);
    ASSERT_TRUE(list_->AddColumnEditor(kQuantity, kEditorDecimal, 0, 2));
    ASSERT_TRUE(list_->AddColumnEditor(kPrice, kEditorDecimal, 0, 2));
  }

  // Rows "Вид i" with price `prices[i]`, data 100 + i; the views told at once.
  void AddRows(const std::vector<const char*>& prices) {
    for (size_t i = 0; i < prices.size(); ++i) {
      const int row = list_->InsertItem(DbString(""), 1, 100 + static_cast<int64_t>(i));
      list_->SetItemText(row, 1, DbString(std::to_string(i + 1).c_str()));
      list_->SetItemText(row, 2, FromUtf8("Вид " + std::to_string(i)));
      list_->SetItemText(row, kQuantity, DbString("1.00"));
      list_->SetItemText(row, kPrice, DbString(prices[i]));
    }
    QApplication::processEvents();
  }

  QPoint CellCentre(int row, int column) const {
    return list_->visualRect(list_->model()->index(row, column)).center();
  }

  void DoubleTap(int row, int column) {
    QTest::mouseDClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
  }

  std::string Text(int row, int column) const { return ToUtf8(list_->ItemText(row, column)); }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < list_->ItemCount(); ++row) texts.push_back(Text(row, column));
    return texts;
  }

  uint32_t Pixel(int x, int y) const {
    return ToColourRef(list_->viewport()->grab().toImage().pixelColor(x, y));
  }

  std::unique_ptr<QWidget> window_;
  EditList* list_ = nullptr;        // owned by the window
  QLineEdit* elsewhere_ = nullptr;  // somewhere for the focus to go
};

TEST_F(EditListTest, FillsAsAListControl) {
  AddEntryColumns();
  ListControl& control = *list_;
  EXPECT_EQ(control.InsertItem(FromUtf8("первый"), 0, 7), 0);
  EXPECT_EQ(control.InsertItem(DbString("b"), 1, -8), 1);
  EXPECT_EQ(control.InsertItem(DbString("c"), 1, int64_t{1} << 40), 2);
  control.SetItemText(1, 5, DbString("9.99"));
  control.SetItemText(1, 6, DbString("x"));  // no column 6
  control.SetItemText(3, 1, DbString("x"));  // no row 3
  EXPECT_EQ(control.ItemCount(), 3);
  // The views learn of appended rows from the event loop, all at once.
  EXPECT_EQ(list_->model()->rowCount(), 0);
  QApplication::processEvents();
  EXPECT_EQ(list_->model()->rowCount(), 3);
  EXPECT_EQ(Text(0, 0), "первый");
  EXPECT_EQ(list_->model()->index(0, 0).data().toString(), QStringLiteral("первый"));
  EXPECT_EQ(Text(1, 5), "9.99");
  EXPECT_EQ(Text(1, 4), "");
  EXPECT_EQ(Text(1, 6), "");
  EXPECT_EQ(list_->ItemData(1), -8);
  EXPECT_EQ(list_->ItemData(2), int64_t{1} << 40);
  EXPECT_EQ(list_->ItemImage(0), 0);
  list_->SetItemImage(0, 1);
  EXPECT_EQ(list_->ItemImage(0), 1);
  EXPECT_EQ(list_->ItemImage(9), -1);
  EXPECT_EQ(list_->ItemData(9), 0);
  // Selecting a row not yet told of tells the views first.
  EXPECT_EQ(control.InsertItem(DbString("d"), 1, 0), 3);
  list_->SetSelectionMark(3);
  EXPECT_EQ(list_->SelectionMark(), 3);
  control.DeleteAllItems();
  EXPECT_EQ(control.ItemCount(), 0);
  EXPECT_EQ(list_->model()->rowCount(), 0);
  EXPECT_EQ(list_->SelectionMark(), -1);
  EXPECT_EQ(list_->ColumnCount(), 6);
}

TEST_F(EditListTest, ADoubleTapIsTakenOnlyByAColumnWhoseEditorOpens) {
  AddEntryColumns();
  list_->AddColumnEditor(5, kEditorDecimal, 0, 2, {}, false);  // neither editing nor drop-down
  list_->AddColumnEditor(1, kEditorPlainText, 0, 0, {DbValue("a")}, true);
  AddRows({"1.00", "2.00"});
  struct Case {
    int row, column;
    bool passed_on;
  } cases[] = {{0, 2, true},          {1, 5, true},  {1, kPrice, false},
               {0, kQuantity, false}, {1, 1, false}, {1, 0, true}};
  for (const Case& c : cases) {
    QSignalSpy passed(list_, &EditList::DoubleTapNotTaken);
    DoubleTap(c.row, c.column);
    ASSERT_EQ(passed.count(), c.passed_on ? 1 : 0) << c.row << "," << c.column;
    if (c.passed_on) {
      EXPECT_EQ(passed.at(0).at(0).toInt(), c.row);
      EXPECT_EQ(passed.at(0).at(1).toInt(), c.column);
    }
    EXPECT_EQ(list_->IsEditing(), !c.passed_on) << c.row << "," << c.column;
    list_->EndEditing();
  }
}

TEST_F(EditListTest, ColumnZeroIsEditedAsTheRowsLabelAndTheTapPassesOn) {
  AddEntryColumns();
  ASSERT_TRUE(list_->AddColumnEditor(0, kEditorDigits, 0, 0));
  AddRows({"1.00"});
  list_->SetItemText(0, 0, DbString("12"));
  QSignalSpy passed(list_, &EditList::DoubleTapNotTaken);
  QSignalSpy edited(list_, &EditList::CellEdited);
  DoubleTap(0, 0);
  EXPECT_EQ(passed.count(), 1);
  auto* label = list_->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(label, nullptr);
  QTest::keyClick(label, Qt::Key_End);
  QTest::keyClicks(label, "3x4");  // digits only
  QTest::keyClick(label, Qt::Key_Return);
  QApplication::processEvents();  // the view commits its editor from the event loop
  EXPECT_EQ(Text(0, 0), "1234");
  EXPECT_EQ(ToUtf8(EditList::LastReplacedCellText()), "12");
  ASSERT_EQ(edited.count(), 1);
  EXPECT_EQ(edited.at(0).at(1).toInt(), 0);
}

TEST_F(EditListTest, ADecimalCellIsEditedInPlaceAndCommitsWhenTheFocusLeaves) {
  AddEntryColumns();
  struct Case {
    std::vector<Qt::Key> keys;
    const char* typed;
    const char* cell;
  } cases[] = {{{Qt::Key_Home}, "7", "71,234.50"}, {{}, "5", "5.00"}, {{}, "", "1,234.50"}};
  for (const Case& c : cases) {
    list_->DeleteAllItems();
    AddRows({"0.00", "1,234.50", "3.00"});
    QSignalSpy edited(list_, &EditList::CellEdited);
    DoubleTap(1, kPrice);
    NumberEdit* editor = list_->NumberEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), QStringLiteral("1234.50"));
    EXPECT_EQ(editor->selectedText(), QStringLiteral("1234.50"));
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->Decimals(), 2);
    EXPECT_EQ(editor->font().pixelSize(), 13);
    EXPECT_EQ(editor->geometry(), list_->visualRect(list_->model()->index(1, kPrice)));
    for (Qt::Key key : c.keys) QTest::keyClick(editor, key);
    QTest::keyClicks(editor, c.typed);
    elsewhere_->setFocus();
    EXPECT_FALSE(editor->isVisible()) << c.typed;
    EXPECT_FALSE(list_->IsEditing());
    EXPECT_EQ(Text(1, kPrice), c.cell) << c.typed;
    EXPECT_EQ(ToUtf8(EditList::LastReplacedCellText()), "1,234.50");
    ASSERT_EQ(edited.count(), 1) << c.typed;
    EXPECT_EQ(edited.at(0).at(0).toInt(), 1);
    EXPECT_EQ(edited.at(0).at(1).toInt(), kPrice);
    EXPECT_EQ(list_->SelectionMark(), 1);
    EXPECT_EQ(Column(kQuantity), (std::vector<std::string>{"1.00", "1.00", "1.00"}));
    EXPECT_EQ(Text(0, kPrice), "0.00");
    EXPECT_EQ(Text(2, kPrice), "3.00");
  }
}

TEST_F(EditListTest, TheScreenEndsAnEditAndANegativeAmountKeepsItsSign) {
  AddEntryColumns();
  AddRows({"-1,234.50"});
  QSignalSpy edited(list_, &EditList::CellEdited);
  DoubleTap(0, kPrice);
  ASSERT_TRUE(list_->IsEditing());
  EXPECT_EQ(list_->NumberEditor()->text(), QStringLiteral("-1234.50"));
  list_->EndEditing();  // as the screen does on Enter
  EXPECT_TRUE(list_->hasFocus());
  EXPECT_FALSE(list_->IsEditing());
  EXPECT_EQ(Text(0, kPrice), "-1,234.50");
  EXPECT_EQ(edited.count(), 1);
  DoubleTap(0, kQuantity);  // Enter in the editor finishes the edit too
  QTest::keyClicks(list_->NumberEditor(), "3");
  QTest::keyClick(list_->NumberEditor(), Qt::Key_Return);
  EXPECT_FALSE(list_->IsEditing());
  EXPECT_EQ(Text(0, kQuantity), "3.00");
  EXPECT_EQ(edited.count(), 2);
}

TEST_F(EditListTest, ADropDownCommitsTheChosenEntry) {
  AddEntryColumns();
  list_->AddColumnEditor(2, kEditorPlainText, 0, 0,
                         {DbValue(FromUtf8("Да")), DbValue(FromUtf8("Нет")), DbValue(int32_t{7})},
                         true);
  AddRows({"1.00", "2.00"});
  list_->SetItemText(0, 2, FromUtf8("Нет"));
  list_->SetItemText(1, 2, FromUtf8("Может быть"));
  QSignalSpy edited(list_, &EditList::CellEdited);

  DoubleTap(0, 2);
  CellComboBox* drop_down = list_->DropDown();
  ASSERT_NE(drop_down, nullptr);
  ASSERT_TRUE(drop_down->isVisible());
  EXPECT_TRUE(drop_down->hasFocus());
  ASSERT_EQ(drop_down->count(), 3);
  EXPECT_EQ(drop_down->itemText(2), QStringLiteral("7"));
  EXPECT_EQ(drop_down->currentIndex(), 1);
  drop_down->setCurrentIndex(0);
  drop_down->hidePopup();  // the list closed on a choice
  EXPECT_FALSE(drop_down->isVisible());
  EXPECT_EQ(Text(0, 2), "Да");
  EXPECT_EQ(ToUtf8(EditList::LastReplacedCellText()), "Нет");
  EXPECT_EQ(edited.count(), 1);

  DoubleTap(1, 2);  // a text not among the choices: nothing chosen, the cell stays
  EXPECT_EQ(drop_down->currentIndex(), -1);
  elsewhere_->setFocus();
  EXPECT_FALSE(drop_down->isVisible());
  EXPECT_EQ(Text(1, 2), "Может быть");
  EXPECT_EQ(edited.count(), 2);

  DoubleTap(1, 2);
  drop_down->setCurrentIndex(2);
  elsewhere_->setFocus();
  EXPECT_EQ(Text(1, 2), "7");
}

TEST_F(EditListTest, DeletingARowSelectsTheNextOrThePrevious) {
  AddEntryColumns();
  struct Case {
    int rows, deleted;
    bool select_next;
    int selected_before, selected_after;
    std::vector<std::string> left;
  } cases[] = {
      {4, 1, true, 1, 1, {"Вид 0", "Вид 2", "Вид 3"}},
      {4, 3, true, 3, 2, {"Вид 0", "Вид 1", "Вид 2"}},
      {4, 0, true, 2, 0, {"Вид 1", "Вид 2", "Вид 3"}},
      {1, 0, true, 0, -1, {}},
      {4, 1, false, 3, 2, {"Вид 0", "Вид 2", "Вид 3"}},  // the selected row moves up with its row
  };
  for (const Case& c : cases) {
    list_->DeleteAllItems();
    list_->SetSelectNextAfterDelete(c.select_next);
    AddRows(std::vector<const char*>(static_cast<size_t>(c.rows), "1.00"));
    list_->SetSelectionMark(c.selected_before);
    elsewhere_->setFocus();
    EXPECT_TRUE(list_->DeleteRow(c.deleted));
    EXPECT_EQ(Column(2), c.left) << c.deleted;
    EXPECT_EQ(list_->SelectionMark(), c.selected_after) << c.rows << " " << c.deleted;
    EXPECT_TRUE(list_->hasFocus());
  }
  EXPECT_FALSE(list_->DeleteRow(5));
  EXPECT_FALSE(list_->DeleteRow(-1));
}

TEST_F(EditListTest, AnOpenEditorCommitsToItsOwnCellBeforeARowIsDeleted) {
  AddEntryColumns();
  AddRows({"1.00", "2.00", "3.00", "4.00"});
  DoubleTap(2, kPrice);
  QTest::keyClicks(list_->NumberEditor(), "9");
  ASSERT_TRUE(list_->DeleteRow(0));
  EXPECT_FALSE(list_->IsEditing());
  EXPECT_EQ(Column(kPrice), (std::vector<std::string>{"2.00", "9.00", "4.00"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Вид 1", "Вид 2", "Вид 3"}));
  EXPECT_EQ(list_->SelectionMark(), 0);
}

TEST_F(EditListTest, ChoosingAnotherRowEndsTheEditorAndKeepsTheNewRow) {
  AddEntryColumns();
  AddRows({"1.00", "2.00", "3.00"});
  QSignalSpy edited(list_, &EditList::CellEdited);
  DoubleTap(0, kQuantity);
  QTest::keyClicks(list_->NumberEditor(), "4");
  QTest::mouseClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2, 2));
  EXPECT_FALSE(list_->IsEditing());
  EXPECT_FALSE(list_->NumberEditor()->isVisible());
  EXPECT_EQ(Text(0, kQuantity), "4.00");
  ASSERT_EQ(edited.count(), 1);
  EXPECT_EQ(edited.at(0).at(0).toInt(), 0);
  EXPECT_EQ(list_->SelectionMark(), 2);
  EXPECT_EQ(list_->currentIndex().row(), 2);
}

TEST_F(EditListTest, EditorsFollowTheirColumnsAndGoWithThem) {
  AddEntryColumns();
  AddRows({"5.00"});
  list_->InsertColumn(2, FromUtf8("Счет"), 50);
  EXPECT_EQ(list_->ColumnCount(), 7);
  EXPECT_EQ(Text(0, 3), "Вид 0");
  EXPECT_EQ(list_->FindColumnEditor(kQuantity), nullptr);
  ASSERT_NE(list_->FindColumnEditor(kPrice + 1), nullptr);
  EXPECT_EQ(list_->ColumnWidths(), (std::vector<int>{16, 24, 50, 80, 40, 40, 40}));
  DoubleTap(0, kPrice + 1);
  EXPECT_EQ(list_->NumberEditor()->text(), QStringLiteral("5.00"));
  list_->EndEditing();
  EXPECT_TRUE(list_->DeleteColumn(2));
  EXPECT_NE(list_->FindColumnEditor(kQuantity), nullptr);
  EXPECT_NE(list_->FindColumnEditor(kPrice), nullptr);
  EXPECT_EQ(list_->FindColumnEditor(5), nullptr);
  EXPECT_TRUE(list_->DeleteColumn(kQuantity));
  EXPECT_NE(list_->FindColumnEditor(kQuantity), nullptr);  // the price, moved back
  EXPECT_EQ(list_->FindColumnEditor(kPrice), nullptr);
  EXPECT_EQ(Text(0, kQuantity), "5.00");
  EXPECT_FALSE(list_->DeleteColumn(9));
}

TEST_F(EditListTest, ExportTextFollowsTheColumnsEditor) {
  AddEntryColumns();
  list_->AddColumnEditor(1, kEditorDigits, 0, 0, {}, true);
  AddRows({"1,234.5"});
  list_->SetItemText(0, 1, DbString("1,200"));
  list_->SetItemText(0, 5, DbString("-12,345.67"));
  struct Case {
    int column;
    const char* text;
  } cases[] = {{1, "1200"}, {2, "Вид 0"}, {kQuantity, "1.00"}, {kPrice, "1234.50"}, {5, "-12345"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(list_->CellExportText(0, c.column)), c.text) << c.column;
  }
  EXPECT_EQ(ToUtf8(list_->CellExportText(3, 1)), "");
}

TEST_F(EditListTest, RowsAreDrawnInTheRuleSelectionAndPlainColours) {
  AddEntryColumns();
  AddRows({"-0.50", "1.00", "-1,234.50", "0.00"});
  RowColourRule rule;
  rule.column = kPrice;
  rule.value = DbString("0");
  rule.compare = RowCompare::kLess;
  list_->SetRowColourRule(rule);
  list_->SetSelectionMark(2);
  QApplication::processEvents();
  struct Case {
    int row;
    uint32_t background;
  } cases[] = {{0, rule.match_background},
               {1, 0xFFFFFF},
               {2, kSelectedRowBackground},  // a selected row shows as selected
               {3, 0xFFFFFF}};
  for (const Case& c : cases) {
    const QRect cell = list_->visualRect(list_->model()->index(c.row, 2));
    EXPECT_EQ(Pixel(cell.right() - 3, cell.top() + 2), c.background) << c.row;
  }
  EXPECT_TRUE(list_->RowMatchesRule(0));
  EXPECT_TRUE(list_->RowMatchesRule(2));
  EXPECT_FALSE(list_->RowMatchesRule(3));
  // The text of a matching row in the rule's text colour, of the selected row in its own.
  const QImage image = list_->viewport()->grab().toImage();
  auto has_colour = [&](int row, uint32_t colour) {
    const QRect cell = list_->visualRect(list_->model()->index(row, kPrice));
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x) {
        if (ToColourRef(image.pixelColor(x, y)) == colour) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(has_colour(0, rule.match_text));
  EXPECT_TRUE(has_colour(2, kSelectedRowText));
  EXPECT_TRUE(has_colour(1, 0x000000));
}

TEST_F(EditListTest, GridLinesAreDrawnOnlyWithTheGridFlag) {
  AddEntryColumns();
  AddRows({"1.00", "2.00"});
  for (bool grid : {true, false}) {
    list_->SetGrid(grid);
    EXPECT_EQ(list_->Grid(), grid);
    QApplication::processEvents();
    const QRect cell = list_->visualRect(list_->model()->index(0, 2));
    const uint32_t line = grid ? kGridLineColour : 0xFFFFFFu;
    EXPECT_EQ(Pixel(cell.right(), cell.center().y()), line);  // the column's right edge
    EXPECT_EQ(Pixel(cell.left() + 5, cell.bottom()), line);   // under the row
    EXPECT_EQ(Pixel(cell.right(), list_->viewport()->height() - 3), line);  // below the rows too
    EXPECT_EQ(Pixel(cell.left() + 5, cell.bottom() - 1), 0xFFFFFFu);
    const QImage header = list_->horizontalHeader()->viewport()->grab().toImage();
    const int bottom = header.height() - 1;
    EXPECT_EQ(ToColourRef(header.pixelColor(30, bottom)) == kGridLineColour, grid);
    EXPECT_EQ(ToColourRef(header.pixelColor(30, bottom - 1)) == kGridLineColour, grid);
  }
}

TEST_F(EditListTest, ColumnZeroStartsWithTheRowsImage) {
  AddEntryColumns();
  QPixmap red(12, 12);
  red.fill(Qt::red);
  list_->SetSmallImages({red});
  AddRows({"1.00", "2.00"});
  list_->SetItemImage(0, 0);  // marked; row 1 keeps image 1, which the list has not
  QApplication::processEvents();
  const QRect first = list_->visualRect(list_->model()->index(0, 0));
  const QRect second = list_->visualRect(list_->model()->index(1, 0));
  EXPECT_EQ(Pixel(first.left() + 6, first.center().y()), 0x0000FFu);
  EXPECT_EQ(Pixel(second.left() + 6, second.center().y()), 0xFFFFFFu);
}

TEST_F(EditListTest, AReportIsShownWithItsColumnsRowsEditorsAndColouring) {
  list_->AddColumnEditor(0, kEditorDigits, 0, 0);  // an editor of an earlier layout goes
  ReportTable table;
  table.columns = {{FromUtf8("Дата"), 51, ColumnAlign::kLeft, ColumnContent::kCaption, false},
                   {FromUtf8("Категория"), 116, ColumnAlign::kLeft, ColumnContent::kText, false},
                   {FromUtf8("Сумма"), 67, ColumnAlign::kRight, ColumnContent::kAmount, true}};
  const char* rows[][3] = {{"05.03.08", "Машина", "-0.50"},
                           {"06.03.08", "Зарплата", "1,200.00"},
                           {"07.03.08", "Машина", "-1.00"}};
  for (int i = 0; i < 3; ++i) {
    ReportTableRow row;
    for (const char* cell : rows[i]) row.cells.push_back(FromUtf8(cell));
    row.value = 80305 + i;
    table.rows.push_back(std::move(row));
  }
  table.colour_column = 2;
  list_->ShowReport(table);
  EXPECT_EQ(list_->ColumnCount(), 3);
  EXPECT_EQ(list_->ColumnWidths(), (std::vector<int>{51, 116, 67}));
  EXPECT_EQ(list_->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Категория"));
  EXPECT_TRUE(list_->model()->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
              Qt::AlignRight);
  EXPECT_EQ(list_->FindColumnEditor(0), nullptr);
  ASSERT_NE(list_->FindColumnEditor(2), nullptr);
  EXPECT_EQ(list_->FindColumnEditor(2)->kind, kEditorDecimal);
  EXPECT_EQ(list_->FindColumnEditor(2)->decimals, 2);
  ASSERT_EQ(list_->ItemCount(), 3);
  EXPECT_EQ(list_->model()->rowCount(), 3);
  EXPECT_EQ(Text(1, 1), "Зарплата");
  EXPECT_EQ(list_->ItemData(2), 80307);
  EXPECT_EQ(list_->ItemImage(0), -1);
  EXPECT_TRUE(list_->RowMatchesRule(0));  // -0.50 is below 0
  EXPECT_FALSE(list_->RowMatchesRule(1));
  EXPECT_TRUE(list_->RowMatchesRule(2));
  QApplication::processEvents();
  const QRect cell = list_->visualRect(list_->model()->index(0, 1));
  EXPECT_EQ(Pixel(cell.right() - 3, cell.top() + 2), kTintedRowBackground);
  EXPECT_EQ(ToUtf8(list_->CellExportText(1, 2)), "1200.00");
}

}  // namespace
}  // namespace ledgerix
