#!/usr/bin/env bash
# Runs the larger bench scenarios under bench/cases/ and compares every output
# file and the console text with the checksums in bench/cases/<case>/expected.sha256
# (the run's date line replaced by a fixed text): a faster kernel (more
# threads, a quicker solver) must write byte for byte what the kernel wrote
# when the checksums were taken.  -u takes new ones, for a change of the
# outputs that is meant.
#
#   bash bench/cases.sh [-b KIRMEL_12] [-u] [case ...]
#     -b  the kernel to run (default: a release build in build/bench)
#     -u  write the checksums instead of checking them
#   KIRMEL_THREADS is passed on to the kernel.
# Cases: example365 (the bundled example over 365 days), year500x14 (500
# segments x 14 layers, 365 days), seep500x50 (500 x 50 with seepage, 20
# days), theta200x20 (time weights 0.5, 200 x 20, 30 days).
# Each case holds the ten kernel input files; the names file is written here.
set -euo pipefail
cd "$(dirname "$0")/.."
src="$(pwd)"
bin=""
update=0
while getopts "b:u" opt; do
  case "$opt" in
    b) bin="$(cd "$(dirname "$OPTARG")" && pwd)/$(basename "$OPTARG")" ;;
    u) update=1 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
cases=("$@")
[ "${#cases[@]}" -gt 0 ] || cases=(example365 year500x14 seep500x50 theta200x20)

if [ -z "$bin" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF -DKIRMEL_GUI=OFF >/dev/null
  cmake --build build/bench -j 6 --target KIRMEL_12 >/dev/null
  bin="$src/build/bench/KIRMEL_12"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for c in "${cases[@]}"; do
  dir="$src/bench/cases/$c"
  run="$work/$c"
  mkdir -p "$run"
  cp "$dir"/*.INP "$run/"
  for pair in opoutinp:OPOUT wlnuinp:WLNU wlpainp:WLPA wlstinp:WLST wbnuinp:WBNU \
              wbpainp:WBPA wbstinp:WBST hyinp:HY suinp:SU slinp:SL; do
    printf "%s = '%s.INP'\n" "${pair%%:*}" "${pair##*:}"
  done >"$run/FILES.INP"
  start=$(date +%s.%N)
  rc=0
  (cd "$run" && "$bin" FILES.INP </dev/null >console.txt) || rc=$?
  end=$(date +%s.%N)
  printf '%s: exit %d, %s s\n' "$c" "$rc" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')"
  sums="$run/sums"
  (cd "$run" && for f in console.txt *.out; do
     printf '%s  %s\n' "$(sed '1s/^ KIRMEL simulation:.*/ KIRMEL simulation:  dd-mm-yyyy  hh:mm:ss/' "$f" | sha256sum | cut -d' ' -f1)" "$f"
   done; echo "exit $rc") >"$sums"
  if [ "$update" = 1 ]; then
    cp "$sums" "$dir/expected.sha256"
    echo "  wrote $dir/expected.sha256"
  elif diff -u "$dir/expected.sha256" "$sums" >"$run/diff"; then
    echo "  all $(grep -c '  ' "$sums") files equal the reference"
  else
    echo "  DIFFERS from the reference:"
    sed 's/^/    /' "$run/diff"
    status=1
  fi
  rm -f "$run"/*.out
done
exit "$status"
