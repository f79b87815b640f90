#!/usr/bin/env bash
# Builds the program and starts it; arguments go to the program (default: a simulated mouse when no
# other arguments are given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target q9zen
if [ $# -eq 0 ]; then set -- --simulate mouse; fi
exec ./build/app/q9zen "$@"
