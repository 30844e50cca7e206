#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when they are missing.
set -euo pipefail

# Qt Charts' CMake files need Qt's OpenGL ones, which its Debian package does not pull in.
# git runs the diff and merge of tag setting files (--git-setup), and its test; groff checks the
# manual page in the install test.
# `setup.sh checked` adds clang with its sanitizer and libFuzzer runtimes and the symbolizer,
# for the checked build (scripts/checked-build.sh).
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialbus-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev
          libgl-dev libvulkan-dev libxkbcommon-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-ipafont-gothic librsvg2-bin desktop-file-utils appstream shared-mime-info dpkg-dev git
          groff-base)
if [ "${1:-}" = "checked" ]; then
    packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
