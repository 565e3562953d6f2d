#!/usr/bin/env bash
# Installs the Debian packages Skelvin builds and tests with, when they are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev
  libavfilter-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libavdevice-dev
  libudev-dev
  libopencv-imgproc-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  groff-base   # the test that renders the manual pages
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
