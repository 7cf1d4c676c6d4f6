#!/usr/bin/env bash
# Takes a picture of the ledger's Letter window on a virtual X display (Xvfb), prints the letter into a PDF
# file and rasterizes its pages at 100 dpi. Usage: scripts/screenshot-letter.sh [build-folder] [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-screenshots}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quenary-ledger
mkdir -p "$output"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
  "$build/quenary-ledger" --letter --screenshot "$output/letter-window.png"
"$build/quenary-ledger" --letter --print --pdf "$output/letter.pdf" --dpi 300
pdftoppm -r 100 -png "$output/letter.pdf" "$output/letter-page"
ls "$output"/letter-window.png "$output"/letter-page-*.png
