#!/usr/bin/env bash
# CPU and memory of the program as a user runs it, each over 30 s after 5 s of settling:
#   shown  - started as the README starts it (a simulated mouse, the window shown, the light preview
#            animating), with no script at all;
#   hidden - started the same way, its close button clicked after a second (to the tray, or
#            minimised where the desktop has none); the script's waits run on the program's own
#            event loop, so nothing but the program runs;
#   spectrum - (when Xvfb and xdotool are installed) shown in a window of a private X server, where
#            the user's clicks choose the spectrum effect on the lighting page: the fastest-moving
#            preview of the mouse.
# CPU time is read from the kernel's per-thread scheduler statistics (nanoseconds), so even a few
# milliseconds in 30 s show. Platform: QT_QPA_PLATFORM if set (e.g. xcb with DISPLAY), else offscreen.
# Usage: tools/measure-cpu.sh [SECONDS] [mouse|keyboard|all]   (the devices simulated; mouse by
# default; all = the mouse, keyboard, mouse pad and headset at once, the mouse's page in front)
set -u
cd "$(dirname "$0")/../build/app" || exit 2
seconds=${1:-30}
device=${2:-mouse}
devices=$device
# Where the effect list of the lighting page is, and the keys that go from the device's factory
# effect to its spectrum.
case "$device" in
  mouse) combo="450 277"; pick="Down Down Return" ;;      # breathing (1) to spectrum (3)
  keyboard) combo="153 313"; pick="Up Return" ;;           # breathing (5) to spectrum (4)
  all) combo="450 277"; pick="Down Down Return"; device=mouse; devices=mouse,keyboard,mousepad,headset ;;
  *) echo "usage: $0 [SECONDS] [mouse|keyboard|all]" >&2; exit 2 ;;
esac
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

# Clicks the effect list of the lighting page (where the skin puts it) and picks the spectrum.
choose_spectrum() { # PID
  local wid; wid=$(xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -1)
  # shellcheck disable=SC2086
  xdotool mousemove --window "$wid" $combo click 1; sleep 0.5; xdotool key $pick
}

measure() { # NAME [--user-picks-spectrum] ARGS...
  local name=$1; shift
  local picking=false; [ "${1:-}" = --user-picks-spectrum ] && { picking=true; shift; }
  ./q9zen --simulate "$devices" "$@" >/dev/null 2>&1 & local pid=$!
  sleep 3
  if $picking; then choose_spectrum "$pid"; fi
  sleep 2
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

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  Xvfb :73 -screen 0 1280x800x24 >/dev/null 2>&1 & xvfb=$!
  sleep 1
  DISPLAY=:73 QT_QPA_PLATFORM=xcb measure spectrum --user-picks-spectrum
  grep -rho '"SelectItem" : [0-9]*' "$work/data/$device" | sed "s/^/  $device profile after the pick: /"
  kill "$xvfb"
fi
