#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30):
# scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
TESSARY8_FUZZ_TOOLS=1 bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARY8_FUZZ=ON -DTESSARY8_TESTS=OFF -DTESSARY8_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)"
targets=$(find build/fuzz/bin -maxdepth 1 -name 'fuzz_*' -type f -executable | sort)
if [ -z "$targets" ]; then
  echo "fuzz: no fuzz targets were built" >&2
  exit 1
fi
# Photos made by the libraries' own encoders start the image decoders' corpora;
# checked-in seeds in fuzz/seeds/NAME join them.
build/fuzz/bin/tessary8-photo-seeds build/fuzz/seeds
for checkedIn in fuzz/seeds/*/; do
  [ -d "$checkedIn" ] || continue
  mkdir -p "build/fuzz/seeds/$(basename "$checkedIn")"
  cp "$checkedIn"* "build/fuzz/seeds/$(basename "$checkedIn")/"
done
fuzzTarget() {
  local target="$1" name corpus
  name="$(basename "$target")"
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  local seeds=()
  if [ -d "build/fuzz/seeds/$name" ]; then seeds=("build/fuzz/seeds/$name"); fi
  # A target's dictionary, fuzz/NAME.dict, steers mutation towards its format's markers.
  local options=()
  if [ -f "fuzz/$name.dict" ]; then options=("-dict=fuzz/$name.dict"); fi
  "$target" -max_total_time="$seconds" -print_final_stats=0 "${options[@]}" "$corpus" "${seeds[@]}" >"build/fuzz/logs/$name.log" 2>&1
}
# One target per core at a time; each one's log ends up printed, a failure fails the run.
mkdir -p build/fuzz/logs
failed=0
running=()
for target in $targets; do
  echo "fuzz: $(basename "$target") for ${seconds}s"
  fuzzTarget "$target" &
  running+=("$!")
  if [ "${#running[@]}" -ge "$(nproc)" ]; then
    wait "${running[0]}" || failed=1
    running=("${running[@]:1}")
  fi
done
for pid in "${running[@]}"; do
  wait "$pid" || failed=1
done
for target in $targets; do
  name="$(basename "$target")"
  echo "fuzz: $name"
  tail -n 2 "build/fuzz/logs/$name.log"
done
if [ "$failed" -ne 0 ]; then
  echo "fuzz: a target failed; its log in build/fuzz/logs says how" >&2
  exit 1
fi
