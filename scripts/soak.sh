#!/usr/bin/env bash
# Soaks Quendal.exe for [cycles] poll cycles (default 1500, about 5 minutes) with scenarios
# that change every few cycles; fails on a crash, hang, message box, wrong line or growth.
# Then soaks the monitor in process: 100 000 scans (QUENDAL_SOAK_SCANS) against a fake
# library, checking the slot tables after every scan and that no scan allocates.
# Options: --seed=N. See scripts/load.sh.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/load.sh" soak "$@"
status=$?
tree=${QUENDAL_LOAD_TREE:-$here/../build/x86_64-tests}
echo
echo "in-process soak:"
export QUENDAL_SOAK_SCANS=${QUENDAL_SOAK_SCANS:-100000}
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-load}
"$here/wine-run.sh" "$tree/bin/QuendalUnitTests.exe" --gtest_filter='MonitorSoak*' || status=1
exit $status
