#!/usr/bin/env bash
# Installs the Debian packages Quarnix builds and tests with, when missing.
set -euo pipefail
# The last line: what scripts/package.sh and its checks use.
PACKAGES=(build-essential cmake ninja-build clang libclang-rt-14-dev libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev qt6-translations-l10n ruby fonts-noto-cjk xvfb xauth
          g++-mingw-w64-x86-64-posix googletest wine wine64 zlib1g-dev libz-mingw-w64-dev
          dpkg-dev fakeroot lintian zip unzip)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
