#!/bin/sh
# The main job on the bundled demo client: builds the programs, generates the demo game client
# (a synthetic one; real clients cannot be shipped) and runs the engine on it.
set -eu
cd "$(dirname "$0")/.."
tools/build.sh

demo=build/demo
python3 tools/gen_client.py --profile demo --out "$demo" --force >/dev/null
client=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["client"]["folder"])' "$demo/manifest.json")
client="$demo/$client"

set +e
# All six mods; extra arguments go to the engine after these.
build/src/engine/AshtintCreator2 --wot-path="$client" --log --log-name="$demo/AshtintCreator2.log" \
  --rewrite-log --auto-close-console --no-update-configs \
  --DPT-mod=FFFFFF --inside-color=303030 --CCT-mod=404040 --MEM-mod=DD7744 --CTM-mod=2050A0 \
  --SpaceBin-mod="DD7744|2050A0" --CAMO-mod=30 "$@" </dev/null
status=$?
set -e

# POSIX keeps the low byte of an exit status; 129..220 stand for the engine's codes 16001..16092.
code=$status
if [ "$status" -ge 129 ] && [ "$status" -le 220 ]; then code=$((status + 15872)); fi
echo
echo "Engine exit code: $code (log: $demo/AshtintCreator2.log)"
echo "Packages written to $client/mods/:"
find "$client/mods" -name '*.wotmod' -printf '  %P  (%s bytes)\n' | sort
exit "$status"
