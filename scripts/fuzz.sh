#!/usr/bin/env bash
# Fuzzes the program's byte-level code natively (clang, libFuzzer, ASan,
# UBSan): the description fill, the clock and version texts, the bounded
# field texts and the stand-in's scenario parser.
#
#   scripts/fuzz.sh [seconds-per-target]     (default 300)
#
# The targets run side by side on at most two cores, each for the given
# time, starting from its kept inputs (tests/fuzz/corpus/<target>) and from
# seeds made of the stand-in's example scenarios. New inputs are merged into
# the kept ones (minimised); crashes are saved in tests/fuzz/findings/ and
# make the script fail.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-300}
out=${QUENDAL_FUZZ_BUILD:-$top/build/fuzz}
cd "$top"
"$top/scripts/setup.sh" || exit 1
bash "$top/tests/fuzz/build.sh" "$out" || exit 1
. "$top/tests/fuzz/targets.sh"

# Seeds: the example scenarios of the stand-in's README, and the records and
# clocks made from them.
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds/FuzzScenario" "$seeds/FuzzRecordFill" "$seeds/FuzzClockText" "$seeds/FuzzFieldText"
awk 'BEGIN { n = 0 } /^```$/ { if (inside) { inside = 0; n++ } else inside = 1; next }
     inside { print > (dir "/readme-" n ".txt") }' dir="$seeds/FuzzScenario" corvane/README.md
"$out/SeedCorpus" "$seeds" "$seeds"/FuzzScenario/*.txt || exit 1

cores=(nice -n 10)
command -v taskset >/dev/null && [ "$(nproc)" -gt 2 ] && cores+=(taskset -c 0,1)
mkdir -p tests/fuzz/findings "$out/logs"
touch "$out/logs/started"
pids=()
for t in "${fuzz_targets[@]}"; do
  mkdir -p "tests/fuzz/corpus/$t"
  rm -rf "$out/new/$t"
  mkdir -p "$out/new/$t"
  # New inputs go into the first folder; the kept ones and the seeds are read.
  "${cores[@]}" "$out/$t" -max_total_time="$seconds" -max_len="$(fuzz_max_len "$t")" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="tests/fuzz/findings/$t-" \
    "$out/new/$t" "tests/fuzz/corpus/$t" "$seeds/$t" >"$out/logs/$t.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || { echo "fuzz: ${fuzz_targets[$i]} stopped on a fault ($out/logs/${fuzz_targets[$i]}.log)"; status=1; }
done

# Keep a minimal set of inputs with all the coverage found so far.
for t in "${fuzz_targets[@]}"; do
  merged=$out/merged/$t
  rm -rf "$merged"
  mkdir -p "$merged"
  if "$out/$t" -merge=1 -max_len="$(fuzz_max_len "$t")" "$merged" "tests/fuzz/corpus/$t" "$out/new/$t" "$seeds/$t" \
      >"$out/logs/$t.merge.log" 2>&1; then
    rm -rf "tests/fuzz/corpus/$t"
    mv "$merged" "tests/fuzz/corpus/$t"
  else
    echo "fuzz: merging $t failed ($out/logs/$t.merge.log)"
    status=1
  fi
  last=$(grep -E '^#[0-9]+' "$out/logs/$t.log" | tail -1)
  execs=$(grep -E 'stat::number_of_executed_units' "$out/logs/$t.log" | awk '{print $2}')
  files=$(find "tests/fuzz/corpus/$t" -type f | wc -l)
  bytes=$(du -sb "tests/fuzz/corpus/$t" | awk '{print $1}')
  echo "fuzz: $t: ${execs:-?} runs in ${seconds}s; last status: ${last:-none}; kept: $files inputs, $bytes bytes"
done
found=$(find tests/fuzz/findings -type f -newer "$out/logs/started" | wc -l)
echo "fuzz: $found new finding(s) in tests/fuzz/findings"
[ "$found" -eq 0 ] || status=1
exit $status
