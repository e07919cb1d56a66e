#pragma once
// Counts of what the inputs of a run met (the outcomes of Open, restores that failed or
// succeeded), printed to stderr when the process ends, when the environment variable
// LEDGERIX_FUZZ_STATS is set; otherwise counting costs nothing.

#include <string>

namespace ledgerix::fuzz {

// Adds one to the count of `what`.
void CountStat(const std::string& what);

}  // namespace ledgerix::fuzz
