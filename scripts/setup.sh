#!/usr/bin/env bash
# Installs the Debian packages that building and testing TAVIRO need. Safe to run again:
# packages already present are skipped, and apt is only touched when something is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    juce-modules-source
    libasound2-dev libcurl4-openssl-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxcomposite-dev libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev
    libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
    libgtest-dev libbenchmark-dev libebur128-dev
    xvfb xauth sox fonts-dejavu-core
    alsa-utils asterisk-core-sounds-en-wav
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#packages[@]} packages are installed"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
