#!/bin/sh
# Draws the README's picture of the front end (docs/main-window.png): AshtintGui on a virtual X
# display, in English with the options shown, on a generated client in a Wine prefix, with the
# engine of the build beside it. Usage: tools/screenshot-gui.sh [build folder] [picture]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
picture=${2:-docs/main-window.png}
[ -x "$build/src/gui/AshtintGui" ] || { echo "screenshot-gui: build first (sh tools/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 tools/fake_wine_prefix.py "$work/home" --profile small >/dev/null
exe="$work/home/.wine/drive_c/Games/World_of_Tanks_EU/WorldOfTanks.exe"

# A program folder of its own, so the settings file written there stays out of the build.
mkdir "$work/program"
cp "$build/src/gui/AshtintGui" "$work/program/"
ln -s "$(readlink -f "$build/src/engine/AshtintCreator2")" "$work/program/AshtintCreator2"
printf '{"system":{"settingsfile":{"version":"1.5"},"options":{"autocheckupdate":false}},"mods":{"wotpath":"%s","camo":{"enable":true}},"options":{"language":1,"showoptions":true}}' \
  "$(printf '%s' "$exe" | base64 -w0)" >"$work/program/AshtintGui.json"

mkdir -p "$(dirname "$picture")"
HOME="$work/home" ASHTINT_UPDATE_BASE_URL=http://127.0.0.1:1/ xvfb-run -a -s '-screen 0 1600x1000x24' sh -c '
  "$1/program/AshtintGui" & gui=$!
  window=$(xdotool search --sync --onlyvisible --name "^AshtintGui")
  sleep 2  # the start-up search and the first paint
  import -window "$window" "$2"
  kill $gui' sh "$work" "$picture"
echo "screenshot-gui: $picture"
