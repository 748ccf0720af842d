#!/usr/bin/env bash
# Every given executable imports Corvane.dll by ordinals 1 and 2 only, and
# otherwise only Windows' own DLLs.
set -u
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|VERSION|ADVAPI32|msvcrt|MSIMG32|OLE32)\.dll$'
status=0
for exe in "$@"; do
  [ -f "$exe" ] || { echo "imports: $exe is missing"; status=1; continue; }
  dump=$(LC_ALL=C objdump -p "$exe" 2>/dev/null || LC_ALL=C x86_64-w64-mingw32-objdump -p "$exe")
  dlls=$(echo "$dump" | sed -n 's/^\tDLL Name: //p')
  for dll in $dlls; do
    if [ "$dll" = Corvane.dll ]; then
      entries=$(echo "$dump" | awk -v d="$dll" '$0 ~ "DLL Name: " d {f=1; next} f && /Hint\/Ord/ {g=1; next} g && NF == 0 {f=0; g=0} f && g {print $2, $3}')
      names=$(echo "$entries" | awk '$2 != "<none>" && $2 != "" {print $2}')
      ords=$(echo "$entries" | awk '{print $1+0}' | sort -n | tr '\n' ' ')
      if [ -n "$names" ] || [ "$ords" != "1 2 " ]; then
        echo "imports: $exe imports Corvane.dll entries [$entries], expected ordinals 1 and 2 without names"
        status=1
      fi
    elif ! echo "$dll" | grep -qiE "$allowed"; then
      echo "imports: $exe imports $dll, which is not one of Windows' own DLLs"
      status=1
    fi
  done
  echo "imports: $exe: $(echo $dlls | tr '\n' ' ')"
done
exit $status
