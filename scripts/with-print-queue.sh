#!/usr/bin/env bash
# Runs a command with a real CUPS print queue (cups-pdf backend) named QuenaryPDF, so the suites that
# print through the system have a printer, and a second one, QuenaryStopped, whose printer is stopped: it
# takes jobs and keeps them. Starts cupsd for the run when this user may and none runs, and stops the one it
# started afterwards.
set -uo pipefail

queue=QuenaryPDF
stopped_queue=QuenaryStopped
started_pid=""

# lpstat answers 0 whether or not the scheduler runs; only its words tell.
scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

stop_started() {
  if [ -n "$started_pid" ]; then
    kill "$started_pid" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 "$started_pid" 2>/dev/null || break; sleep 0.1; done
  fi
}
trap stop_started EXIT

if ! scheduler_running && [ "$(id -u)" -eq 0 ] && command -v cupsd >/dev/null; then
  cupsd
  for _ in $(seq 1 100); do scheduler_running && break; sleep 0.1; done
  started_pid=$(pgrep -o -x cupsd || true)
fi

add_queue() {
  local name=$1
  ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  [ -f "$ppd" ] || ppd=$(find /usr/share/ppd -name 'CUPS-PDF*.ppd' 2>/dev/null | head -n 1)
  lpadmin -p "$name" -E -v cups-pdf:/ -P "$ppd" 2>/dev/null ||
    lpadmin -p "$name" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
}

if scheduler_running; then
  if ! lpstat -p "$queue" >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
    add_queue "$queue"
  fi
  if lpstat -p "$queue" >/dev/null 2>&1; then
    export QUENARY_CUPS_PRINTER=$queue
  fi
  if [ "$(id -u)" -eq 0 ]; then
    lpstat -p "$stopped_queue" >/dev/null 2>&1 || add_queue "$stopped_queue"
    # Stopped but taking jobs, as a printer paused by its owner; nothing sent to it is ever printed.
    cupsaccept "$stopped_queue" 2>/dev/null && cupsdisable "$stopped_queue" 2>/dev/null &&
      export QUENARY_CUPS_STOPPED_PRINTER=$stopped_queue
  fi
fi

"$@"
