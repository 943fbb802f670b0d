#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and fuzzing Kiv
# needs. Idempotent and quiet: only what is missing is installed. Run as root
# (or through sudo when it is available).
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools libqt6dbus6 libqt6printsupport6 libqt6svg6 qt6-svg-dev
  qt6-qpa-plugins libgl-dev
  # reading browser profiles and the link-check cache: Qt's SQL module (in
  # qt6-base-dev) and its SQLite driver; link checks: Qt's network module
  libqt6network6 libqt6sql6 libqt6sql6-sqlite
  # ICU sort keys (the collation Qt's collator uses)
  libicu-dev
  # tests, benchmarks, fuzzing
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  # windows, clipboard, drag and drop, D-Bus in tests
  xvfb xauth x11-utils dbus dbus-x11 libglib2.0-bin systemd
  # a real window manager and input for the desktop scenario
  openbox xdotool xclip
  # the framework's own texts (buttons, file dialogs) in the user's language
  qt6-translations-l10n
  python3 python3-dbus
  # the print companion's checks and desktop integration
  poppler-utils shared-mime-info desktop-file-utils xdg-utils
  # installing and packaging: the metadata validator, the icon cache, the .deb's
  # library dependencies
  appstream gtk-update-icon-cache dpkg-dev file
  fonts-dejavu-core
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

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "bootstrap: missing packages (${missing[*]}) and not root" >&2
    exit 1
  fi
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
