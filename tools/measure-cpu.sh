#!/usr/bin/env bash
# CPU and memory of the program as a user runs it, each over 30 s after 5 s of settling:
#   shown  - started as the README starts it (a simulated mouse, the window shown, the light preview
#            animating), with no script at all;
#   hidden - started the same way, its close button clicked after a second (to the tray, or
#            minimised where the desktop has none); the script's waits run on the program's own
#            event loop, so nothing but the program runs.
# CPU time is read from the kernel's per-thread scheduler statistics (nanoseconds), so even a few
# milliseconds in 30 s show. Platform: QT_QPA_PLATFORM if set (e.g. xcb with DISPLAY), else offscreen.
# Usage: tools/measure-cpu.sh [SECONDS]
set -u
cd "$(dirname "$0")/../build/app" || exit 2
seconds=${1:-30}
work=$(mktemp -d "${TMPDIR:-/tmp}/q9zen-measure.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export Q9ZEN_RUNTIME_DIR=$work/rt Q9ZEN_DATA_DIR=$work/data
mkdir -p "$work/rt" "$work/data"; chmod 700 "$work/rt"

# Nanoseconds on a CPU of each thread of a process, one "TID NS" line per thread.
cpu_ns() { for t in /proc/"$1"/task/*; do echo "${t##*/} $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null)"; done; }
# What the threads used between two such samples (a thread that ended in between counts until
# its last sample; one that started counts from zero).
used_ns() { awk 'NR == FNR {a[$1] = $2; next} {s += $2 - ($1 in a ? a[$1] : 0)} END {printf "%d", s}' "$1" "$2"; }

measure() { # NAME ARGS...
  local name=$1; shift
  ./q9zen --simulate mouse "$@" >/dev/null 2>&1 & local pid=$!
  sleep 5
  cpu_ns "$pid" > "$work/a"
  sleep "$seconds"
  cpu_ns "$pid" > "$work/b"
  local rss; rss=$(awk '/VmHWM/ {print $2}' /proc/"$pid"/status)
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  awk -v n="$name" -v d="$(used_ns "$work/a" "$work/b")" -v s="$seconds" -v r="$rss" \
    'BEGIN {printf "%s: %.3f %% of one core (%.1f ms of CPU in %d s), peak RSS %.1f MB\n", n, d / 1e7 / s, d / 1e6, s, r / 1000}'
}

measure shown
printf 'wait 1000\nclick closebtn\nwait %d\nquit\n' $(( (seconds + 10) * 1000 )) > "$work/hide.txt"
measure hidden --script "$work/hide.txt"
