#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what brelo needs to build and test on Debian 12. Runs apt-get only when
# something is missing. Usage: scripts/install-deps.sh [--test]
set -euo pipefail
packages=(cmake g++ make pkg-config libjpeg62-turbo-dev libpng-dev zlib1g-dev libexpat1-dev libgdal-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libbenchmark-dev libturbojpeg0-dev qt6-base-dev fonts-dejavu-core help2man dpkg-dev file)
if [[ "${1:-}" == "--test" ]]; then
  # Fuzzers, and the peer tools that the interoperability tests run.
  packages+=(clang-format locales desktop-file-utils appstream clang libclang-rt-14-dev libjpeg-turbo-progs imagemagick gpsbabel libxml2-utils tar python3 python3-gdal gdal-bin qmapshack xvfb xauth xdotool)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [[ "${1:-}" == "--test" ]] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  # A decimal-comma locale for the tests of the files written under one.
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
