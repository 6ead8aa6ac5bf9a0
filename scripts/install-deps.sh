#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs: build tools, libraries, and what the tests
# and resource scripts use (Xvfb and X tools, Chinese fonts, ImageMagick, sox, libfaketime).
# Idempotent; says nothing when all are there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config clang-format
    # libraries
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev
    libcurl4-openssl-dev libpugixml-dev libcpp-httplib-dev libpulse-dev libsqlite3-dev
    libssl-dev libjpeg-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils libgl1-mesa-dri fonts-wqy-zenhei curl faketime
    # resource scripts
    imagemagick sox python3
)

installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
            awk '$NF == "installed" { print $1 }' | sed 's/:.*//' || true)
missing=()
for package in "${packages[@]}"; do
    grep -qx "$package" <<<"$installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
