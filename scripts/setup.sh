#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, when it is missing.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev clang libclang-rt-14-dev libbenchmark-dev
          qt6-base-dev libqcustomplot-dev xvfb xauth fonts-dejavu-core poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
