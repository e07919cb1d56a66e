#pragma once
// The command line of `ledgerix`: --help and --version answer and end, as Linux programs do;
// options of one dash (Qt's own, such as "-platform offscreen") are left to the toolkit.

#include <string>
#include <vector>

namespace ledgerix {

enum class ProgramAction {
  kRun,         // start the program
  kVersion,     // print VersionText and end with 0
  kHelp,        // print HelpText and end with 0
  kUsageError,  // print UsageErrorText(argument) to the error stream and end with 2
};

struct ProgramOptions {
  ProgramAction action = ProgramAction::kRun;
  std::string argument;         // the argument that was not understood (kUsageError)
  bool platform_given = false;  // "-platform NAME" chooses where windows go
};

// Reads the arguments after the program name. The first of --help / -h / --version decides; an
// unknown option of two dashes, or any argument that is not an option, is a usage error.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// "ledgerix 2.3.0" and a line on what it is, newline-terminated (UTF-8).
std::string VersionText();
// What the program is, its options, where it keeps its data, and the companion (UTF-8).
std::string HelpText();
// One line naming `argument` and pointing at --help (UTF-8).
std::string UsageErrorText(const std::string& argument);
// One line: the program needs a display, and how to run it without one (UTF-8).
std::string NoDisplayText();

}  // namespace ledgerix
