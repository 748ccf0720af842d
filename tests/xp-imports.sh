#!/usr/bin/env bash
# Quendal.exe must start on Windows XP SP3: every function it imports must be
# one that XP has. tests/xp-imports.txt lists the allowed ones, each with its
# reason; anything newer is bound at run time through GetProcAddress.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
allow="$here/xp-imports.txt"
status=0
for exe in "$@"; do
  [ -f "$exe" ] || { echo "xp-imports: $exe is missing"; status=1; continue; }
  imports=$(LC_ALL=C objdump -p "$exe" 2>/dev/null | awk '/DLL Name:/ {dll=$3} /Hint\/Ord/ {g=1; next} g && NF==0 {g=0} g && NF>=3 {print dll, $3}' |
            grep -v '^Corvane.dll ' | sort -u)
  n=0
  while read -r dll fn; do
    [ -n "$dll" ] || continue
    n=$((n + 1))
    if ! awk -v d="$dll" -v f="$fn" 'tolower($1) == tolower(d) && $2 == f {found=1} END {exit !found}' "$allow"; then
      echo "xp-imports: $exe imports $dll $fn, which is not on the list of functions Windows XP SP3 has"
      status=1
    fi
  done <<<"$imports"
  echo "xp-imports: $exe: $n functions checked"
done
exit $status
