#include "fuzz/support/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace ledgerix::fuzz {
namespace {

void (*violation_hook)() = nullptr;

}  // namespace

void SetViolationHook(void (*hook)()) { violation_hook = hook; }

void Violation(const char* file, int line, const char* condition, const std::string& detail) {
  std::fprintf(stderr, "\n==== broken promise at %s:%d: %s\n%s\n", file, line, condition,
               detail.c_str());
  std::fflush(stderr);
  if (violation_hook != nullptr) violation_hook();
  std::abort();
}

}  // namespace ledgerix::fuzz
