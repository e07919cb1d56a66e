// Column layout of the statistics report: titles, default and remembered widths, and the
// columns that remain once the rows are in.
#include "reports/report_columns.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgerix {
namespace {

std::string Titles(const std::vector<ReportColumn>& columns) {
  std::string titles;
  for (const ReportColumn& column : columns) titles += ToUtf8(column.title) + "|";
  return titles;
}

std::vector<int> Widths(const std::vector<ReportColumn>& columns) {
  std::vector<int> widths;
  for (const ReportColumn& column : columns) widths.push_back(column.width);
  return widths;
}

ReportParams Grouping(int32_t group_type) {
  ReportParams params;
  params.group_type = group_type;
  return params;
}

ReportContext Context(int show_account, const char* widths = "") {
  ReportContext context;
  context.show_account_in_report = show_account;
  context.column_widths = DbString(widths);
  return context;
}

// A list 240 pixels wide: d = 48, e = 72.
TEST(ReportColumnsTest, KindsTakeTheirDefaultShares) {
  auto columns = LayoutColumns(Grouping(kGroupByKinds), Context(0), 240);
  EXPECT_EQ(Titles(columns), "Дата|Описание|Категория|Кол-во|Цена|Сумма|");
  EXPECT_EQ(Widths(columns), (std::vector<int>{51, 96, 96, 48, 48, 48}));
  for (const ReportColumn& column : columns) EXPECT_EQ(column.align, ColumnAlign::kLeft);
  EXPECT_EQ(columns[0].content, ColumnContent::kCaption);
  EXPECT_EQ(columns[1].content, ColumnContent::kText);
  EXPECT_EQ(columns[3].content, ColumnContent::kCount);
  EXPECT_FALSE(columns[3].decimal_number);
  EXPECT_EQ(columns[4].content, ColumnContent::kAmount);
  EXPECT_TRUE(columns[4].decimal_number);
  EXPECT_TRUE(columns[5].decimal_number);

  auto with_account = LayoutColumns(Grouping(kGroupByKinds), Context(1), 240);
  EXPECT_EQ(Titles(with_account), "Дата|Счет|Описание|Категория|Кол-во|Цена|Сумма|");
  EXPECT_EQ(Widths(with_account), (std::vector<int>{51, 72, 96, 96, 48, 48, 48}));
  EXPECT_EQ(ColourColumn(kGroupByKinds, Context(0)), 4);
  EXPECT_EQ(ColourColumn(kGroupByKinds, Context(1)), 5);
}

TEST(ReportColumnsTest, CategoriesLoseThePlaceholdersOnceFinished) {
  auto columns = LayoutColumns(Grouping(kGroupByCategories), Context(0), 240);
  EXPECT_EQ(Titles(columns), "Дата|Категория|Сумма|STUB|STUB|");
  EXPECT_EQ(Widths(columns), (std::vector<int>{51, 120, 70, 0, 0}));
  EXPECT_EQ(columns[2].align, ColumnAlign::kRight);
  EXPECT_TRUE(columns[2].decimal_number);
  EXPECT_EQ(columns[2].content, ColumnContent::kAmount);
  FinishColumns(kGroupByCategories, Context(0), &columns);
  EXPECT_EQ(Titles(columns), "Дата|Категория|Сумма|");
  FinishColumns(kGroupByCategories, Context(0), &columns);  // finishing twice changes nothing
  EXPECT_EQ(Titles(columns), "Дата|Категория|Сумма|");
  EXPECT_EQ(ColourColumn(kGroupByCategories, Context(0)), 2);

  auto with_account = LayoutColumns(Grouping(kGroupByCategories), Context(1), 240);
  FinishColumns(kGroupByCategories, Context(1), &with_account);
  EXPECT_EQ(Titles(with_account), "Дата|Счет|Категория|Сумма|");
  EXPECT_EQ(ColourColumn(kGroupByCategories, Context(1)), 3);
}

TEST(ReportColumnsTest, AccountsAlwaysShowTheAccountAndDropTheCategory) {
  for (int show_account : {0, 1}) {
    auto columns = LayoutColumns(Grouping(kGroupByAccounts), Context(show_account), 240);
    EXPECT_EQ(Titles(columns), "Дата|Счет|Категория|Сумма|STUB|STUB|");
    FinishColumns(kGroupByAccounts, Context(show_account), &columns);
    EXPECT_EQ(Titles(columns), "Дата|Счет|Сумма|");
    EXPECT_EQ(Widths(columns), (std::vector<int>{51, 72, 70}));
    EXPECT_EQ(ColourColumn(kGroupByAccounts, Context(show_account)), 2);
    FinishColumns(kGroupByAccounts, Context(show_account), &columns);
    EXPECT_EQ(Titles(columns), "Дата|Счет|Сумма|");
  }
}

TEST(ReportColumnsTest, RememberedWidthsWinByPosition) {
  auto columns = LayoutColumns(Grouping(kGroupByKinds), Context(0, "60,,30,"), 240);
  EXPECT_EQ(Widths(columns), (std::vector<int>{60, 0, 30, 48, 48, 48}));
  // The finished accounts report remembers "Дата", "Счет", "Сумма": "Сумма" gets the third
  // width back although "Категория" stands there before the rows are in.
  auto accounts = LayoutColumns(Grouping(kGroupByAccounts), Context(1, "50,80,90,"), 240);
  EXPECT_EQ(Widths(accounts), (std::vector<int>{50, 80, 90, 90, 0, 0}));
  FinishColumns(kGroupByAccounts, Context(1), &accounts);
  EXPECT_EQ(Widths(accounts), (std::vector<int>{50, 80, 90}));
}

TEST(ReportColumnsTest, WidthTexts) {
  EXPECT_EQ(ParseColumnWidths(DbString("60,96,48,")), (std::vector<int>{60, 96, 48}));
  EXPECT_EQ(ParseColumnWidths(DbString("60,,48")), (std::vector<int>{60, 0, 48}));
  EXPECT_EQ(ParseColumnWidths(DbString(",-5,x,")), (std::vector<int>{0, 0, 0}));
  EXPECT_TRUE(ParseColumnWidths(DbString("")).empty());
  EXPECT_EQ(ColumnWidthsText({60, 96, 48}).View(), "60,96,48,");
  EXPECT_EQ(ColumnWidthsText({}).View(), "");
}

TEST(ReportColumnsTest, AnUnknownGroupingLaysOutKinds) {
  EXPECT_EQ(Titles(LayoutColumns(Grouping(9), Context(0), 100)),
            "Дата|Описание|Категория|Кол-во|Цена|Сумма|");
}

}  // namespace
}  // namespace ledgerix
