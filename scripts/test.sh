#!/usr/bin/env bash
# Runs all of Quendal's tests: installs what they need, builds the shipped
# program and the test trees, then runs the suites under Wine in a private
# Xvfb, once under an English and once under a Russian locale.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" || exit 1

. "$top/scripts/wine-env.sh"
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-test}
export WINEPREFIX=$QUENDAL_WINEPREFIX
quendal_wine_session || exit 1

# The shipped i686 program first (32-bit Wine, through qemu-user where the
# kernel refuses 32-bit code), then the x86_64 build of the same sources.
if ! quendal_can_run_32; then
  echo "test: 32-bit Wine does not start; scripts/setup.sh should have made it run" >&2
  exit 1
fi
trees=(i686-tests x86_64-tests)

status=0
for lang in en_US.UTF-8 ru_RU.UTF-8; do
  for tree in "${trees[@]}"; do
    echo "test: $tree under LANG=$lang"
    started=$(date +%s)
    LANG=$lang LC_ALL=$lang quendal_start_wineserver
    # The short soak, the exit stress and the second build of the release
    # run once: the resources and the roads out that they watch, and the
    # bytes of a build, do not depend on the locale.
    once=()
    [ "$lang" = en_US.UTF-8 ] || once=(-E 'soak-short|exits-short|release-same')
    LANG=$lang LC_ALL=$lang ctest --test-dir "build/$tree" --output-on-failure -j1 "${once[@]}" || status=1
    echo "test: $tree under LANG=$lang took $(( $(date +%s) - started )) s"
  done
done
exit $status
