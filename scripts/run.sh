#!/usr/bin/env bash
# Sets up, builds, and starts Quorvane on the bundled sample DMA files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
samples=(samples/north.csv samples/south.csv samples/east.pdb samples/central.csv)
if [ "$(uname)" = Linux ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show the program on; checking the sample files instead."
  for f in "${samples[@]}"; do echo "== $f"; build/bin/quorvane-tool check "$f"; done
  exit 0
fi
# The stand-in transfer program beside it runs only with a simulated
# handheld named; this trial keeps one in the build folder.
export KORVALINDTALK_HANDHELD=${KORVALINDTALK_HANDHELD:-$PWD/build/korvalind-handheld}
exec build/bin/quorvane "${samples[@]}"
