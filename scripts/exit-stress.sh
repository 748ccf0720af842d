#!/usr/bin/env bash
# Starts and ends Quendal.exe [runs] times (default 200) by random roads at random
# moments; fails on a hang, an exit code other than 0 or a message box left open.
# Options: --seed=N. Drives the shipped i686 program (QUENDAL_LOAD_TREE=build/x86_64-tests
# for the x86_64 build). See scripts/load.sh.
export QUENDAL_LOAD_TREE=${QUENDAL_LOAD_TREE:-build/i686-tests}
exec "$(dirname "${BASH_SOURCE[0]}")/load.sh" exits "$@"
