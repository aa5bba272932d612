#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libcairo2-dev libglib2.0-dev zlib1g-dev libcurl4-openssl-dev libtelnet-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool xclip imagemagick tesseract-ocr tesseract-ocr-eng
  socat lrzsz iproute2 util-linux python3 inetutils-telnetd
  dpkg-dev file desktop-file-utils appstream man-db groff-base
  libgdk-pixbuf2.0-bin librsvg2-common
  lintian appstream-util devscripts
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
