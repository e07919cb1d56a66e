// Scenes of the editable list: the entry list with its grid and marks, the statistics list with
// negative rows tinted, and a cell being edited in place.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "reports/report_table.h"
#include "screenshots/scene.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

constexpr int kListLeft = 4;
constexpr int kListTop = 28;
constexpr int kListWidth = 232;
constexpr int kListHeight = 220;

// The mark of a marked entry: a green tick, 12 by 12 pixels.
QPixmap MarkImage() {
  QPixmap image(12, 12);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 140, 0), 2));
  painter.drawLine(QPointF(2, 6), QPointF(5, 9));
  painter.drawLine(QPointF(5, 9), QPointF(10, 2));
  return image;
}

struct Screen {
  std::unique_ptr<DeviceDialog> dialog;
  EditList* list;  // owned by the dialog
};

Screen ListScreen(const char* caption) {
  Screen screen{std::make_unique<DeviceDialog>(), nullptr};
  auto* label = new QLabel(QString::fromUtf8(caption), screen.dialog.get());
  label->setGeometry(kListLeft, 4, kListWidth, 20);
  screen.list = new EditList(screen.dialog.get());
  screen.list->setGeometry(kListLeft, kListTop, kListWidth, kListHeight);
  return screen;
}

// The entry list of a day's spending as the entry list screen lays it out.
Screen EntryList() {
  Screen screen = ListScreen("Перечень расходов (---)");
  EditList& list = *screen.list;
  const int w = kListWidth;
  const char* titles[] = {"", "N.", "Наименование", "Кол-во", "Цена", "Сумма"};
  const int widths[] = {w / 15, w / 10, 4 * w / 10, 2 * w / 10, 2 * w / 10, 3 * w / 10};
  for (int i = 0; i < 6; ++i) list.InsertColumn(i, FromUtf8(titles[i]), widths[i]);
  static_cast<void>(list.AddColumnEditor(3, kEditorDecimal, 0, 2));
  static_cast<void>(list.AddColumnEditor(4, kEditorDecimal, 0, 2));
  list.SetGrid(true);
  list.SetSmallImages({MarkImage()});
  const char* rows[][5] = {{"Хлеб", "2.00", "45.50", "91.00", "1"},
                           {"Бензин", "30.00", "52.10", "1,563.00", "0"},
                           {"Молоко", "1.00", "89.90", "89.90", "1"},
                           {"Кофе", "1.00", "1,234.50", "1,234.50", "1"},
                           {"Проезд", "4.00", "55.00", "220.00", "0"}};
  for (int i = 0; i < 5; ++i) {
    const int row = list.InsertItem(DbString(), rows[i][4][0] == '0' ? 0 : 1, i);
    list.SetItemText(row, 1, DbString(std::to_string(i + 1).c_str()));
    for (int column = 2; column < 6; ++column) {
      list.SetItemText(row, column, FromUtf8(rows[i][column - 2]));
    }
  }
  return screen;
}

std::unique_ptr<QWidget> EntryListWithSelection() {
  Screen screen = EntryList();
  screen.list->SetSelectionMark(1);
  return std::move(screen.dialog);
}

// The statistics of a month by categories, spending rows below zero tinted.
std::unique_ptr<QWidget> TintedStatistics() {
  Screen screen = ListScreen("Статистика: март 2008");
  ReportTable table;
  table.columns = {{FromUtf8("Дата"), 49, ColumnAlign::kLeft, ColumnContent::kCaption, false},
                   {FromUtf8("Категория"), 116, ColumnAlign::kLeft, ColumnContent::kText, false},
                   {FromUtf8("Сумма"), 67, ColumnAlign::kRight, ColumnContent::kAmount, true}};
  const char* rows[][3] = {
      {"01.03.08", "Зарплата", "45,000.00"}, {"02.03.08", "Машина", "-1,563.00"},
      {"03.03.08", "Продукты", "-0.50"},     {"05.03.08", "Продукты", "-226.40"},
      {"07.03.08", "Подарки", "1,500.00"},   {"09.03.08", "Дом", "-12,300.00"},
      {"11.03.08", "Связь", "-450.00"}};
  for (const auto& cells : rows) {
    ReportTableRow row;
    for (const char* cell : cells) row.cells.push_back(FromUtf8(cell));
    table.rows.push_back(std::move(row));
  }
  table.colour_column = 2;
  screen.list->ShowReport(table);
  screen.list->SetGrid(true);
  screen.list->SetSelectionMark(4);
  return std::move(screen.dialog);
}

// A double tap on the price of "Кофе" opens the number editor over the cell.
std::unique_ptr<QWidget> NumberEditorOpen() {
  Screen screen = EntryList();
  EditList& list = *screen.list;
  screen.dialog->show();
  QApplication::processEvents();
  const QPoint tap = list.visualRect(list.model()->index(3, 4)).center();
  QMouseEvent press(QEvent::MouseButtonPress, tap, list.viewport()->mapToGlobal(tap),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &press);
  QMouseEvent double_tap(QEvent::MouseButtonDblClick, tap, list.viewport()->mapToGlobal(tap),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &double_tap);
  return std::move(screen.dialog);
}

}  // namespace

void AddListScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"list-entries-grid", EntryListWithSelection});
  scenes.push_back({"list-statistics-tinted", TintedStatistics});
  scenes.push_back({"list-number-editor", NumberEditorOpen});
}

}  // namespace ledgerix
