#!/usr/bin/env bash
# Runs one command of QuendalLoad (soak, exits or bench) against the shipped
# program of a test tree under Wine, in its own prefix and a private Xvfb;
# builds what it needs first. Used by soak.sh, exit-stress.sh and bench.sh.
#   QUENDAL_LOAD_TREE  test tree whose QuendalLoad and program run (default
#                      build/x86_64-tests; build/i686-tests drives the shipped
#                      i686 program; another tree builds only its own targets)
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
tree=${QUENDAL_LOAD_TREE:-build/x86_64-tests}
"$top/scripts/setup.sh" || exit 1
case "$tree" in
  build/x86_64-tests | build/i686-tests)
    "$top/scripts/build.sh" x86_64 i686 "${tree#build/}" || exit 1 ;;
  *)
    cmake --build "$tree" -j2 --target QuendalLoad ScanBench BenchFloor >"$tree/load-build.log" 2>&1 ||
      { tail -40 "$tree/load-build.log"; exit 1; } ;;
esac

. "$top/scripts/wine-env.sh"
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-load}
export WINEPREFIX=$QUENDAL_WINEPREFIX
quendal_wine_session || exit 1
"$top/scripts/wine-run.sh" "$tree/bin/QuendalLoad.exe" "$@"
status=$?
if [ "${1:-}" = bench ]; then
  echo
  echo "ScanBench (the program's own work per scan of 25 slots):"
  "$top/scripts/wine-run.sh" "$tree/bin/ScanBench.exe" 10000 || status=1
fi
exit $status
