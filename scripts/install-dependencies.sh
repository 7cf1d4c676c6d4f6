#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and benchmarks need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev libqt6sql6-sqlite qt6-gtk-platformtheme qt6-svg-dev
  libjpeg-dev libcups2-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils man-db appstream dpkg-dev cups printer-driver-cups-pdf poppler-utils
  fonts-liberation2 libsimpleini-dev libpoppler-qt6-dev ccache desktop-file-utils
  libharfbuzz-dev libdeflate-dev qpdf lintian
  clang libclang-rt-14-dev libfuzzer-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
