#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in build-bench/ and runs the ten-year household
# benchmark on both storage drivers (3: object store, 6: file database) for 5,000, 50,000 and
# 200,000 entries, and the statistics list filled with the largest report of each (the list
# benchmark); then shows how the day list and the reports grow with the entries.
# The household databases are built on the first run and kept in build-bench/bench-data/.
# Options (environment): SIZES="5000 50000 200000", KINDS="3 6", RUNS=11, SEED=1.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=build-bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERIX_BENCH=ON \
  -DLEDGERIX_WERROR=ON > /dev/null
cmake --build "$dir" --parallel 2 --target ledgerix_household_bench ledgerix_list_fill_bench \
  ledgerix_statistics_screen_bench ldxload ledgerix_companion_bench
results="$dir/bench-results.txt"
: > "$results"
echo "$(date '+%Y-%m-%d %H:%M'), $(nproc) cores, $(uname -srm)"
for entries in ${SIZES:-5000 50000 200000}; do
  for kind in ${KINDS:-3 6}; do
    "$dir/bench/ledgerix_household_bench" --kind "$kind" --entries "$entries" \
      --seed "${SEED:-1}" --runs "${RUNS:-11}" --data "$dir/bench-data" | tee -a "$results"
    "$dir/bench/ledgerix_list_fill_bench" --kind "$kind" --entries "$entries" \
      --seed "${SEED:-1}" --runs "${RUNS:-11}" --data "$dir/bench-data" | tee -a "$results"
    "$dir/bench/ledgerix_statistics_screen_bench" --kind "$kind" --entries "$entries" \
      --seed "${SEED:-1}" --runs "${RUNS:-11}" --data "$dir/bench-data" | tee -a "$results"
  done
done
# Growth: from each size to the next, the factor by which the median grew against the factor by
# which the entries grew. Linear growth makes them equal; more than 15% above counts as faster
# than linear (the margin covers the noise of a shared machine).
echo
echo "growth from size to size (time factor / entries factor):"
awk '
  $1 == "kind" && $3 == "entries" && / median / {
    name = "";
    for (i = 5; i <= NF && $i != "median"; ++i) name = name (name == "" ? "" : " ") $i;
    ms = $(i + 1);
    if (name !~ /^(day list|statistics)/) next;
    key = $2 "  " name;
    if (key in last) {
      growth[key] = growth[key] sprintf("  %d: x%.1f / x%.0f", $4, ms / last[key], $4 / last_entries[key]);
      if (ms / last[key] > 1.15 * $4 / last_entries[key]) faster[key] = 1;
    } else {
      order[++n] = key;
    }
    last[key] = ms; last_entries[key] = $4;
  }
  END {
    for (i = 1; i <= n; ++i) {
      key = order[i];
      if (!(key in growth)) continue;
      printf "kind %-50s%s  %s\n", key, growth[key], (key in faster) ? "FASTER THAN LINEAR" : "ok";
    }
  }' "$results"
# The companion's report as a whole process against ledger over the same journal, both drivers.
echo
"$dir/bench/ledgerix_companion_bench" --ldxload "$dir/ldxload" --entries 50000 \
  --runs "${RUNS:-11}" | tee -a "$results"
