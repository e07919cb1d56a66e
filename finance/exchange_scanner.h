#pragma once
// ExchangeScanner: splits the text of an exchange file into its sections ("[table]" lines) and
// data lines (values each ended by ";"), byte by byte, and hands them to an ExchangeSink. It
// knows nothing of tables; the finance database stores what the sink receives.

#include <string_view>
#include <vector>

#include "engine/db_string.h"

namespace ledgerix {

class ExchangeSink {
 public:
  virtual ~ExchangeSink() = default;
  // A "]" closed a section name; `name` holds it with its brackets ("[sec_data]"). The rows
  // that follow belong to it until the next section.
  virtual void BeginSection(const DbString& name) = 0;
  // A line ended after at least one ";": the values it terminated, in order.
  virtual void Row(const std::vector<DbString>& values) = 0;
};

// Scans `text`. CR and LF both end a line, so "\r\n" and "\n" files read alike and the empty
// lines between sections do nothing. Bytes after the last ";" of a line are not a value and are
// dropped with the line; a last line without a line end still counts. A "[" starts a section
// name wherever it stands (the format has no escaping).
void ScanExchangeText(std::string_view text, ExchangeSink& sink);

}  // namespace ledgerix
