#!/usr/bin/env bash
# Removes what scripts/install-user.sh installed: the program (and a ".old" copy an update left),
# the files under PREFIX/share, and the menu entry with its icons. info.ini, with the remembered
# user name and password, stays unless --purge is given.
#
#   scripts/uninstall-user.sh [--purge] [PREFIX]
set -euo pipefail
purge=0
if [ "${1:-}" = --purge ]; then
    purge=1
    shift
fi
prefix=${1:-$HOME/.local/opt/sarn-terminal}
data=${XDG_DATA_HOME:-$HOME/.local/share}

# Only names this program installs are removed; nothing is removed by pattern outside them.
files=(
    "$prefix/sarn-terminal"
    "$prefix/sarn-terminal.old"
    "$prefix/share/applications/sarn-terminal.desktop"
    "$prefix/share/icons/hicolor/scalable/apps/sarn-terminal.svg"
    "$prefix/share/icons/hicolor/256x256/apps/sarn-terminal.png"
    "$prefix/share/icons/hicolor/48x48/apps/sarn-terminal.png"
    "$data/applications/sarn-terminal.desktop"
    "$data/icons/hicolor/scalable/apps/sarn-terminal.svg"
    "$data/icons/hicolor/256x256/apps/sarn-terminal.png"
    "$data/icons/hicolor/48x48/apps/sarn-terminal.png"
)
[ $purge -eq 1 ] && files+=("$prefix/info.ini")
for file in "${files[@]}"; do
    rm -f -- "$file"
done

# Empty folders of the prefix go; the prefix itself goes only when nothing is left in it.
for dir in share/icons/hicolor/scalable/apps share/icons/hicolor/scalable \
    share/icons/hicolor/256x256/apps share/icons/hicolor/256x256 \
    share/icons/hicolor/48x48/apps share/icons/hicolor/48x48 share/icons/hicolor share/icons \
    share/applications share ""; do
    rmdir -- "$prefix/$dir" 2>/dev/null || true
done

if command -v update-desktop-database >/dev/null && [ -d "$data/applications" ]; then
    update-desktop-database -q "$data/applications" || true
fi
if [ -d "$prefix" ]; then
    echo "Removed the program; kept $prefix (it still holds: $(ls -A "$prefix" | tr '\n' ' '))"
else
    echo "Removed $prefix and the menu entry"
fi
