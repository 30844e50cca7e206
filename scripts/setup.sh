#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when they are missing.
set -euo pipefail

# Qt Charts' CMake files need Qt's OpenGL ones, which its Debian package does not pull in.
# git runs the diff and merge of tag setting files (--git-setup), and its test; groff checks the
# manual page in the install test.
# nodejs runs the OPC UA bridge (engine/opcua/bridge) and npm installs its modules; npm comes with
# some builds of nodejs, and only when it is missing is Debian's package taken.
# `setup.sh checked` adds clang with its sanitizer and libFuzzer runtimes and the symbolizer,
# for the checked build (scripts/checked-build.sh).
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialbus-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev
          libgl-dev libvulkan-dev libxkbcommon-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-ipafont-gothic librsvg2-bin desktop-file-utils appstream shared-mime-info dpkg-dev git
          groff-base nodejs)
if [ "${1:-}" = "checked" ]; then
    packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ! command -v npm > /dev/null; then
    missing+=(npm)
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The OPC UA bridge's modules, at the versions of its package-lock.json; installed again only when
# the lock file changed since the last install.
bridge="$(dirname "$0")/../engine/opcua/bridge"
if ! cmp -s "$bridge/package-lock.json" "$bridge/node_modules/.installed-lock.json" 2>/dev/null; then
    (cd "$bridge" && npm ci --no-audit --no-fund --loglevel=error &&
        cp package-lock.json node_modules/.installed-lock.json)
fi
