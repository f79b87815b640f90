#!/usr/bin/env bash
# CPU of the program over 30 s shown (preview animating) and 30 s hidden in the tray.
set -u
cd "$(dirname "$0")/../build/app"
rm -rf ${TMPDIR:-/tmp}/q9zen-measure; mkdir -p ${TMPDIR:-/tmp}/q9zen-measure
cat > ${TMPDIR:-/tmp}/q9zen-measure/s.txt <<'S'
wait 33000
click closebtn
wait 33000
menu exit
S
export QT_QPA_PLATFORM=offscreen Q9ZEN_RUNTIME_DIR=${TMPDIR:-/tmp}/q9zen-measure/rt Q9ZEN_DATA_DIR=${TMPDIR:-/tmp}/q9zen-measure/data
start=$(date +%s.%N)
./q9zen --simulate mouse --script ${TMPDIR:-/tmp}/q9zen-measure/s.txt & pid=$!
ticks() { awk '{print $14+$15}' /proc/$pid/stat; }
sleep 3; a=$(ticks); sleep 30; b=$(ticks)
sleep 3; c=$(ticks); sleep 30; d=$(ticks)
wait $pid; echo "exit $?"
hz=$(getconf CLK_TCK)
awk -v t=$((b-a)) -v hz=$hz 'BEGIN{printf "shown: %.2f %% of one core\n", t*100/hz/30}'
awk -v t=$((d-c)) -v hz=$hz 'BEGIN{printf "hidden: %.2f %% of one core\n", t*100/hz/30}'
