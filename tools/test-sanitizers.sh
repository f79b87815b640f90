#!/usr/bin/env bash
# The whole test suite and one scripted run of the program, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks detected, undefined behaviour fatal). Any finding fails.
# The QEMU guest test runs in the ordinary build only (tools/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
. tools/sanitized-tree.sh
configure_sanitized_tree build-asan "-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined" \
  "-fsanitize=address,undefined"
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# A user's session in short: the device found and read, a DPI change written, hidden, ended.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/rt" && chmod 700 "$work/rt"
printf 'wait 1500\nclick system_Op_tab\nvalue DPI_slider_1 40\nwait 300\nclick closebtn\nwait 200\nmenu exit\n' > "$work/s.txt"
QT_QPA_PLATFORM=offscreen Q9ZEN_RUNTIME_DIR="$work/rt" Q9ZEN_DATA_DIR="$work/data" Q9ZEN_CONFIG_DIR="$work/config" \
  ./build-asan/app/q9zen --simulate mouse --script "$work/s.txt"
echo "sanitized run of the program: clean"

ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -E GuestHidraw
