#!/usr/bin/env bash
# Times whole kernel runs of the bundled example (scenario NLStandard_sp,
# pesticide Cpf: 80 segments, 30 days in steps of 600 s) with a release
# build, and checks that the output files still equal the committed golden
# files byte for byte, so a faster kernel can be shown to compute the same.
#
#   bash bench/run_example.sh [runs]      (default 3 runs; prints each time and the best)
#
# The build goes to build/bench; the runs happen in a scratch directory.
set -euo pipefail
cd "$(dirname "$0")/.."
src="$(pwd)"
runs="${1:-3}"

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF >/dev/null
cmake --build build/bench --target KIRMEL_12 >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp examples/SCENARIOS/NLStandard_sp/*.INP examples/PESTICIDES/Cpf/SU.INP "$work/"
{
  for pair in opoutinp:OPOUT wlnuinp:WLNU wlpainp:WLPA wlstinp:WLST wbnuinp:WBNU \
              wbpainp:WBPA wbstinp:WBST hyinp:HY suinp:SU slinp:SL; do
    printf "%s = '%s.INP'\n" "${pair%%:*}" "${pair##*:}"
  done
} >"$work/FILES.INP"

best=""
for ((n = 1; n <= runs; n++)); do
  rm -f "$work"/*.out
  start=$(date +%s.%N)
  (cd "$work" && "$src/build/bench/KIRMEL_12" FILES.INP </dev/null >console.txt)
  end=$(date +%s.%N)
  t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')
  printf 'run %d: %.3f s\n' "$n" "$t"
  if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
done
printf 'best: %.3f s\n' "$best"

# The run's date and time stand in the first line of some files; the golden
# files hold a fixed text there.
golden="$src/tests/data/kernel/golden/example/expected"
status=0
for f in "$golden"/*; do
  name="$(basename "$f")"
  if ! sed '1s/^ KIRMEL simulation:.*/ KIRMEL simulation:  dd-mm-yyyy  hh:mm:ss/' "$work/$name" | cmp -s - "$f"; then
    echo "differs from the golden file: $name"
    status=1
  fi
done
[ "$status" = 0 ] && echo "all output files equal the golden files"
exit "$status"
