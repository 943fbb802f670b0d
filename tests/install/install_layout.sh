#!/usr/bin/env bash
# Usage: install_layout.sh BUILD_DIR
# Installs BUILD_DIR into a temporary DESTDIR with the prefix /usr and checks what
# lands where, the Exec lines, the validators, the file type and its handler. Then
# installs into a temporary prefix and runs the installed kiv there on an X server,
# with that prefix in XDG_DATA_DIRS: it must leave the user's folders alone, the bus
# must see its service file, its help key must open the installed help page and its
# print command must start the installed kiv-print on the collection it has open.
set -euo pipefail

build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
pids=()
kiv_pid=
stop_all() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
cleanup() {
  stop_all
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Waiting helpers shared with the other desktop test.
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait.sh"

# The second half runs inside a private session bus.
if [ "${2:-}" = --on-bus ]; then
  tmp=$3
  prefix=$tmp/prefix
  trap stop_all EXIT
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"

  # A real X server and window manager, so the keys reach the window.
  # The server picks a free display itself, so tests running beside this one keep theirs.
  # -noreset: without it the server resets when the probe below disconnects, and a
  # window manager connecting meanwhile finds no display.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for test -s "$tmp/display" || fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
  export DISPLAY=:$(cat "$tmp/display") QT_QPA_PLATFORM=xcb
  wait_for xprop -root || fail "no X server on $DISPLAY"
  # As a desktop session does at login: programs the bus starts use this display.
  dbus-update-activation-environment DISPLAY QT_QPA_PLATFORM
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  pids+=($!)
  wait_for_wm || fail "openbox did not start: $(cat "$tmp/openbox.log")"
  # Outside a known desktop, the help page goes to xdg-open: this one notes what it got.
  mkdir -p "$tmp/tools"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$tmp" >"$tmp/tools/xdg-open"
  chmod +x "$tmp/tools/xdg-open"
  export PATH=$tmp/tools:$PATH

  doc=$tmp/instalado.kiv
  "$prefix/bin/kivtool" new "$doc" >/dev/null
  "$prefix/bin/kivtool" add "$doc" https://install.example/ "Instalado sin fallos" >/dev/null

  # Opened like a file manager opens it: through the type's handler, kiv.desktop.
  for type in application/x-kiv application/x-kiv-print; do
    handler=$(gio mime "$type")
    [[ $handler == *"Default application for “$type”: ${type#application/x-}.desktop"* ]] \
      || fail "handler of $type: $handler"
  done
  gio open "$doc" || fail "gio open"
  gdbus wait --session --timeout 120 org.halvane.Kiv.Document \
    || fail "the installed kiv did not open $doc"
  kiv_pid=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.GetConnectionUnixProcessID org.halvane.Kiv.Document \
    | sed 's/.* \([0-9]*\),)/\1/')
  pids+=($kiv_pid)
  [ "$(readlink "/proc/$kiv_pid/exe")" = "$prefix/bin/kiv" ] || fail "kiv is not the installed one"
  [ "$(tr '\0' ' ' <"/proc/$kiv_pid/cmdline")" = "$prefix/bin/kiv $doc " ] \
    || fail "kiv started as: $(tr '\0' ' ' <"/proc/$kiv_pid/cmdline")"
  "$prefix/bin/kiv-print" --pdf "$tmp/print.pdf" || fail "kiv-print"
  pdftotext "$tmp/print.pdf" - | grep -q "Instalado sin fallos" \
    || fail "the printout lacks the bookmark"

  activatable=$(gdbus call --session --dest org.freedesktop.DBus \
    --object-path /org/freedesktop/DBus --method org.freedesktop.DBus.ListActivatableNames)
  [[ $activatable == *"'org.halvane.Kiv.Application'"* ]] \
    || fail "the bus does not see the installed service: $activatable"
  # An automation client's call starts a copy through that service file.
  created=$(gdbus call --session --timeout 120 --dest org.halvane.Kiv.Application \
    --object-path /Application --method org.halvane.Kiv.Application.CreateDocument) \
    || fail "the bus did not start the installed program for an automation client"
  [[ $created == "(objectpath '/"* ]] || fail "CreateDocument answered $created"

  # The help key opens the installed help page.
  win=
  wait_for sh -c "xdotool search --onlyvisible --pid $kiv_pid --name '^instalado.kiv - Kiv\$'" \
    && win=$(xdotool search --onlyvisible --pid "$kiv_pid" --name '^instalado.kiv - Kiv$' | head -n 1)
  [ -n "$win" ] || fail "no window of the installed kiv"
  # The desktop matches the window to kiv.desktop by its class, and shows its icon.
  [ "$(xprop -id "$win" WM_CLASS)" = 'WM_CLASS(STRING) = "kiv", "Kiv"' ] \
    || fail "window class: $(xprop -id "$win" WM_CLASS)"
  # The icon may follow the window's mapping by a moment.
  wait_for sh -c "xprop -id $win _NET_WM_ICON | grep -q '^_NET_WM_ICON(CARDINAL) = '" \
    || fail "the window has no icon"
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool key F1
  wait_for test -s "$tmp/opened" || fail "F1 opened nothing"
  grep -q "^\(file://\)\?$prefix/share/kiv/help/kiv_index.html$" "$tmp/opened" \
    || fail "F1 opened: $(cat "$tmp/opened")"

  # Archivo > Imprimir con Microsoft Word: the installed print document is opened
  # with its installed handler, which reads the collection and asks for a printer.
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  xdotool key alt+a
  # The menu is open once kiv shows a second window.
  wait_for sh -c "[ \$(xdotool search --onlyvisible --pid $kiv_pid | wc -l) -gt 1 ]" \
    || fail "the Archivo menu did not open"
  for _ in 1 2 3 4 5 6 7; do xdotool key Down; done
  xdotool key Return
  dialog=
  wait_for sh -c "xdotool search --onlyvisible --name '^Print Kiv bookmarks\$'" \
    && dialog=$(xdotool search --onlyvisible --name '^Print Kiv bookmarks$' | head -n 1)
  [ -n "$dialog" ] || fail "the print command showed no print dialog"
  print_pid=$(xdotool getwindowpid "$dialog")
  pids+=($print_pid)
  [ "$(readlink "/proc/$print_pid/exe")" = "$prefix/bin/kiv-print" ] \
    || fail "the print dialog is not the installed kiv-print's"
  [ "$(tr '\0' ' ' <"/proc/$print_pid/cmdline")" \
      = "$prefix/bin/kiv-print $prefix/share/kiv/Zezivezu.viv " ] \
    || fail "kiv-print started as: $(tr '\0' ' ' <"/proc/$print_pid/cmdline")"
  xdotool windowactivate --sync "$dialog" >/dev/null 2>&1
  xdotool key Escape
  wait_for sh -c "! kill -0 $print_pid" || fail "kiv-print did not end on Escape"

  kill "$kiv_pid"
  wait_for sh -c "! kill -0 $kiv_pid" || true
  # Installed for everyone: nothing of the registration lands in the user's folders.
  left=$(cd "$XDG_DATA_HOME" && find . -name 'kiv*.desktop' -o -name 'kiv*.xml' \
           -o -name 'org.halvane.Kiv.Application.service')
  [ -z "$left" ] || fail "user-level copies beside the installation: $left"
  exit 0
