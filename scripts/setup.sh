#!/usr/bin/env bash
# Installs what building and testing Quorvane needs on Debian 12 (bookworm).
# Packages already present are left alone; nothing is installed twice.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev
          clang libclang-rt-14-dev clang-format python3 poppler-utils
          libproj-dev proj-data libgeographiclib-dev libgdal-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Installing them needs root: run this script as root, or install sudo, or ask" >&2
  echo "an administrator to run: apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
