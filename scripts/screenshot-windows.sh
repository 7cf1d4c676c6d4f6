#!/usr/bin/env bash
# Takes pictures of the windows as a laptop's 1366 x 768 screen shows them, on a virtual X display (Xvfb):
# the ledger filling the screen and at its least size, the Letter with its buttons in view, the help window,
# and the ledger's printout on A4 and Letter paper, page 1 at 100 dpi.
# Usage: scripts/screenshot-windows.sh [build-folder] [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-screenshots}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quenary quenary-ledger
mkdir -p "$output"
ledger="$output/sample-ledger.sqlite"
rm -f "$ledger"
"$build/quenary-ledger" --make-sample "$ledger"
on_laptop() {
  xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb "$@"
}
# The screen less a desktop panel and a title bar.
on_laptop "$build/quenary-ledger" --database "$ledger" --screenshot "$output/ledger-maximised.png" --size 1366x728
on_laptop "$build/quenary-ledger" --database "$ledger" --screenshot "$output/ledger-smallest.png" --size 1x1
on_laptop "$build/quenary-ledger" --letter --screenshot "$output/letter-on-laptop.png"
on_laptop "$build/quenary" --screenshot-help "$output/help.png"
for paper in A4 Letter; do
  "$build/quenary-ledger" --database "$ledger" --print --pdf "$output/ledger-$paper.pdf" --paper "$paper"
  pdftoppm -r 100 -png -f 1 -l 1 "$output/ledger-$paper.pdf" "$output/ledger-$paper-page"
done
rm -f "$ledger"
ls "$output"/ledger-maximised.png "$output"/ledger-smallest.png "$output"/letter-on-laptop.png \
  "$output"/help.png "$output"/ledger-*-page-*.png
