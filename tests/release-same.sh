#!/usr/bin/env bash
# The release is the tested program, and building it again gives the same
# bytes: the sources of the tree under test are built once more, as the i686
# preset, in a copy at another path (of another length), under another time
# zone, umask and locale; that Quendal.exe must equal the tested one, and the
# two packed releases (scripts/release-pack.py, each packed under its build's
# time zone and umask) must be the same zip and SHA256SUMS, whose exe is the
# tested one. On a mismatch, names where the two programs first differ.
#   release-same.sh TESTED-EXE
set -u
export LC_ALL=C
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tested=$1
python=/usr/bin/python3
[ -f "$tested" ] || { echo "release-same: $tested is missing"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/quendal-release-same.XXXXXX")
trap 'rm -rf "$work"' EXIT
other="$work/built/once/more/elsewhere/quendal-sources"
mkdir -p "$other"
epoch=$(git -C "$top" log -1 --format=%ct HEAD)

# The files of the tree under test as they are now, committed or not.
[ -z "$(git -C "$top" status --porcelain)" ] ||
  echo "release-same: the tree has uncommitted changes; they are built too (a release is built from the commit alone)"
(cd "$top" && git ls-files -z --cached --others --exclude-standard |
   while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
   tar --null -T - -cf -) | tar -xf - -C "$other"

started=$(date +%s)
if ! (cd "$other" && umask 077 && export TZ=Pacific/Chatham LC_ALL=C.UTF-8 &&
      cmake --preset i686 >"$work/configure.log" 2>&1 &&
      cmake --build --preset i686 --target Quendal >"$work/build.log" 2>&1); then
  tail -n 40 "$work/configure.log" "$work/build.log" 2>/dev/null
  echo "release-same: the second build failed"
  exit 1
fi
echo "release-same: built again at $other in $(( $(date +%s) - started )) s"
again="$other/build/i686/bin/Quendal.exe"

status=0
if ! cmp -s "$tested" "$again"; then
  echo "release-same: Quendal.exe built again differs from $tested"
  $python "$top/tests/pe-first-difference.py" "$tested" "$again"
  status=1
fi

$python "$top/scripts/release-pack.py" "$tested" "$top/docs/release-README.txt" "$epoch" "$work/a" >/dev/null || exit 1
(umask 077 && TZ=Pacific/Chatham $python "$top/scripts/release-pack.py" "$again" "$other/docs/release-README.txt" \
   "$epoch" "$work/b" >/dev/null) || exit 1
for f in $(cd "$work/a" && ls); do
  cmp "$work/a/$f" "$work/b/$f" || { echo "release-same: $f differs between the two releases"; status=1; }
done
# What a user checks: the zip's files, the README's hash and sha256sum -c.
zip=$(cd "$work/a" && ls Quendal-*-win32.zip)
mkdir "$work/user" && cp "$work/a/$zip" "$work/a/SHA256SUMS" "$work/user/"
(cd "$work/user" && $python -m zipfile -e "$zip" . && sha256sum --quiet -c SHA256SUMS) ||
  { echo "release-same: sha256sum -c fails on the release's SHA256SUMS"; status=1; }
[ "$(cd "$work/user" && ls)" = "$(printf '%s\n' Quendal.exe README.txt SHA256SUMS "$zip" | sort)" ] ||
  { echo "release-same: the zip holds $(cd "$work/user" && ls | tr '\n' ' ')"; status=1; }
grep -q "$(sha256sum <"$tested" | cut -c1-64)" "$work/user/README.txt" ||
  { echo "release-same: README.txt does not give the tested Quendal.exe's SHA-256"; status=1; }
[ $status = 0 ] && echo "release-same: $zip and SHA256SUMS are the same from both builds; the zip holds the tested Quendal.exe"
exit $status
