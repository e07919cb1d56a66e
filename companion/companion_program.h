#pragma once
// ldxload, the desktop companion: hands the finance database to the desktop's tools and takes
// data back. Without arguments (as the archives screen starts it) it writes the three files of
// the database into "Ledgerix" in the documents folder; with arguments it is a command line:
// `report` prints the statistics of a period, `export` writes one of the three files, `import`
// loads an exchange file or an entries.csv in place of the data (after archiving the data).
// Messages are in Russian, as the program's.

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/posix_env.h"

namespace ledgerix {

// Process exit codes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Where the three files go: "\My Documents\Ledgerix".
inline constexpr char16_t kCompanionFolder[] = u"\\My Documents\\Ledgerix";

// Runs the command line `args` (without the program's name) on the device of `env`. Results go
// to `out` (files written, the report, an exported file), messages and errors to `err`.
// Answers kExitSuccess, kExitFailure (nothing or not everything done, said why) or kExitUsage
// (the command line is wrong; the usage is printed). Reading commands work while the program
// holds the device (it waits for the companion); `import` takes the device and is refused
// while the program runs.
int RunCompanion(const std::vector<std::string>& args, platform::PosixEnv& env,
                 const platform::Clock& clock, std::ostream& out, std::ostream& err);

}  // namespace ledgerix
