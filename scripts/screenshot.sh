#!/usr/bin/env bash
# Takes pictures of the main window, of the links window and of the report in the print preview on a virtual
# X display (Xvfb), the way a desktop shows them. Usage: scripts/screenshot.sh [build-folder] [output-folder] [entry text]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-screenshots}
entry=${3:-Quenary Oracle}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quenary
mkdir -p "$output"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
  "$build/quenary" --entry "$entry" --screenshot "$output/main.png" --screenshot-links "$output/links.png"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
  "$build/quenary" --preview "$entry" --screenshot "$output/preview.png"
echo "$output/main.png"
echo "$output/links.png"
echo "$output/preview.png"
