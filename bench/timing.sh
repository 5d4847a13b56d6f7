#!/usr/bin/env bash
# Times the kernel (release build) on the bundled example over 365 days
# (80 segments x 14 layers) and on the 500-segment case (500 x 14, 365 days),
# each with one thread and with one thread per core, beside the floor
# program (bench/floor.cpp): the least work of a sediment pass, run for the
# same number of node-passes as the kernel did.  Prints the best of the
# repeats, ns per node-pass and the ratio kernel time / floor time, and
# checks the kernel's outputs against bench/cases/<case>/expected.sha256.
#
#   bash bench/timing.sh [repeats]      (default 3)
#
# The machine's load average is printed before each measurement: on a
# shared machine, measure when it is low.
set -euo pipefail
cd "$(dirname "$0")/.."
src="$(pwd)"
reps="${1:-3}"
cores="$(nproc)"

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF -DKIRMEL_GUI=OFF \
  -DKIRMEL_BENCH=ON >/dev/null
cmake --build build/bench -j 6 --target KIRMEL_12 kirmel_floor >/dev/null
kernel="$src/build/bench/KIRMEL_12"
floor="$src/build/bench/bench/kirmel_floor"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

load() { cut -d' ' -f1 /proc/loadavg; }

# prepare CASE: a run directory with the case's inputs and a names file.
prepare() {
  local dir="$work/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$src/bench/cases/$1"/*.INP "$dir/"
  for pair in opoutinp:OPOUT wlnuinp:WLNU wlpainp:WLPA wlstinp:WLST wbnuinp:WBNU \
              wbpainp:WBPA wbstinp:WBST hyinp:HY suinp:SU slinp:SL; do
    printf "%s = '%s.INP'\n" "${pair%%:*}" "${pair##*:}"
  done >"$dir/FILES.INP"
}

# check CASE: the outputs of the last run against the reference checksums.
check() {
  local dir="$work/$1"
  (cd "$dir" && for f in console.txt *.out; do
     printf '%s  %s\n' "$(sed '1s/^ KIRMEL simulation:.*/ KIRMEL simulation:  dd-mm-yyyy  hh:mm:ss/' "$f" |
       sha256sum | cut -d' ' -f1)" "$f"
   done; echo "exit $2") | diff -q - "$src/bench/cases/$1/expected.sha256" >/dev/null &&
    echo "outputs equal the reference" || echo "OUTPUTS DIFFER FROM THE REFERENCE"
}

# run CASE THREADS: best time of the repeats; sets best and passes.
run() {
  local dir="$work/$1" t rc
  best=""
  for ((n = 1; n <= reps; n++)); do
    rm -f "$dir"/*.out
    printf '  %-12s %2s thread(s), run %d (load %s): ' "$1" "$2" "$n" "$(load)"
    local start end
    start=$(date +%s.%N)
    rc=0
    (cd "$dir" && KIRMEL_THREADS="$2" KIRMEL_STATS=1 "$kernel" FILES.INP </dev/null >console.txt 2>stats.txt) || rc=$?
    end=$(date +%s.%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')
    printf '%.3f s, %s\n' "$t" "$(check "$1" "$rc")"
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  passes=$(sed -n 's/^sediment node-passes: //p' "$dir/stats.txt")
}

# floorns PASSES NODES: best ns per node-pass of the floor program.
floorns() {
  local b="" v
  for ((n = 1; n <= reps; n++)); do
    v=$("$floor" "$1" "$2" | sed -n 's/.*: \([0-9.]*\) ns per node-pass.*/\1/p')
    if [ -z "$b" ] || awk -v v="$v" -v b="$b" 'BEGIN { exit !(v < b) }'; then b=$v; fi
  done
  echo "$b"
}

declare -A table
for c in example365 year500x14; do
  prepare "$c"
  for threads in 1 "$cores"; do
    run "$c" "$threads"
    table[$c,$threads]="$best $passes"
  done
done

echo
printf '%-12s %8s %10s %14s %12s %14s %8s\n' case threads "best s" node-passes "ns/np" "floor ns/np" ratio
for c in example365 year500x14; do
  read -r _ passes <<<"${table[$c,1]}"
  printf '  floor for %s (%s node-passes, load %s)...\n' "$c" "$passes" "$(load)" >&2
  f=$(floorns "$passes" 14)
  for threads in 1 "$cores"; do
    read -r t p <<<"${table[$c,$threads]}"
    ns=$(awk -v t="$t" -v p="$p" 'BEGIN { printf "%.3f", t * 1000000000 / p }')
    ratio=$(awk -v ns="$ns" -v f="$f" 'BEGIN { printf "%.3f", ns / f }')
    printf '%-12s %8s %10.3f %14s %12.2f %14.2f %8.3f\n' "$c" "$threads" "$t" "$p" "$ns" "$f" "$ratio"
  done
done
