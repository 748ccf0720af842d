# The fuzz targets and the longest input each one reads; sourced by
# scripts/fuzz.sh and tests/fuzz/replay.sh.
fuzz_targets=(FuzzRecordFill FuzzClockText FuzzFieldText FuzzScenario)
fuzz_max_len() {
  case $1 in
    FuzzRecordFill) echo 7200 ;;  # a model byte and the largest record (7140)
    FuzzClockText) echo 16 ;;
    FuzzFieldText) echo 1100 ;;   # 4 bytes of sizes, two fields of up to 511
    FuzzScenario) echo 4096 ;;
  esac
}
