#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, if missing.
set -euo pipefail

# xvfb, openbox, xdotool and x11-utils give the window test (tests/gui) a
# desktop of its own.
packages=(cmake ninja-build g++ make pkg-config qt6-base-dev libgtest-dev libgmock-dev
          fonts-dejavu-core binutils util-linux libzydis-dev libssl-dev zlib1g-dev
          xvfb openbox xdotool x11-utils)
# --ffmpeg adds ffmpeg: the AVI tests then also check files it writes (skipped without it).
[ "${1:-}" = "--ffmpeg" ] && packages+=(ffmpeg)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
