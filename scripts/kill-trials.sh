#!/usr/bin/env bash
# Kill trials: builds ledgerix_kill_trial in build/ and runs, for each storage kind (3: object
# store, 6: file database) and each kind of work (insert: entries added one by one; restore: two
# archives restored in turn; convert: a database of the older layout converted at its opening), a
# series of trials in which the working process is killed with SIGKILL at a random moment and the
# database is checked as the next start opens it. Prints a table of the results; exits 1 when any
# trial lost or mixed data.
# Options (environment): TRIALS=100, KINDS="3 6", WORKS="insert restore convert", SEED (random
# when unset).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=build
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
fi
cmake --build "$dir" --parallel 2 --target ledgerix_kill_trial > /dev/null
trials=${TRIALS:-100}
status=0
rows=()
for kind in ${KINDS:-3 6}; do
  for work in ${WORKS:-insert restore convert}; do
    seed=${SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
    if line=$("$dir/ledgerix_kill_trial" --storage "$kind" --work "$work" --trials "$trials" \
        --seed "$seed"); then
      :
    else
      status=1
    fi
    rows+=("$line")
  done
done
echo "| storage | work | trials | killed in flight | partial | lost acknowledged | duplicates | did not open | failed steps | seed |"
echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|"
for line in "${rows[@]}"; do
  IFS=$'\t' read -r kind work n flight partial lost dup unopened failed seed <<< "$line"
  echo "| $kind | $work | $n | $flight | $partial | $lost | $dup | $unopened | $failed | $seed |"
done
exit $status
