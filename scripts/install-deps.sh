#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs. Idempotent; says nothing when all are there.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev
    libcurl4-openssl-dev libpugixml-dev libcpp-httplib-dev libpulse-dev libsqlite3-dev
    libssl-dev libjpeg-dev libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils fonts-wqy-zenhei imagemagick sox curl faketime
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
