#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
# The folder is configured every time, with the options given (CMake keeps
# whatever was set before and is not given again).
set -euo pipefail
if [ $# -lt 1 ] || [ "${1:0:1}" = - ]; then
  echo "usage: scripts/build.sh FOLDER [cmake options...]   e.g. scripts/build.sh build -DQUORVANE_WERROR=ON" >&2
  exit 64
fi
cd "$(dirname "$0")/.."
dir=$1; shift
generator=()
# A folder keeps the generator of its first configure; a new one gets Ninja when there is one.
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
if [ ! -f "$dir/CMakeCache.txt" ]; then set -- -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"; fi
cmake -S . -B "$dir" "${generator[@]}" "$@"
cmake --build "$dir" --parallel "$(nproc 2>/dev/null || echo 2)"
