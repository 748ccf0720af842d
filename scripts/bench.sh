#!/usr/bin/env bash
# Prints Quendal.exe's figures: CPU, detection and exit latency, start time, memory,
# sizes, then ScanBench's. Arguments: [cpu-seconds (60)] [changes (100)] [runs (20)].
# Options: --seed=N. Times the x86_64 build: emulated 32-bit code (qemu-user) is no
# measure of speed. See scripts/load.sh.
export QUENDAL_LOAD_TREE=${QUENDAL_LOAD_TREE:-build/x86_64-tests}
exec "$(dirname "${BASH_SOURCE[0]}")/load.sh" bench "$@"
