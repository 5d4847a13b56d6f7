#!/usr/bin/env bash
# scripts/screenshots.sh OUT_DIR [RUN_DIR]
#
# Builds KirmelScreens (release build) when needed and renders every window
# of the front end to OUT_DIR/<window>.png under a virtual X display, on a
# scratch root seeded with the example scenario NLStandard_sp and pesticide
# Cpf.  With RUN_DIR the viewer's windows show that run.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 OUT_DIR [RUN_DIR]" >&2
  exit 2
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
  xvfb-run -a -s "-screen 0 1280x1024x24" "${screens[@]}"
else
  # Xvfb on the first free display number.
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$root"' EXIT
  sleep 1
  DISPLAY=":$display" "${screens[@]}"
fi
echo "Screenshots in $out"
