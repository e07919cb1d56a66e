// Splitting exchange text into sections and rows.
#include "finance/exchange_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledgerix {
namespace {

// Records what the scanner hands out as "S:name" and "R:v1|v2|..." lines.
class RecordingSink : public ExchangeSink {
 public:
  void BeginSection(const DbString& name) override {
    events.push_back("S:" + std::string(name.View()));
  }
  void Row(const std::vector<DbString>& values) override {
    std::string row = "R:";
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) row += '|';
      row += values[i].View();
    }
    events.push_back(row);
  }
  std::vector<std::string> events;
};

std::vector<std::string> Scan(std::string_view text) {
  RecordingSink sink;
  ScanExchangeText(text, sink);
  return sink.events;
}

using Events = std::vector<std::string>;

TEST(ExchangeScannerTest, SectionsAndRowsOfAWrittenFile) {
  EXPECT_EQ(Scan("[sec_consumeritems]\r\n1;A;B;51200;2;0;\r\n\r\n[sec_data]\r\n"
                 "3;150308;3840;512;2;;1;0;\r\n\r\n[sec_firms]\r\n2;Card;;0;\r\n"),
            (Events{"S:[sec_consumeritems]", "R:1|A|B|51200|2|0", "S:[sec_data]",
                    "R:3|150308|3840|512|2||1|0", "S:[sec_firms]", "R:2|Card||0"}));
}

TEST(ExchangeScannerTest, LineFeedsAloneReadLikeCarriageReturnLineFeed) {
  std::string crlf = "[sec_firms]\r\n1;A;;0;\r\n2;B;;0;\r\n";
  std::string lf = "[sec_firms]\n1;A;;0;\n2;B;;0;\n";
  EXPECT_EQ(Scan(crlf), Scan(lf));
  EXPECT_EQ(Scan(lf).size(), 3u);
}

TEST(ExchangeScannerTest, TextAfterTheLastSemicolonIsDroppedWithItsLine) {
  // Carrying "junk" over would make the next row's first value "junk2".
  EXPECT_EQ(Scan("[t]\r\n1;a;junk\r\n2;b;\r\n"), (Events{"S:[t]", "R:1|a", "R:2|b"}));
}

TEST(ExchangeScannerTest, ALineWithoutSemicolonIsNoRow) {
  EXPECT_EQ(Scan("[t]\r\nnothing here\r\n\r\n"), (Events{"S:[t]"}));
}

TEST(ExchangeScannerTest, ALastLineWithoutLineEndStillCounts) {
  EXPECT_EQ(Scan("[t]\r\n1;a;"), (Events{"S:[t]", "R:1|a"}));
}

TEST(ExchangeScannerTest, BytesBeforeABracketAreNotPartOfTheSectionName) {
  EXPECT_EQ(Scan("garbage[t]\r\n1;\r\n"), (Events{"S:[t]", "R:1"}));
}

TEST(ExchangeScannerTest, EmptyValuesAndEightBitBytesPassUnchanged) {
  std::string text = "[t]\n;\xC0\xE1;;\n";
  EXPECT_EQ(Scan(text), (Events{"S:[t]", "R:|\xC0\xE1|"}));
}

}  // namespace
}  // namespace ledgerix
