#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Arbor need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
packages=(
  build-essential cmake ninja-build ccache pkg-config clang
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libxkbcommon-dev
  libsqlite3-dev libpq-dev postgresql libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth epubcheck poppler-utils libxml2-utils
  fonts-noto-cjk fonts-ipafont desktop-file-utils shared-mime-info
  libreoffice-writer-nogui xdg-utils sqlite3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
