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
quendal_wine_prefix || exit 1
unset DISPLAY
quendal_private_display || exit 1
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null
  [ -n "${QUENDAL_XVFB_PID:-}" ] && kill "$QUENDAL_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

trees=(x86_64-tests)
if quendal_can_run_32; then
  trees+=(i686-tests)
else
  echo "test: this kernel cannot run 32-bit programs; the i686 build is built and its imports checked, its suites are run on a machine that can"
fi

status=0
for lang in en_US.UTF-8 ru_RU.UTF-8; do
  for tree in "${trees[@]}"; do
    echo "test: $tree under LANG=$lang"
    /usr/lib/wine/wineserver -k 2>/dev/null
    LANG=$lang LC_ALL=$lang /usr/lib/wine/wineserver -p
    # Start Wine's own services now, with no pipe of ctest's to inherit:
    # they outlive every test and would keep ctest waiting for their output.
    LANG=$lang LC_ALL=$lang /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
    LANG=$lang LC_ALL=$lang ctest --test-dir "build/$tree" --output-on-failure -j1 || status=1
  done
done
exit $status
