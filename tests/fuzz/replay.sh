#!/usr/bin/env bash
# Runs every kept input of every fuzz target once (no fuzzing): a crash
# found and fixed once stays fixed. replay.sh [BUILD-FOLDER]
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$top/build/fuzz}
. "$top/tests/fuzz/targets.sh"
bash "$top/tests/fuzz/build.sh" "$out" || exit 1
status=0
for t in "${fuzz_targets[@]}"; do
  corpus=$top/tests/fuzz/corpus/$t
  count=$(find "$corpus" -type f 2>/dev/null | wc -l)
  if [ "$count" -eq 0 ]; then
    echo "fuzz-replay: $t has no kept inputs in $corpus"
    status=1
    continue
  fi
  log=$out/replay-$t.log
  if "$out/$t" -runs=0 -max_len="$(fuzz_max_len "$t")" "$corpus" >"$log" 2>&1; then
    echo "fuzz-replay: $t: $count inputs, no fault"
  else
    echo "fuzz-replay: $t failed on its kept inputs:"
    tail -40 "$log"
    status=1
  fi
done
exit $status
