#!/usr/bin/env bash
# Installs the Debian packages the client, its tests and its tools need.
# Does nothing when everything is already there, so it is cheap to call before every build.
set -euo pipefail

packages=(
  g++ cmake pkg-config ninja-build ccache
  libwxgtk3.2-dev libssl-dev portaudio19-dev libvorbisidec-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core
  vorbis-tools sox clang libclang-rt-14-dev libx11-dev openssl
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
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
