#!/usr/bin/env bash
# Runs all of Quendal's tests: installs what they need, builds the shipped
# program and the test trees, then runs every suite of both test trees in one
# ctest run, side by side on a few Wine desktops. A desktop is a prefix with
# its own wineserver and Xvfb display; each suite part (tests/CMakeLists.txt)
# takes a free one (scripts/wine-run.sh), so no two parts share a program
# instance, a focus or a clipboard. The locale is the part's own (LANG in
# its environment).
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
desktops=${QUENDAL_TEST_DESKTOPS:-3}
started=$(date +%s)
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" || exit 1
echo "test: set-up and build took $(( $(date +%s) - started )) s"

. "$top/scripts/wine-env.sh"
if ! quendal_can_run_32; then
  echo "test: 32-bit Wine does not start; scripts/setup.sh should have made it run" >&2
  exit 1
fi
# One prefix made (or kept from an earlier run), then a fresh copy of it for
# each desktop: hard links, as Wine replaces the files it writes.
export QUENDAL_WINEPREFIX=${QUENDAL_WINEPREFIX:-$HOME/.cache/quendal/wineprefix-test}
export WINEPREFIX=$QUENDAL_WINEPREFIX
quendal_wine_prefix || exit 1
export QUENDAL_DESKTOPS=$top/build/desktops
rm -rf "$QUENDAL_DESKTOPS" && mkdir -p "$QUENDAL_DESKTOPS"
xvfbs=()
end_desktops() {
  local d
  for d in "$QUENDAL_DESKTOPS"/*.env; do
    [ -f "$d" ] && (. "$d" && WINEPREFIX=$QUENDAL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null)
  done
  [ ${#xvfbs[@]} -gt 0 ] && kill "${xvfbs[@]}" 2>/dev/null
}
trap end_desktops EXIT
# The copies share the files of the prefix: what earlier runs left in its
# temporary folder would be shared by all desktops, and written by each.
rm -rf "$QUENDAL_WINEPREFIX"/drive_c/users/*/Temp/*
for i in $(seq 1 "$desktops"); do
  prefix=$QUENDAL_WINEPREFIX-desktop$i
  rm -rf "$prefix" && cp -al "$QUENDAL_WINEPREFIX" "$prefix" || exit 1
  unset DISPLAY
  QUENDAL_XVFB_PID=
  WINEPREFIX=$prefix quendal_private_display
  display_rc=$?
  [ -n "$QUENDAL_XVFB_PID" ] && xvfbs+=("$QUENDAL_XVFB_PID")
  [ "$display_rc" -eq 0 ] || exit 1
  printf 'export QUENDAL_WINEPREFIX=%q DISPLAY=%q\n' "$prefix" "$DISPLAY" >"$QUENDAL_DESKTOPS/$i.env"
  WINEPREFIX=$prefix LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 quendal_start_wineserver
done
unset DISPLAY

# Both test trees in one run; the shipped i686 tree's parts go first, as
# they are the longest (32-bit Wine goes through qemu-user where the kernel
# refuses 32-bit code).
printf 'subdirs("i686-tests" "x86_64-tests")\n' >build/CTestTestfile.cmake
log=build/test.log
ran=$(date +%s)
ctest --test-dir build -j "$(( desktops + 1 ))" --output-on-failure 2>&1 | tee "$log"
status=${PIPESTATUS[0]}

# The time each tree and locale took, its parts' times added up (they ran
# side by side: the sum is more than the wait).
awk '/Test +#[0-9]+: / {
       for (i = 1; i <= NF; i++) if ($i ~ /^(i686|x86_64)\//) name = $i
       split(name, p, "/"); part = (p[2] == "en" || p[2] == "ru") ? p[1] "-tests under " p[2] : p[1] "-tests, build checks"
       for (i = 1; i <= NF; i++) if ($i == "sec") t[part] += $(i - 1)
     }
     END { for (k in t) printf "test: %s: %d s of suite time\n", k, t[k] }' "$log" | sort
echo "test: the suites took $(( $(date +%s) - ran )) s on $desktops desktops; all of it $(( $(date +%s) - started )) s"
exit "$status"