fi

dest=$tmp/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$tmp/install.log" \
  || { cat "$tmp/install.log" >&2; fail "cmake --install"; }
usr=$dest/usr
share=$usr/share

# The three programs in bin/, and nothing else outside share/.
[ "$(ls "$usr/bin" | tr '\n' ' ')" = "kiv kiv-print kivtool " ] \
  || fail "bin/ holds: $(ls "$usr/bin" | tr '\n' ' ')"
for p in kiv kiv-print kivtool; do [ -x "$usr/bin/$p" ] || fail "$p is not executable"; done
stray=$(cd "$dest" && find . ! -type d ! -path './usr/bin/*' ! -path './usr/share/*')
[ -z "$stray" ] || fail "files outside bin/ and share/: $stray"

for f in kiv/help/kiv_index.html kiv/Zezivezu.viv \
         applications/kiv.desktop applications/kiv-print.desktop \
         mime/packages/kiv.xml mime/packages/kiv-print-document.xml \
         dbus-1/services/org.halvane.Kiv.Application.service \
         metainfo/org.halvane.Kiv.metainfo.xml \
         icons/hicolor/scalable/apps/kiv.svg \
         icons/hicolor/scalable/mimetypes/application-x-kiv.svg; do
  [ -s "$share/$f" ] || fail "missing share/$f"
done
for size in 16 22 24 32 48 64 128 256; do
  for icon in apps/kiv mimetypes/application-x-kiv; do
    png=$share/icons/hicolor/${size}x${size}/$icon.png
    [ -s "$png" ] || fail "missing $png"
    # Width and height, big-endian, from the PNG header.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
  done
done

# The installed files name the installed programs.
grep -qx 'Exec=/usr/bin/kiv %f' "$share/applications/kiv.desktop" || fail "kiv.desktop Exec"
grep -qx 'Icon=kiv' "$share/applications/kiv.desktop" || fail "kiv.desktop Icon"
grep -qx 'Exec=/usr/bin/kiv-print %f' "$share/applications/kiv-print.desktop" \
  || fail "kiv-print.desktop Exec"
grep -qx 'Exec=/usr/bin/kiv -Automation' \
  "$share/dbus-1/services/org.halvane.Kiv.Application.service" || fail "service Exec"
grep -q '<release version="1.4.0"' "$share/metainfo/org.halvane.Kiv.metainfo.xml" \
  || fail "metainfo release"

for entry in "$share"/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
done
appstreamcli validate --no-net "$share/metainfo/org.halvane.Kiv.metainfo.xml" >"$tmp/as.log" \
  || { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
# The whole tree: the entry's desktop file and icon are where it says.
appstreamcli validate-tree --no-net "$usr" >"$tmp/as.log" \
  || { cat "$tmp/as.log" >&2; fail "appstreamcli validate-tree"; }

# The desktop knows .kiv files and the print document by the installed types.
update-mime-database "$share/mime" >/dev/null 2>&1 || fail update-mime-database
mkdir -p "$tmp/home"
"$usr/bin/kivtool" new "$tmp/probe.kiv" >/dev/null
type_of() {
  XDG_DATA_DIRS=$share XDG_DATA_HOME=$tmp/home \
    gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'
}
[ "$(type_of "$tmp/probe.kiv")" = application/x-kiv ] || fail ".kiv type: $(type_of "$tmp/probe.kiv")"
viv=$share/kiv/Zezivezu.viv
[ "$(type_of "$viv")" = application/x-kiv-print ] || fail "print document type: $(type_of "$viv")"

# A second installation, run where it was installed.
cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install2.log" \
  || { cat "$tmp/install2.log" >&2; fail "cmake --install --prefix"; }
# The bus reads its service folders from XDG_DATA_DIRS when it starts.
export XDG_DATA_DIRS=$tmp/prefix/share:/usr/share XDG_DATA_HOME=$tmp/home \
       XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- bash "$0" "$build" --on-bus "$tmp"
echo "install layout: ok"
