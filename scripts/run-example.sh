#!/usr/bin/env bash
# Builds everything in release mode and starts KirmelGUI on the bundled
# example (scenario NLStandard_sp, pesticide Cpf) under a KIRMEL root:
#   <root>/SCENARIOS/NLStandard_sp and <root>/PESTICIDES/Cpf.
# The root is $KIRMEL_ROOT, else build/release/root.  A scenario or pesticide
# folder that already exists under the root is left as it is.
#
# Without a display ($DISPLAY and $WAYLAND_DISPLAY empty) it says so and runs
# KIRMEL_12 on the example instead, laid out the way the front end lays out a
# run: <root>/RUNS/NLStandard_sp+Cpf/FILES.INP (absolute paths).
set -euo pipefail
cd "$(dirname "$0")/.."
src="$(pwd)"
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIRMEL_TESTS=OFF
cmake --build build/release -j "${KIRMEL_JOBS:-$(nproc)}"

root="${KIRMEL_ROOT:-$src/build/release/root}"
mkdir -p "$root"
root="$(cd "$root" && pwd)"
scenario=NLStandard_sp
pesticide=Cpf
for d in "SCENARIOS/$scenario" "PESTICIDES/$pesticide"; do
  if [ ! -e "$root/$d" ]; then
    mkdir -p "$(dirname "$root/$d")"
    cp -R "examples/$d" "$root/$d"
  else
    echo "Keeping the existing $root/$d"
  fi
done

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting KirmelGUI on $root"
  KIRMEL_ROOT="$root" exec "$src/build/release/KirmelGUI"
fi
echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): KirmelGUI needs one."
echo "Running the example through the kernel instead."

run="$root/RUNS/$scenario+$pesticide"
mkdir -p "$run"

case "$root" in
  *\'*) echo "The root path must not contain a single quote: $root" >&2; exit 1 ;;
esac

# The names file, written as the front end writes it (CR LF line ends).  Its
# heading states the versions as the programs report them (the front end's,
# and the kernel's release, major.minor), the file's path and today's date
# in the locale's short form.
gui_version="$("$src/build/release/KirmelGUI" --version | cut -d' ' -f2)"
kirmel_release="$("$src/build/release/KIRMEL_12" --version | cut -d' ' -f2 | cut -d. -f1,2)"
names="$run/FILES.INP"
{
  line() { printf '%s\r\n' "$1"; }
  # key, path, description.  The kernel reads 1023 characters of a line: a
  # longer path goes in pieces joined by "//", a piece a line.
  var() {
    local path=$2 lead="  $1 = "
    while [ "${#path}" -gt 900 ]; do
      line "$lead'${path:0:900}' //"
      path=${path:900}
      lead="   "
    done
    line "$(printf "%s%-$((42 - ${#lead}))s ! %s" "$lead" "'$path'" "$3")"
  }
  sep="*------------------------------------------------------------------------------"
  line "*"
  line "*   KIRMEL input file"
  line "*   GUI version: $gui_version"
  line "*   KIRMEL version: $kirmel_release"
  line "*"
  line "*   Filename: $names"
  line "*   Contents: Names of inputfiles for KIRMEL simulation"
  line "*   Date    : $(date +%x)"
  line "*"
  line "$sep"
  line "*"
  line "*   Section 1: Path and names input files"
  line "$sep"
  line "*"
  s="$root/SCENARIOS/$scenario"
  var opoutinp "$s/OPOUT.INP" "Output options"
  var wlnuinp "$s/WLNU.INP" "Numerical solution, time and length waterbody"
  var wlpainp "$s/WLPA.INP" "Geometry and other characteristics waterbody"
  var wlstinp "$s/WLST.INP" "Initial concentrations water layer"
  var wbnuinp "$s/WBNU.INP" "Numerical solution and thickness sediment"
  var wbpainp "$s/WBPA.INP" "Characteristics sediment"
  var wbstinp "$s/WBST.INP" "Initial concentrations sediment"
  var hyinp "$s/HY.INP" "Hydrological characteristics"
  var suinp "$root/PESTICIDES/$pesticide/SU.INP" "Substance properties"
  var slinp "$s/SL.INP" "Substance loadings"
  line "*"
  line "*----END OF FILE---------------------------------------------------------------"
} >"$names"

cd "$run"
rm -f -- *.out
status=0
"$src/build/release/KIRMEL_12" "$names" </dev/null || status=$?
echo
echo "Run directory: $run"
echo "Outputs:"
ls -1 "$run"/*.out 2>/dev/null | sed 's/^/  /' || true
echo "To see the results as the viewer's windows show them, without a display:"
echo "  bash scripts/screenshots.sh OUT_DIR '$run'"
exit "$status"
