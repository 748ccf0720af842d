#!/usr/bin/env bash
# Soaks Quendal.exe for [cycles] poll cycles (default 1500, about 5 minutes) with scenarios
# that change every few cycles; fails on a crash, hang, message box, wrong line or growth.
# Then soaks the monitor in process: 100 000 scans (QUENDAL_SOAK_SCANS) against a fake
# library, checking the slot tables after every scan and that no scan allocates.
# Options: --seed=N. Drives the shipped i686 program (QUENDAL_LOAD_TREE=build/x86_64-tests
# for the x86_64 build). See scripts/load.sh.
export QUENDAL_LOAD_TREE=${QUENDAL_LOAD_TREE:-build/i686-tests}
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/load.sh" soak "$@"
status=$?
case $QUENDAL_LOAD_TREE in /*) tree=$QUENDAL_LOAD_TREE ;; *) tree=$here/../$QUENDAL_LOAD_TREE ;; esac
echo
echo "in-process soak:"
export QUENDAL_SOAK_SCANS=${QUENDAL_SOAK_SCANS:-100000}
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-load}
"$here/wine-run.sh" "$tree/bin/QuendalUnitTests.exe" --gtest_filter='MonitorSoak*' || status=1
exit $status
