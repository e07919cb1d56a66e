#include "app/program_options.h"

#include <gtest/gtest.h>

namespace ledgerix {
namespace {

TEST(ProgramOptionsTest, ReadsTheCommandLineAsLinuxProgramsDo) {
  struct Case {
    std::vector<std::string> arguments;
    ProgramAction action;
    std::string argument;
    bool platform_given;
  };
  const Case cases[] = {
      {{}, ProgramAction::kRun, "", false},
      {{"--version"}, ProgramAction::kVersion, "", false},
      {{"--help"}, ProgramAction::kHelp, "", false},
      {{"-h"}, ProgramAction::kHelp, "", false},
      // Qt's own options pass through, with their values.
      {{"-platform", "offscreen"}, ProgramAction::kRun, "", true},
      {{"-style", "Fusion", "-reverse"}, ProgramAction::kRun, "", false},
      {{"--verbose"}, ProgramAction::kUsageError, "--verbose", false},
      {{"file.txt"}, ProgramAction::kUsageError, "file.txt", false},
      // --help wins wherever it stands; the first unknown argument is the one named.
      {{"--bad", "--help"}, ProgramAction::kHelp, "", false},
      {{"x", "y"}, ProgramAction::kUsageError, "x", false},
  };
  for (const Case& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(options.action, c.action) << label;
    EXPECT_EQ(options.argument, c.argument) << label;
    EXPECT_EQ(options.platform_given, c.platform_given) << label;
  }
}

TEST(ProgramOptionsTest, TextsEndInANewlineAndNameTheVersion) {
  EXPECT_EQ(VersionText().rfind("ledgerix " LEDGERIX_VERSION "\n", 0), 0u);
  for (const std::string& text :
       {VersionText(), HelpText(), UsageErrorText("--x"), NoDisplayText()}) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
  }
  // The no-display message is one line that says how to run without a display.
  const std::string no_display = NoDisplayText();
  EXPECT_EQ(no_display.find('\n'), no_display.size() - 1);
  EXPECT_NE(no_display.find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
}

}  // namespace
}  // namespace ledgerix
