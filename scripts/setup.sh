#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build, test and run Quorvane.
# Idempotent: when every package is already installed it returns at once.
set -euo pipefail

packages=(
  g++ cmake pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6 qt6-svg-dev
  librtmidi-dev libjack-dev libasound2-dev libfluidsynth-dev fluidsynth fluid-soundfont-gm timgm6mb-soundfont
  fonts-oflb-euterpe fonts-freefont-ttf fonts-dejavu-core fontconfig
  libxcb1-dev xvfb xdotool xauth x11-utils x11-xkb-utils xfonts-base twm jackd1 pulseaudio pulseaudio-utils weston xwayland qt6-wayland
  poppler-utils appstream desktop-file-utils midicsv libxml2-utils
)

installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "installed" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qx "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
# As root the commands run as they are; otherwise through sudo, keeping the environment.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then as_root=(sudo -E); else
    echo "setup: run as root (or install sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
