#!/usr/bin/env bash
# Sets up, builds, prepares the device and runs the keyboard demo: it saves a
# colour and a picture into the device (the default device root unless --root
# or TESSARY8_ROOT says otherwise), shows keyboards in a platform process into
# which the plug-in is injected, and writes them as PNG pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh dev

bin="$PWD/build/dev/bin"
out="$PWD/build/demo"
mkdir -p "$out"
root_args=()
if [ "${1:-}" = "--root" ] && [ -n "${2:-}" ]; then root_args=(--root "$2"); fi

"$bin/tessary8-device" "${root_args[@]}" init
"$bin/tessary8-device" "${root_args[@]}" set --color 0.2,0.45,0.9,1 --image "$PWD/build/dev/pictures/demo-backdrop.png"

show() {  # name, switches..., then keyboard options after --
  local name="$1"; shift
  local switches=()
  while [ "$1" != "--" ]; do switches+=("$1"); shift; done
  shift
  "$bin/tessary8-device" "${root_args[@]}" set "${switches[@]}"
  "$bin/tessary8-keyboard" "${root_args[@]}" "$@" --out "$out/$name.png" >"$out/$name.json" 2>/dev/null
  echo "  $out/$name.png"
}

echo "Keyboards shown with the plug-in injected:"
show keyboard-colour --color-switch on --image-switch off --
show keyboard-picture --color-switch off --image-switch on --
show keyboard-colour-and-picture --color-switch on --image-switch on --
show keyboard-landscape --color-switch on --image-switch on -- --orientation landscape
echo "Each picture has its report (view tree as JSON) beside it, with the same name ending in .json."
"$bin/tessary8-device" "${root_args[@]}" status
