#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev libjpeg62-turbo-dev libcups2-dev zlib1g-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  python3-dbfread libdbd-xbase-perl
  xvfb fonts-dejavu-extra
  libfreetype-dev fonts-liberation poppler-utils cups cups-client
  unrtf libreoffice-writer-nogui
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
