#!/usr/bin/env bash
# Builds the Debian package of Quorvane in build-package/ and prints its path.
# Install it with: sudo apt install ./build-package/quorvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BENCH=OFF
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/quorvane_*.deb
