#!/usr/bin/env bash
# Installs what building, running and testing Vemora needs on Debian.
# Installs nothing when every package is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev googletest libbenchmark-dev
  libzxing-dev zbar-tools libzbar-dev libqrencode-dev libqrcodegencpp-dev
  libxml2-utils librsvg2-bin libpng-dev
  qemu-user
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 wine xvfb xauth x11-apps x11-utils imagemagick
  fonts-wqy-microhei fonts-wine locales
  nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Wine renders the program's Chinese texts only under a Chinese locale; the
# window tests also run on a Japanese system (ANSI code page 932, Kanji mode).
for loc in zh_CN ja_JP; do
  if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$"; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo sed -i "s/^# *\($loc.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen
  fi
done
