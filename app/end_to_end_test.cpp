// The whole program driven as a person would, through its real widgets on the offscreen
// platform, on both storage kinds: a first start, a month of entries, a new kind, a transfer,
// the statistics and their export, an archive, "Очистить все" and the restore, and a second
// start that finds everything as it was.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/finance_app.h"
#include "finance/format_amount.h"
#include "finance/testing/finance_test_support.h"
#include "ui/archive_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/number_edit.h"
#include "ui/controls/qt_screen_services.h"
#include "ui/controls/qt_text.h"
#include "ui/entry_list_dialog.h"
#include "ui/kinds_list_dialog.h"
#include "ui/main_dialog.h"
#include "ui/screen_registry.h"
#include "ui/statistics_dialog.h"
#include "ui/testing/screen_robot.h"
#include "ui/testing/widget_finder.h"
#include "ui/updates_screen.h"

namespace ledgerix::testing {
namespace {

namespace fs = std::filesystem;

// What the person enters, in hundredths; the expected totals are computed from these.
constexpr int64_t kCinema = 35000;  // "Кино", the seeded price
constexpr int64_t kMinibus = 1500;  // "Маршрутное такси"
constexpr int64_t kBooks = 42000;  // the new kind "Книги" in the new category "Образование"
constexpr int64_t kBonus = 350000;     // "Премия", the seeded income
constexpr int64_t kTransfer = 150000;  // from "Наличные" to "Кредитная карта"
constexpr int64_t kCommission = 2500;

std::string Money(int64_t hundredths) { return ToUtf8(FormatMoney(hundredths)); }
// An amount as a person types it: "1500.00".
QString Typed(int64_t hundredths) {
  return QString::asprintf("%lld.%02lld", static_cast<long long>(hundredths / 100),
                           static_cast<long long>(hundredths % 100));
}

QAction* FindAction(const QList<QAction*>& actions, const QString& text) {
  for (QAction* action : actions) {
    if (action->text() == text) return action;
    if (action->menu() != nullptr) {
      if (QAction* found = FindAction(action->menu()->actions(), text)) return found;
    }
  }
  return nullptr;
}

// Chooses the item `text` of the main screen's menu bar or of a button's drop-down.
void Choose(const QList<QAction*>& actions, const char* text_utf8) {
  QAction* action = FindAction(actions, QString::fromUtf8(text_utf8));
  ASSERT_NE(action, nullptr) << text_utf8;
  action->trigger();
}

int RowOf(EditList& list, int column, const std::string& text_utf8) {
  for (int row = 0; row < list.ItemCount(); ++row) {
    if (ToUtf8(list.ItemText(row, column)) == text_utf8) return row;
  }
  return -1;
}

std::string RowsOf(EditList& list) {
  std::string rows;
  for (int row = 0; row < list.ItemCount(); ++row) {
    for (int column = 0; column < list.ColumnCount(); ++column) {
      rows += ToUtf8(list.ItemText(row, column)) + "|";
    }
    rows += "\n";
  }
  return rows;
}

QString Line(QWidget& window, const char* name) {
  auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
  return label != nullptr ? label->text() : QString("(no %1)").arg(name);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text of a file the program wrote in Windows-1251, as UTF-8.
std::string ReadDeviceText(const fs::path& path) { return ToUtf8(DbString(ReadFile(path))); }

std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

class EndToEndTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  EndToEndTest() {
    clock_.SetDate(2024, 3, 1, 12);
    RegisterScreens(services_);
    if (GetParam() == DriverKind::kFileDatabase) {
      EXPECT_TRUE(root_.WriteHostFile(u"\\settings\\tv_ledgrx.$$$", "IS_SYSTEMTYPE_DB=0\r\n"));
    }
  }

  // Runs the program once with the robot's steps; answers its exit status.
  int RunProgram(ScreenRobot& robot) {
    FinanceApp program(root_.env(), clock_, services_);
    robot.Start();
    const int status = program.Run();
    EXPECT_TRUE(robot.done());
    return status;
  }

  // ---- the visits, each queued in the order its window opens ----

  // A day's entry list: the day, then a row of each kind (chosen in the kinds list).
  void EnterDay(ScreenRobot& robot, QDate day, std::vector<std::string> kinds,
                std::function<void(EntryListDialog&)> then = nullptr) {
    robot.When("EntryListDialog", [this, day, kinds, then](QWidget& window) {
      auto& dialog = static_cast<EntryListDialog&>(window);
      FindChild<QDateEdit>(dialog)->setDate(day);
      for (size_t i = 0; i < kinds.size(); ++i) {
        FindButton<ImageButton>(dialog, "Добавить")->click();
        ASSERT_EQ(dialog.list()->ItemCount(), static_cast<int>(i + 1)) << kinds[i];
      }
      if (then) then(dialog);
      FindChild<ImageButton>(dialog, 0)->click();  // the close button stores the day
    });
    for (const std::string& kind : kinds) ChooseKind(robot, kind);
  }

  void ChooseKind(ScreenRobot& robot, const std::string& name) {
    robot.When("KindsListDialog", [name](QWidget& window) {
      auto& dialog = static_cast<KindsListDialog&>(window);
      const int row = RowOf(*dialog.list(), 1, name);
      ASSERT_GE(row, 0) << name << " is not listed:\n" << RowsOf(*dialog.list());
      dialog.list()->SetSelectionMark(row);
      FindButton<ImageButton>(dialog, "Выбрать")->click();
    });
  }

  // The expense kinds list: a new kind in a new category through the kind editor.
  void AddKind(ScreenRobot& robot) {
    robot.When("KindsListDialog", [](QWidget& window) {
      auto& dialog = static_cast<KindsListDialog&>(window);
      FindChild<ImageButton>(dialog, 2)->click();  // add: close, find, then add
      EXPECT_GE(RowOf(*dialog.list(), 1, "Книги"), 0) << RowsOf(*dialog.list());
      FindChild<ImageButton>(dialog, 0)->click();
    });
    robot.When("KindEditorDialog", [](QWidget& dialog) {
      FindChild<QLineEdit>(dialog, 0)->setText(QStringLiteral("Книги"));
      FindButton<QRadioButton>(dialog, "Создать")->click();
      FindChild<QLineEdit>(dialog, 1)->setText(QStringLiteral("Образование"));
      FindChild<NumberEdit>(dialog)->setText(Typed(kBooks));
      FindButton<QPushButton>(dialog, "Принять")->click();
    });
  }

  void Transfer(ScreenRobot& robot) {
    robot.When("TransferDialog", [](QWidget& dialog) {
      FindChild<QDateEdit>(dialog)->setDate(QDate(2024, 2, 26));
      FindChild<QComboBox>(dialog, 0)->setCurrentText(QStringLiteral("Наличные"));
      FindChild<QComboBox>(dialog, 1)->setCurrentText(QStringLiteral("Кредитная карта"));
      FindChild<NumberEdit>(dialog, 0)->setText(Typed(kTransfer));
      FindChild<NumberEdit>(dialog, 1)->setText(Typed(kCommission));
      FindButton<QPushButton>(dialog, "Принять")->click();
    });
    robot.Answer("Перевод осуществлен", "OK");
  }

  // The statistics of February 2024 by month and category; `choose` sets them through the period
  // and filter dialogs (the next start finds them remembered), `export_it` exports the table.
  void CheckStatistics(ScreenRobot& robot, bool choose, bool export_it) {
    robot.When("StatisticsDialog", [this, choose, export_it](QWidget& window) {
      auto& dialog = static_cast<StatisticsDialog&>(window);
      if (choose) {
        FindButton<QPushButton>(dialog, "...")->click();  // the period
        FindChild<ImageButton>(dialog, 0)->click();       // the filters
      }
      EXPECT_EQ(Line(dialog, "period_line"), QStringLiteral("Период с: 1.2.2024 по 1.3.2024"));
      // A transfer only moves money between accounts: the lines of income and spending leave
      // its two halves out, and only the commission is spent.
      const int64_t income = kBonus;
      const int64_t spending = -(kCinema + kMinibus + kBooks + kCommission);
      EXPECT_EQ(Line(dialog, "income_line").toStdString(), "Приход: " + Money(income));
      EXPECT_EQ(Line(dialog, "spending_line").toStdString(), "Расход: " + Money(spending));
      EXPECT_EQ(Line(dialog, "total_line").toStdString(), "Итого: " + Money(income + spending));
      const std::string rows = RowsOf(*dialog.list());
      for (const auto& [category, sum] :
           std::vector<std::pair<std::string, int64_t>>{{"Развлечения", -kCinema},
                                                        {"Проезд", -kMinibus},
                                                        {"Образование", -kBooks},
                                                        {"Основной доход", kBonus},
                                                        {"Перевод между счетами", -kCommission}}) {
        EXPECT_NE(rows.find(category + "|" + Money(sum) + "|"), std::string::npos)
            << category << " " << Money(sum) << " not in\n"
            << rows;
      }
      EXPECT_NE(rows.find("фев."), std::string::npos) << rows;
      if (export_it) dialog.export_action()->trigger();
      dialog.exit_action()->trigger();
    });
    if (choose) {
      robot.When("PeriodDialog", [](QWidget& dialog) {
        FindChild<QDateEdit>(dialog, 0)->setDate(QDate(2024, 2, 1));
        FindButton<QRadioButton>(dialog, "Месяц")->click();
        FindButton<QPushButton>(dialog, "Выбрать")->click();
      });
      robot.When("ReportFilterDialog", [](QWidget& dialog) {
        FindButton<QRadioButton>(dialog, "По категориям")->click();
        FindButton<QPushButton>(dialog, "Принять")->click();
      });
    }
    if (export_it) {
      robot.When("ExportDialog", [](QWidget& dialog) {
        FindChild<QLineEdit>(dialog, 0)->setText(QStringLiteral("Февраль"));
        FindButton<QPushButton>(dialog, "OK")->click();
      });
      robot.Answer("Экспорт данных завершен", "OK");
    }
  }

  // The archives: saves one, or restores the one saved before.
  void Archive(ScreenRobot& robot, bool restore) {
    robot.When("ArchiveDialog", [this, restore](QWidget& window) {
      auto& dialog = static_cast<ArchiveDialog&>(window);
      EditList& list = *dialog.findChild<EditList*>();
      if (!restore) {
        ASSERT_EQ(list.ItemCount(), 0);
        FindButton<QPushButton>(dialog, "Сохранить данные в архив")->click();
        ASSERT_EQ(list.ItemCount(), 1);
        archive_item_ = ToUtf8(list.ItemText(0, 0));
      } else {
        const int row = RowOf(list, 0, archive_item_);
        ASSERT_GE(row, 0) << archive_item_ << " is not listed:\n" << RowsOf(list);
        list.SetSelectionMark(row);
        FindButton<QPushButton>(dialog, "Восстановить архив")->click();
      }
      FindChild<ImageButton>(dialog, 0)->click();
    });
    if (restore) robot.Answer("Обработка завершена!", "OK");
  }

  TempDeviceRoot root_;
  FakeClock clock_;
  QtScreenServices services_;
  std::string archive_item_;
};

TEST_P(EndToEndTest, APersonKeepsAMonthOfMoneyAndFindsItAgain) {
  {
    ScreenRobot robot;
    robot.When("UpdatesDialog", [](QWidget& dialog) {
      bool shown = false;
      for (QLabel* label : dialog.findChildren<QLabel*>()) {
        shown |= label->text().toStdString() == UpdatesScreen::PageText(0);
      }
      EXPECT_TRUE(shown);
      FindButton<QPushButton>(dialog, "OK")->click();
    });
    robot.When("MainDialog", [](QWidget& window) {
      auto& main = static_cast<MainDialog&>(window);
      const QList<QAction*> bar = main.menu_bar()->actions();
      Choose(main.kinds_button()->Menu()->actions(), "Виды расходов");
      main.expenses_button()->click();
      main.expenses_button()->click();
      main.income_button()->click();
      Choose(main.management_button()->Menu()->actions(), "Перевод между счетами");
      Choose(main.management_button()->Menu()->actions(), "Статистика");
      Choose(bar, "Обмен данными");
      Choose(bar, "Очистить все");
      Choose(bar, "Виды расходов");  // nothing is left
      Choose(bar, "Обмен данными");
      main.close_button()->click();
    });
    AddKind(robot);
    EnterDay(robot, QDate(2024, 2, 20), {"Кино", "Маршрутное такси"}, [](EntryListDialog& day) {
      // A double tap on the first row's name marks it; the totals then count only it.
      EditList& list = *day.list();
      const QRect cell = list.visualRect(list.model()->index(0, 2));
      QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
      EXPECT_EQ(list.ItemImage(0), 0);
      EXPECT_NE(list.ItemImage(1), 0);
    });
    EnterDay(robot, QDate(2024, 2, 21), {"Книги"});
    EnterDay(robot, QDate(2024, 2, 25), {"Премия"});
    Transfer(robot);
    CheckStatistics(robot, /*choose=*/true, /*export_it=*/true);
    Archive(robot, /*restore=*/false);
    robot.Answer("Вы действительно хотите удалить все данные программы?", "Да");
    robot.Answer("Все данные удалены", "OK");
    robot.When("KindsListDialog", [](QWidget& window) {
      auto& dialog = static_cast<KindsListDialog&>(window);
      EXPECT_EQ(dialog.list()->ItemCount(), 0) << RowsOf(*dialog.list());
      FindChild<ImageButton>(dialog, 0)->click();
    });
    Archive(robot, /*restore=*/true);
    ASSERT_EQ(RunProgram(robot), 0);
  }

  // What landed in the files: the export of the table, and the archive of the whole database.
  const std::vector<fs::path> exports = FilesIn(root_.env().options().documents_folder);
  ASSERT_EQ(exports.size(), 1u);
  const std::string exported = ReadDeviceText(exports[0]);
  // One line a row, tab-separated, with a decimal comma.
  EXPECT_NE(exported.find("\tОбразование\t-420,00"), std::string::npos) << exported;
  EXPECT_NE(exported.find("\tОсновной доход\t3500,00"), std::string::npos) << exported;
  const std::vector<fs::path> archives = FilesIn(root_.HostPath(u"\\data"));
  ASSERT_EQ(archives.size(), 2u);  // ours, and the empty data saved before the restore
  bool archived = false;
  for (const fs::path& archive : archives) {
    archived |= ReadDeviceText(archive).find("Книги") != std::string::npos;
  }
  EXPECT_TRUE(archived);
  const std::string settings = ReadFile(root_.HostPath(u"\\settings\\tv_ledgrx.$$$"));
  EXPECT_NE(settings.find("CUR_INFO_PAGE=1\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("REPORT_GROUP_TYPE=1\r\n"), std::string::npos) << settings;

  // A day later: no reminder, and everything as it was.
  clock_.Advance(86400);
  ScreenRobot robot;
  robot.When("MainDialog", [](QWidget& window) {
    auto& main = static_cast<MainDialog&>(window);
    Choose(main.management_button()->Menu()->actions(), "Статистика");
    main.expenses_button()->click();
    Choose(main.menu_bar()->actions(), "Выход");
  });
  CheckStatistics(robot, /*choose=*/false, /*export_it=*/false);
  robot.When("EntryListDialog", [](QWidget& window) {
    auto& day = static_cast<EntryListDialog&>(window);
    FindChild<QDateEdit>(day)->setDate(QDate(2024, 2, 20));
    EditList& list = *day.list();
    ASSERT_EQ(list.ItemCount(), 2) << RowsOf(list);
    // A stored marked row is named with "[+]".
    const int cinema = RowOf(list, 2, "[+]Кино");
    const int minibus = RowOf(list, 2, "Маршрутное такси");
    ASSERT_GE(cinema, 0) << RowsOf(list);
    ASSERT_GE(minibus, 0) << RowsOf(list);
    EXPECT_EQ(list.ItemImage(cinema), 0);  // still marked
    EXPECT_NE(list.ItemImage(minibus), 0);
    FindChild<ImageButton>(day, 0)->click();
  });
  EXPECT_EQ(RunProgram(robot), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, EndToEndTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
