#!/usr/bin/env bash
# Builds the release for Windows users: the shipped i686 Quendal.exe, from a
# clean tree of the current commit, packed with its README.txt into
# dist/Quendal-<version>-win32.zip, and dist/SHA256SUMS for the zip and the
# exe. Two runs on the same commit give the same bytes wherever the clone
# lies and whatever the time, time zone or umask (cmake/reproducible.cmake,
# scripts/release-pack.py); tests/release-same.sh checks it.
set -eu
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
started=$(date +%s)
"$top/scripts/setup.sh"
commit=$(git rev-parse HEAD)
epoch=$(git log -1 --format=%ct HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release: the working tree has changes that are not committed; the release is built from $commit without them" >&2

work=$(mktemp -d "${TMPDIR:-/tmp}/quendal-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
git archive "$commit" | tar -x -C "$work/src"

export TZ=UTC LC_ALL=C SOURCE_DATE_EPOCH=$epoch
umask 022
echo "release: building $commit"
(cd "$work/src" && cmake --preset i686 >"$work/configure.log" 2>&1) || { cat "$work/configure.log"; exit 1; }
(cd "$work/src" && cmake --build --preset i686 --target Quendal >"$work/build.log" 2>&1) ||
  { grep -E 'error|Error|undefined' -A4 "$work/build.log" | head -80; echo "release: the build failed"; exit 1; }

/usr/bin/python3 "$top/scripts/release-pack.py" "$work/src/build/i686/bin/Quendal.exe" \
  "$work/src/docs/release-README.txt" "$epoch" dist >/dev/null
cat dist/SHA256SUMS
echo "release: dist/ written in $(( $(date +%s) - started )) s"
