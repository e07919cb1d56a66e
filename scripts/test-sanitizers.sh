#!/usr/bin/env bash
# Installs what is missing, builds everything in build-asan/ (the folder name may be given as
# $1) with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test program under
# them. The first fault a sanitizer finds stops its program with the report, which is shown.
# The tree is built without optimisation and with line tables only: on a small machine that
# halves the build, and the reports still name file and line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir="${1:-build-asan}"
bash scripts/build.sh "$dir" -DLEDGERIX_SANITIZE=ON -DLEDGERIX_TESTS=ON -DLEDGERIX_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen
# Each test program runs once with all its tests: starting a sanitized process costs far more
# than most tests, so one process per test (as ctest does) would take several times as long.
logs="$dir/sanitizer-logs"
rm -rf "$logs"
mkdir -p "$logs"
find "$dir" -maxdepth 1 -name '*_tests' -type f -executable -printf '%f\n' | sort |
  xargs -P "$(nproc)" -I '{}' sh -c \
    '"$1/$2" --gtest_brief=1 > "$3/$2.log" 2>&1 && echo "passed: $2" || { echo "FAILED: $2"; touch "$3/$2.failed"; }' \
    sh "$dir" '{}' "$logs"
failed=0
for marker in "$logs"/*.failed; do
  [ -e "$marker" ] || continue
  program="$(basename "$marker" .failed)"
  echo "==== $program ===="
  cat "$logs/$program.log"
  failed=1
done
exit "$failed"
