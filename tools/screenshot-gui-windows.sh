#!/bin/sh
# Draws the README's picture of the Windows front end: AshtintGui.exe of the Windows release under
# Wine's X11 driver on a virtual X display, on a generated client, with the options shown.
#
#   tools/screenshot-gui-windows.sh [RELEASE_FOLDER] [PICTURE] [LANGUAGE] [DPI]
#
# RELEASE_FOLDER: the unpacked release (default build/windows/release/AshtintCreator2, made by
# tools/make-windows-release.sh); PICTURE: default docs/main-window-windows.png; LANGUAGE: 1
# English (default), 0 Russian; DPI: the desktop's dots per inch (default 96; 144 is 150 %).
set -eu
cd "$(dirname "$0")/.."
release=${1:-build/windows/release/AshtintCreator2}
picture=${2:-docs/main-window-windows.png}
language=${3:-1}
dpi=${4:-96}
[ -f "$release/AshtintGui.exe" ] || { echo "screenshot-gui-windows: run tools/make-windows-release.sh first" >&2; exit 1; }

# Debian's wine64 keeps its programs out of PATH.
PATH="$PATH:/usr/lib/wine"
work=$(mktemp -d)
export PATH WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
/usr/bin/python3 tools/gen_client.py --profile small --out "$work/gen" >/dev/null
DISPLAY= wine64 wineboot -i >/dev/null 2>&1
# Qt scales the window by the desktop's DPI, as on a high-DPI Windows screen.
DISPLAY= wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
# Windows' own interface fonts are not in Wine; left alone, Wine may draw Latin letters with a TeX
# symbol font the machine happens to have. DejaVu Sans stands in for them, as Segoe UI would.
for family in "Segoe UI" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif"; do
  DISPLAY= wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$family" /d "DejaVu Sans" /f >/dev/null 2>&1
done
wineserver -w

# A program folder of its own with a settings file naming the client through Wine's Z: drive.
cp -r "$release" "$work/program"
exe="Z:$(printf '%s' "$work/gen/World_of_Tanks_EU/WorldOfTanks.exe" | tr / '\\')"
printf '{"system":{"settingsfile":{"version":"1.5"},"options":{"autocheckupdate":false}},"mods":{"wotpath":"%s","camo":{"enable":true}},"options":{"language":%s,"showoptions":true}}' \
  "$(printf '%s' "$exe" | base64 -w0)" "$language" >"$work/program/AshtintGui.json"

mkdir -p "$(dirname "$picture")"
ASHTINT_UPDATE_BASE_URL=http://127.0.0.1:1/ xvfb-run -a -s '-screen 0 1600x1200x24' sh -c '
  wine64 "$1/program/AshtintGui.exe" >/dev/null 2>&1 &
  window=$(xdotool search --sync --onlyvisible --name "^AshtintGui")
  sleep 4  # the engine check and the first paint
  import -window "$window" "$2"
  wineserver -k' sh "$work" "$picture"
echo "screenshot-gui-windows: $picture"
