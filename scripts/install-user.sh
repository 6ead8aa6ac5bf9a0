#!/usr/bin/env bash
# Builds the program and installs it for the current user: the executable in PREFIX (default
# ~/.local/opt/sarn-terminal, a directory the user owns, since the program keeps info.ini beside
# itself and replaces its own file when it updates), and a desktop entry with its icon in the
# user's applications menu. Installing again keeps info.ini.
#
#   scripts/install-user.sh [PREFIX]
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-$HOME/.local/opt/sarn-terminal}
build=${SARN_INSTALL_BUILD_DIR:-build-install}

case $prefix in
    /*) ;;
    *) prefix=$PWD/$prefix ;;
esac

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSARN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target sarn-terminal
cmake --install "$build" --prefix "$prefix"

data=${XDG_DATA_HOME:-$HOME/.local/share}
if command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$data/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [ -f "$data/icons/hicolor/index.theme" ]; then
    gtk-update-icon-cache -q -t "$data/icons/hicolor" || true
fi
echo "Installed $prefix/sarn-terminal; menu entry $data/applications/sarn-terminal.desktop"
