#pragma once
// How a fuzz target says that an input broke a promise of the code: the promise and what was
// seen go to stderr and the process aborts, which libFuzzer reports as a crash and keeps the
// input of.

#include <string>

namespace ledgerix::fuzz {

// Prints where and what failed, with `detail`, runs the hook set by SetViolationHook (if any)
// and aborts.
[[noreturn]] void Violation(const char* file, int line, const char* condition,
                            const std::string& detail);

// A function run before the abort, such as keeping the files of the input for a look.
void SetViolationHook(void (*hook)());

}  // namespace ledgerix::fuzz

// Aborts the run with `detail` (a std::string or text) when `condition` is false.
#define FUZZ_CHECK(condition, detail)                                        \
  do {                                                                       \
    if (!(condition)) {                                                      \
      ::ledgerix::fuzz::Violation(__FILE__, __LINE__, #condition, (detail)); \
    }                                                                        \
  } while (false)
