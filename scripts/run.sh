#!/usr/bin/env bash
# Sets up, builds, and checks the bundled sample DMA files with quorvane-tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
for f in samples/*.csv samples/*.pdb; do
  echo "== $f"
  build/bin/quorvane-tool check "$f"
done
