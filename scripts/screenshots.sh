#!/usr/bin/env bash
# scripts/screenshots.sh [--screen WIDTHxHEIGHT] OUT_DIR [RUN_DIR]
#
# Builds KirmelScreens (release build) when needed and renders every window
# of the front end to OUT_DIR/<window>.png under a virtual X display without
# a window manager, on a scratch root seeded with the example scenario
# NLStandard_sp and pesticide Cpf.  --screen sets the display's size
# (1280x1024 unless given), so windows can be looked at as they open on a
# small screen.  With RUN_DIR the viewer's windows show that run; the tool
# works on a copy of it and never writes into RUN_DIR.
set -euo pipefail
usage() {
  echo "usage: $0 [--screen WIDTHxHEIGHT] OUT_DIR [RUN_DIR]" >&2
  exit 2
}
screen="1280x1024"
if [ "${1:-}" = "--screen" ]; then
  [ $# -ge 2 ] || usage
  screen="$2"
  shift 2
fi
if ! [[ "$screen" =~ ^[1-9][0-9]{2,4}x[1-9][0-9]{2,4}$ ]]; then
  echo "$0: --screen takes WIDTHxHEIGHT in pixels, such as 1366x768, not \"$screen\"" >&2
  exit 2
fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  usage
fi
src="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$1"
out="$(cd "$1" && pwd)"
run=""
if [ $# -ge 2 ]; then
  run="$(cd "$2" && pwd)"
fi

bash "$src/scripts/setup.sh"
cmake -S "$src" -B "$src/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF >/dev/null
cmake --build "$src/build/release" -j "${KIRMEL_JOBS:-6}" --target KirmelScreens

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/SCENARIOS" "$root/PESTICIDES"
cp -R "$src/examples/SCENARIOS/NLStandard_sp" "$root/SCENARIOS/"
cp -R "$src/examples/PESTICIDES/Cpf" "$root/PESTICIDES/"

export KIRMEL_ROOT="$root" KIRMEL_SPLASH_MS=0 QT_QPA_PLATFORM=xcb
screens=("$src/build/release/KirmelScreens" "$out")
[ -n "$run" ] && screens+=("$run")

if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 ${screen}x24" "${screens[@]}"
else
  # Xvfb on the first free display number.
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${screen}x24" -nolisten tcp &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$root"' EXIT
  sleep 1
  DISPLAY=":$display" "${screens[@]}"
fi
echo "Screenshots in $out"
