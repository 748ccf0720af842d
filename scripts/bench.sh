#!/usr/bin/env bash
# Prints Quendal.exe's figures: CPU with the wineserver beside the floor program
# BenchFloor.exe's (and an earlier build's, when QUENDAL_BENCH_BEFORE names the
# folder of its Quendal.exe and Corvane.dll) and the wineserver's alone, in
# interleaved windows of 15 s;
# detection latency with and without a device-change notice; exit latency, also
# during a K3-600 load; start time, memory, sizes; then ScanBench's.
# Arguments: [cpu-seconds per program (60)] [changes each way (100)] [runs (20)].
# Options: --seed=N. Times the x86_64 build: emulated 32-bit code (qemu-user) is no
# measure of speed. See scripts/load.sh.
export QUENDAL_LOAD_TREE=${QUENDAL_LOAD_TREE:-build/x86_64-tests}
exec "$(dirname "${BASH_SOURCE[0]}")/load.sh" bench "$@"
