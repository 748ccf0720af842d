#!/usr/bin/env bash
# Builds the fuzz targets natively with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer: build.sh OUTPUT-FOLDER (default
# build/fuzz). Does nothing when no source changed since the last build.
#
# The program's sources keep their texts as cp1251 bytes (the cross build
# uses -fexec-charset=CP1251, which clang lacks): they are compiled from
# cp1251 copies, whose string literals clang takes byte for byte.
set -eu
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$top/build/fuzz}
here=$top/tests/fuzz
cxx=${QUENDAL_FUZZ_CXX:-clang++}
program=(device/RecordFill.cpp device/FieldText.cpp monitor/DetailsFormat.cpp corvane/Scenario.cpp corvane/Records.cpp)
inputs=("${program[@]/#/$top/}" "$top"/device/*.h "$top"/monitor/DetailsFormat.h "$top"/corvane/*.h "$here"/*.cpp
        "$here"/*.h "$here"/shim/*.h "$here"/build.sh)

if [ -f "$out/.built" ]; then
  newer=$(find "${inputs[@]}" -newer "$out/.built" 2>/dev/null | head -1)
  [ -z "$newer" ] && exit 0
fi
command -v "$cxx" >/dev/null || { echo "fuzz build: $cxx not found (scripts/setup.sh installs it)" >&2; exit 1; }
mkdir -p "$out/src" "$out/obj"
rm -f "$out/.built"

flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -Wall -Wextra -Werror -Wno-invalid-source-encoding
       -fsanitize=address,undefined -fno-sanitize-recover=all -I"$top")
shim=(-I"$here/shim")

compile() {  # compile SOURCE OBJECT [extra flags...]
  local src=$1 obj=$2
  shift 2
  "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link "$@" -c "$src" -o "$obj"
}

for f in "${program[@]}"; do
  copy="$out/src/$f"
  mkdir -p "$(dirname "$copy")"
  iconv -f UTF-8 -t CP1251 "$top/$f" >"$copy"
  extra=()
  case $f in corvane/*) extra=("${shim[@]}") ;; esac
  compile "$copy" "$out/obj/$(basename "$f" .cpp).o" "${extra[@]}"
done
for t in FuzzRecordFill FuzzClockText FuzzFieldText; do
  compile "$here/$t.cpp" "$out/obj/$t.o"
done
compile "$here/FuzzScenario.cpp" "$out/obj/FuzzScenario.o" "${shim[@]}"
compile "$here/SeedCorpus.cpp" "$out/obj/SeedCorpus.o" "${shim[@]}"

o=$out/obj
link() {  # link TARGET OBJECTS...
  local target=$1
  shift
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$@" -o "$out/$target"
}
link FuzzRecordFill "$o/FuzzRecordFill.o" "$o/RecordFill.o" "$o/FieldText.o" "$o/DetailsFormat.o"
link FuzzClockText "$o/FuzzClockText.o" "$o/DetailsFormat.o" "$o/FieldText.o"
link FuzzFieldText "$o/FuzzFieldText.o" "$o/FieldText.o" "$o/DetailsFormat.o"
link FuzzScenario "$o/FuzzScenario.o" "$o/Scenario.o" "$o/Records.o" "$o/RecordFill.o" "$o/FieldText.o" "$o/DetailsFormat.o"
"$cxx" "${flags[@]}" "$o/SeedCorpus.o" "$o/Scenario.o" "$o/Records.o" -o "$out/SeedCorpus"
touch "$out/.built"
