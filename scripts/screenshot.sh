#!/usr/bin/env bash
# Takes the pictures of the README and the guide, in a virtual X display: the
# main window with two list windows, the record editor with its graph, Cowl
# Setup and the noise histogram of a simulated logger, the print preview
# of a logger report, and the map of the central sample over its mains and
# DMA boundary; and the program's icon in the sizes the package installs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if ! command -v xvfb-run >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth
fi
scripts/build.sh build
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot docs/main-window.png samples/north.csv samples/south.csv
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot --histogram docs/cowl-histogram.png
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot --preview docs/print-preview.png samples/north.csv
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot --editor docs/record-editor.png samples/north.csv
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot --cowl-setup docs/cowl-setup.png
xvfb-run -a -s "-screen 0 1280x800x24" \
  build/bin/quorvane-screenshot --map docs/map.png samples/central.csv samples/central-network.gpkg
QT_QPA_PLATFORM=offscreen build/bin/quorvane-screenshot --icons packaging/icons
echo "docs/main-window.png docs/cowl-histogram.png docs/print-preview.png" \
  "docs/record-editor.png docs/cowl-setup.png docs/map.png packaging/icons"
