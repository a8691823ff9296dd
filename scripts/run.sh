#!/usr/bin/env bash
# Sets up, builds, prepares the device and runs the application: in a window where
# there is a display; otherwise a headless demo that picks a colour, saves it and
# turns it on, chooses a photo, frames it, saves it and turns it on, and writes
# pictures of both tabs, the alert, the photo picker and the keyboards that result.
# The device is the default device root unless --root DIR or TESSARY8_ROOT says
# otherwise.
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
# An empty photo library gets one photo, so the picker has something to offer.
if "$bin/tessary8-device" "${root_args[@]}" photos | grep -q 'no photos$'; then
  "$bin/tessary8-device" "${root_args[@]}" photos add "$PWD/build/dev/pictures/demo-backdrop.png" >/dev/null
fi
photo=$("$bin/tessary8-device" "${root_args[@]}" photos | sed -n '2s|^[^/]*/\([^ ]*\) .*|\1|p')

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${TESSARY8_HEADLESS:-0}" != 1 ]; then
  echo "Opening the application in a window: the mouse is a finger, Ctrl+S writes a screenshot,"
  echo "Ctrl+Left/Right turns the phone. Right of the phone the live preview shows the keyboard"
  echo "a newly opened application would show; F2 hides or shows it. Close the window to end."
  exec "$bin/tessary8-app" "${root_args[@]}"
fi

echo "No display: a headless run of the application, then the keyboards it leads to."
"$bin/tessary8-app" "${root_args[@]}" --headless --script - >"$out/app-answers.txt" <<SCRIPT
shot $out/app-colour-tab.png
# the fifth swatch: blue
tap 235,390
button Save
wait 0.4
shot $out/app-save-alert.png
button OK
wait 0.4
button TurnOn
shot $out/app-turned-on.png
preview $out/app-preview-colour.png
tab Use Image
shot $out/app-image-tab.png
button ChoosePicture
wait 0.5
shot $out/app-photo-picker.png
choose $photo
wait 0.5
pinch 160,265 100 130
rotate 160,265 15
shot $out/app-image-framed.png
button Save
wait 0.4
button OK
wait 0.4
button TurnOn
preview $out/app-preview-colour-and-picture.png
SCRIPT
echo "The application:"
for picture in app-colour-tab app-save-alert app-turned-on app-preview-colour app-image-tab app-photo-picker app-image-framed \
  app-preview-colour-and-picture; do
  echo "  $out/$picture.png"
done

show() {  # name, switches..., then keyboard options after --
  local name="$1"; shift
  local switches=()
  while [ "$1" != "--" ]; do switches+=("$1"); shift; done
  shift
  if [ ${#switches[@]} -gt 0 ]; then "$bin/tessary8-device" "${root_args[@]}" set "${switches[@]}"; fi
  "$bin/tessary8-keyboard" "${root_args[@]}" "$@" --out "$out/$name.png" >"$out/$name.json" 2>/dev/null
  echo "  $out/$name.png"
}

echo "Keyboards shown with the plug-in injected:"
show keyboard-from-the-app --
show keyboard-picture --color-switch off --image-switch on --
show keyboard-colour-and-picture --color-switch on --image-switch on --
show keyboard-landscape --color-switch on --image-switch on -- --orientation landscape
echo "Each keyboard picture has its report (view tree as JSON) beside it, with the same name ending in .json."
"$bin/tessary8-device" "${root_args[@]}" status
