#!/usr/bin/env bash
# The device and window tests built with ThreadSanitizer. Qt's libraries are not instrumented, so
# the synchronisation inside them is invisible to the tool; tools/tsan.supp lists the reports that
# come only from there. Any other report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
. tools/sanitized-tree.sh
configure_sanitized_tree build-tsan "-O1 -fsanitize=thread" "-fsanitize=thread"
cmake --build build-tsan -j"$(nproc)" --target q9_tests q9_ui_tests
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp"
QT_QPA_PLATFORM=offscreen ./build-tsan/tests/q9_tests --gtest_brief=1
# The command-line tests start the program as a child process, and the end-to-end audio test a
# sound server and the capture companion: the tool cannot follow a fork of a threaded process.
QT_QPA_PLATFORM=offscreen ./build-tsan/tests/q9_ui_tests --gtest_brief=1 \
  --gtest_filter=-Program.*:AudioCapture.ATonePlayedOnTheDesktopLightsTheKeyboard
echo "thread-sanitized device and window tests: clean"
