#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, and
# only those that are missing, so that a second run costs nothing.
set -euo pipefail

packages=(
    cmake ninja-build pkg-config g++ clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libicu-dev libfreetype-dev libfontconfig-dev libpng-dev libx11-dev libxfixes-dev
    libpixman-1-dev nlohmann-json3-dev
    fonts-ipafont-gothic fonts-liberation2 xvfb xauth
    libxext-dev libxtst-dev openbox x11-utils
    dpkg-dev file desktop-file-utils
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64 wine wine64
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
