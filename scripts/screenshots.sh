#!/usr/bin/env bash
# Renders the main window on the sample collection to PNG files under BUILD/screenshots/,
# on a private X server (xvfb-run), with settings in a throw-away folder.
# Usage: scripts/screenshots.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
kiv="$build/bin/kiv"
# The gallery uses an option of the test shell, built with the tests.
shell="$build/bin/kiv-testshell"
sample="$root/examples/sample.kiv"
out="$build/screenshots"

for program in "$kiv" "$shell"; do
  if [ ! -x "$program" ]; then
    echo "screenshots: $program not built" >&2
    exit 1
  fi
done
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() { # name, then settings lines for the config file
  local name=$1; shift
  local program=$kiv target=(--screenshot "$out/$name.png")
  if [ "$name" = gallery ]; then program=$shell target=(--screenshot-dir "$out"); fi
  mkdir -p "$work/$name/config/halvane" "$work/$name/data"
  printf '%s\n' "$@" > "$work/$name/config/halvane/Kiv.conf"
  XDG_CONFIG_HOME="$work/$name/config" XDG_DATA_HOME="$work/$name/data" \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$program" "$sample" "${target[@]}"
}

# The window as a first start shows it: details, search bar hidden.
shoot main "[Pref]" "ListStyle=1"
# Kept window size with the search bar's band shown and the list as large icons.
shoot icons "[Pref]" "KeepWndSize=1" "ListStyle=0" "[WndSize]" "MainSize=\"0,0,900,600\"" \
  "cxPane=200" "SearchBar=1"

# A folder selected in details style, the item dialog, the two context menus, the
# duplicates and link-check dialogs.
shoot gallery "[Pref]" "ListStyle=1"

echo "screenshots: written to $out"
ls -1 "$out"
