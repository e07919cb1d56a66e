// The cells of a report row kept in one block.
#include "reports/report_cells.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ledgerix {
namespace {

TEST(ReportCellsTest, KeepsEveryCellWholeIncludingEmptyOnes) {
  ReportCells cells{"05.03.08", "", "Еда", "-1,234.50"};
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0], "05.03.08");
  EXPECT_EQ(cells[1], "");
  EXPECT_EQ(cells[3], "-1,234.50");
  EXPECT_STREQ(cells.CStr(3), "-1,234.50");
  EXPECT_EQ(std::strlen(cells.CStr(0)), 8u);  // each cell ends where the next begins
  EXPECT_EQ(cells[4], "");
  EXPECT_STREQ(cells.CStr(9), "");
  std::string joined;
  for (std::string_view cell : cells) joined += std::string(cell) + "|";
  EXPECT_EQ(joined, "05.03.08||Еда|-1,234.50|");
}

TEST(ReportCellsTest, RefusesMoreCellsThanARowHasAndComparesWholeRows) {
  ReportCells cells;
  for (size_t i = 0; i < ReportCells::kMaxCells; ++i) EXPECT_TRUE(cells.push_back("x"));
  EXPECT_FALSE(cells.push_back("y"));
  EXPECT_EQ(cells.size(), ReportCells::kMaxCells);
  EXPECT_EQ((ReportCells{"a", "bc"}), (ReportCells{"a", "bc"}));
  EXPECT_NE((ReportCells{"a", "bc"}), (ReportCells{"ab", "c"}));
}

}  // namespace
}  // namespace ledgerix
