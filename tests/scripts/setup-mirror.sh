#!/usr/bin/env bash
# scripts/setup.sh on a mirror's bad day: stand-ins for apt-get and dpkg,
# first on the PATH, answer as a half-synced mirror did. `update` fails for
# the security suite's i386 index, and a plain install breaks on the
# architectures' versions; set-up must warn naming the source, install with
# the main suite as the target release and end with 0. Then a mirror that
# never lets the packages install: set-up fails, naming the source.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB_LOG"
case " $* " in
  *" update "*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
  *" -t bookworm "*)
    [ "$STUB_MAIN_SUITE" = works ] && exit 0 ;;
esac
echo "libcurl4:i386 : Depends: zlib1g:i386 (>= 1:1.1.4) but it is not going to be installed" >&2
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100
STUB
# dpkg: every package missing, everything else done.
printf '#!/bin/sh\necho "dpkg $*" >>"$STUB_LOG"\n[ "$1" != -s ]\n' >"$work/bin/dpkg"
chmod +x "$work/bin/"*

passed=0 failed=0
check() {  # what, then the condition's command
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what" >&2; fi
}
run_setup() {  # STUB_MAIN_SUITE value
  : >"$work/log"
  PATH="$work/bin:$PATH" STUB_LOG="$work/log" STUB_MAIN_SUITE=$1 QUENDAL_APT_PAUSE=0 \
    timeout 60 bash "$top/scripts/setup.sh" >"$work/out" 2>&1
}

run_setup works; rc=$?
check "set-up on a half-synced mirror ends with 0 (it ended with $rc)" [ $rc = 0 ]
check "a warning names the security suite's i386 index" \
  grep -q 'warning: .*debian-security bookworm-security/main (i386)' "$work/out"
check "update is tried four times" [ "$(grep -c '^apt-get update' "$work/log")" = 4 ]
installs=$(grep '^apt-get install' "$work/log" | grep 'wine32:i386' | sed 's/ -y -qq --no-install-recommends//' | cut -c1-30)
check "the install that broke is not retried, and the main suite is then the target" \
  [ "$installs" = $'apt-get install cmake make goo\napt-get install -t bookworm cm' ]
check "set-up says it installs from the main suite" grep -q 'target release' "$work/out"

run_setup broken; rc=$?
check "set-up fails when no suite installs the packages" [ $rc != 0 ]
check "its message names the source" \
  grep -q 'cannot install .*from any suite.*debian-security bookworm-security/main (i386)' "$work/out"

[ $failed = 0 ] || { echo "--- set-up printed:" >&2; cat "$work/out" >&2; }
echo "$passed passed, $failed failed"
[ $failed = 0 ]
