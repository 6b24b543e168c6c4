#!/usr/bin/env bash
# Builds Vemora.exe with the windows preset and packs it two ways, into
# build/windows/dist:
#   Vemora-<version>-portable.zip  unpack anywhere writable and run Vemora.exe
#   Vemora-<version>-setup.exe     per-user installer (no administrator rights)
#                                  into %LOCALAPPDATA%\Programs\Vemora; /S runs
#                                  it silently, /D=<folder> (last) elsewhere
# The version is the project's (CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target vemora_package

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
for package in "build/windows/dist/Vemora-$version-portable.zip" \
               "build/windows/dist/Vemora-$version-setup.exe"; do
  [ -f "$package" ] || { echo "package.sh: $package was not made" >&2; exit 1; }
  echo "$package ($(stat -c %s "$package") bytes)"
done
