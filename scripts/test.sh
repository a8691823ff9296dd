#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: scripts/test.sh [PRESET]
# PRESET is ci (warnings are errors; the default), sanitize (AddressSanitizer and
# UndefinedBehaviorSanitizer), dev or cgfloat-double.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-ci}"
bash scripts/setup.sh
bash scripts/build.sh "$preset"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --preset "$preset" --no-tests=error
