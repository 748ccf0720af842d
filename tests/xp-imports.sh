#!/usr/bin/env bash
# Quendal.exe must start on Windows XP SP3, and imports nothing newer than
# Windows 2000: every function it imports must be on tests/xp-imports.txt,
# which gives the first Windows version that has it, and that version must be
# 5.0 or older. Functions listed there as bound at run time (through
# GetProcAddress) must not be imported at all.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
allow="$here/xp-imports.txt"
newest=5.0
status=0
bad=$(awk '!/^#/ && NF && !(($1 == "runtime" ? $4 : $3) ~ /^[0-9]+\.[0-9]+$/)' "$allow")
[ -z "$bad" ] || { echo "xp-imports: lines of $allow without a Windows version:"; echo "$bad"; status=1; }
for exe in "$@"; do
  [ -f "$exe" ] || { echo "xp-imports: $exe is missing"; status=1; continue; }
  imports=$(LC_ALL=C objdump -p "$exe" 2>/dev/null | awk '/DLL Name:/ {dll=$3} /Hint\/Ord/ {g=1; next} g && NF==0 {g=0} g && NF>=3 {print dll, $3}' |
            grep -v '^Corvane.dll ' | sort -u)
  n=0
  while read -r dll fn; do
    [ -n "$dll" ] || continue
    n=$((n + 1))
    # The first version of an allowed import, "runtime" for a function bound at run time, or nothing.
    version=$(awk -v d="$dll" -v f="$fn" 'tolower($1) == tolower(d) && $2 == f && v == "" {v = $3}
                                          $1 == "runtime" && tolower($2) == tolower(d) && $3 == f {r = 1}
                                          END {print r ? "runtime" : v}' "$allow")
    if [ -z "$version" ]; then
      echo "xp-imports: $exe imports $dll $fn, which is not on $allow"
      status=1
    elif [ "$version" = runtime ]; then
      echo "xp-imports: $exe imports $dll $fn, which the program must bind at run time"
      status=1
    elif ! awk -v v="$version" -v n="$newest" 'BEGIN {split(v, a, "."); split(n, b, "."); exit !(a[1] < b[1] || (a[1] == b[1] && a[2] <= b[2]))}'; then
      echo "xp-imports: $exe imports $dll $fn, which Windows has only since version $version, after Windows 2000 ($newest)"
      status=1
    fi
  done <<<"$imports"
  echo "xp-imports: $exe: $n functions checked"
done
exit $status
