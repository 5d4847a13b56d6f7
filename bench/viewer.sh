#!/usr/bin/env bash
# The results viewer on large runs: builds them with the release kernel and
# prints the open time of every window (first open, and second open from
# the cache), the read rate of wlsoco.out beside a floor (the file mapped
# and every number converted with std::from_chars) and the peak memory; then
# opens a run whose wlsoco.out is one endless line of 2 GB (a sparse file)
# and prints how soon and in how much memory it is given up.
#
#   bash bench/viewer.sh [-f]      (-f: run the kernel again even when the runs exist)
#
# The runs are the 500-segment case of bench/cases/year500x14 (365 days, 14
# sediment layers) with 9 selected subsystems, written by KIRMEL_12:
#   y731   output every 0.5 d: 731 output times (wlsoco.out about 45 MB)
#   y3651  output every 0.1 d: 3651 output times (wlsoco.out about 220 MB)
# They are kept under build/viewer-bench/runs and made again only when asked
# or when they are missing.  The machine's load average is printed first: on
# a shared machine, measure when it is low.
set -euo pipefail
cd "$(dirname "$0")/.."
src="$(pwd)"
force=0
[ "${1:-}" = "-f" ] && force=1

build="$src/build/viewer-bench"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF -DKIRMEL_GUI=ON \
  -DKIRMEL_BENCH=ON >/dev/null
cmake --build "$build" -j 3 --target KIRMEL_12 kirmel_viewer_bench >/dev/null
kernel="$build/KIRMEL_12"
bench="$build/bench/kirmel_viewer_bench"
runs="$build/runs"
mkdir -p "$runs"

# make_run NAME DELTOUT: the case's inputs with 9 subsystems and the given
# output interval, run by the kernel in $runs/NAME.
make_run() {
  local dir="$runs/$1"
  if [ "$force" = 0 ] && [ -f "$dir/kirmel.status" ] && [ "$(cat "$dir/kirmel.status")" = 0 ]; then
    return
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$src/bench/cases/year500x14"/*.INP "$dir/"
  awk -v out="$2" '
    { sub(/\r$/, "") }
    /^  deltout =/ { print "  deltout = " out; next }
    /^  nwbsy =/   { print "  nwbsy = 9"; next }
    /^  iwbsy =/   { print "  iwbsy = 1 25 50 75 100 125 150 175 200"; skip = 1; next }
    skip && /^ +[0-9]+ *$/ { next }
    { skip = 0; print }
  ' "$src/bench/cases/year500x14/OPOUT.INP" >"$dir/OPOUT.INP"
  for pair in opoutinp:OPOUT wlnuinp:WLNU wlpainp:WLPA wlstinp:WLST wbnuinp:WBNU \
              wbpainp:WBPA wbstinp:WBST hyinp:HY suinp:SU slinp:SL; do
    printf "%s = '%s.INP'\n" "${pair%%:*}" "${pair##*:}"
  done >"$dir/FILES.INP"
  echo "running the kernel for $1 (output every $2 d) ..."
  local start=$SECONDS
  local rc=0
  (cd "$dir" && "$kernel" FILES.INP </dev/null >console.txt 2>&1) || rc=$?
  echo "$rc" >"$dir/kirmel.status"
  [ "$rc" = 0 ] || { echo "the kernel stopped with status $rc: see $dir/console.txt" >&2; exit 1; }
  echo "  $((SECONDS - start)) s, exit status $(cat "$dir/kirmel.status")"
}

make_run y731 0.5
make_run y3651 0.1

export QT_QPA_PLATFORM=offscreen KIRMEL_SPLASH_MS=0
export KIRMEL_ROOT="$runs/root"
mkdir -p "$KIRMEL_ROOT/RUNS"

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in y731 y3651; do
  echo
  echo "== $run: $(du -sh "$runs/$run" | cut -f1) of output files"
  "$bench" "$runs/$run" 2>&1 | grep -v "propagateSizeHints\|XDG_RUNTIME_DIR"
done

# A run whose wlsoco.out is one endless line: 2 GB of a sparse file.
endless="$runs/endless"
rm -rf "$endless"
mkdir -p "$endless"
for f in "$runs/y731"/*.out; do ln -s "$f" "$endless/"; done
rm -f "$endless/wlsoco.out"
truncate -s 2G "$endless/wlsoco.out"
echo
echo "== endless: wlsoco.out of $(stat -c %s "$endless/wlsoco.out") bytes without a line end"
status=0
"$bench" --endless "$endless" 2>&1 | grep -v "propagateSizeHints\|XDG_RUNTIME_DIR" || status=$?
rm -rf "$endless"
exit $status
