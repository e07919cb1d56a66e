#!/usr/bin/env bash
# Installs clang when it is missing, builds the libFuzzer targets of fuzz/ in build-fuzz/ (the
# folder name may be given as $1) and runs each for a few seconds ($FUZZ_SECONDS, 5 by default)
# from its seed corpus. New inputs go to a scratch folder, never into fuzz/corpus/. The first
# broken promise, memory fault, undefined behaviour or hang stops the run with its report; the
# input that caused it is left in <build folder>/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh fuzz
dir="${1:-build-fuzz}"
seconds="${FUZZ_SECONDS:-5}"
cxx=clang++
command -v "$cxx" > /dev/null || cxx=clang++-14
# Optimised a little: the fuzzer needs speed more than the reports need every frame.
CXX="$cxx" bash scripts/build.sh "$dir" -DLEDGERIX_FUZZ=ON -DLEDGERIX_TESTS=OFF \
  -DLEDGERIX_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
# A small quarantine and no allocation stacks: the targets allocate and free whole files per
# input, and the defaults make that several times slower.
export ASAN_OPTIONS="malloc_context_size=0:quarantine_size_mb=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
artifacts="$dir/fuzz-artifacts"
mkdir -p "$artifacts"
failed=0
for source in fuzz/*.cpp; do
  target="$(basename "$source" .cpp)"
  scratch="$(mktemp -d)"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  if "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "${dict[@]}" -artifact_prefix="$artifacts/$target-" \
    "$scratch" "fuzz/corpus/$target" > "$artifacts/$target.log" 2>&1; then
    echo "passed: $target ($(grep -o 'stat::number_of_executed_units: *[0-9]*' \
      "$artifacts/$target.log" | grep -o '[0-9]*$') runs)"
  else
    echo "FAILED: $target"
    cat "$artifacts/$target.log"
    failed=1
  fi
  rm -rf "$scratch"
done
exit "$failed"
