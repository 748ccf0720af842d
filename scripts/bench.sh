#!/usr/bin/env bash
# Prints Quendal.exe's figures: CPU, detection and exit latency, start time, memory,
# sizes, then ScanBench's. Arguments: [cpu-seconds (60)] [changes (100)] [runs (20)].
# Options: --seed=N. See scripts/load.sh.
exec "$(dirname "${BASH_SOURCE[0]}")/load.sh" bench "$@"
