#!/usr/bin/env bash
# The program as a user meets it on an X desktop: a real X server (Xvfb), a real
# window manager (openbox), a private session bus and private XDG folders. xdotool
# acts, the files and the window state are checked.
#   desktop_scenario.sh BIN_DIR SAMPLE_KIV
set -uo pipefail

bin=$1
sample_src=$2

for tool in Xvfb openbox xdotool xclip xprop dbus-run-session pdftotext; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/bootstrap.sh installs it)"
    exit 0
  fi
done

# Run the scenario inside its own session bus.
if [ -z "${KIV_SCENARIO_BUS:-}" ]; then
  exec env KIV_SCENARIO_BUS=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
failures=0
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# Waiting helpers shared with the other desktop test.
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait.sh"

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/halvane" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE=
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
export QT_QPA_PLATFORM=xcb
conf=$XDG_CONFIG_HOME/halvane/Kiv.conf

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
# -noreset: the server would otherwise reset when the probe below disconnects, and a
# window manager connecting during the reset finds no display.
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for xprop -root || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for_wm || { echo "FAIL: openbox did not start"; cat "$work/openbox.log"; exit 1; }

sample=$work/docs/sample.kiv
mkdir -p "$work/docs"
cp "$sample_src" "$sample"

# The window of the copy just started, found by its title; empty when that copy
# ended first (its exit status is then in kiv.log).
find_window() {
  local i w
  for ((i = 0; i < 600; i++)); do
    w=$(xdotool search --onlyvisible --pid "$kiv_pid" --name "$1" 2>/dev/null | head -n 1)
    if [ -n "$w" ]; then echo "$w"; return; fi
    if ! kill -0 "$kiv_pid" 2>/dev/null; then
      echo "kiv ended before its window showed" >>"$work/kiv.log"
      return
    fi
    sleep 0.1
  done
}

# Waits for a copy to end after its window was closed.
wait_exit() {
  local i
  for ((i = 0; i < 300; i++)); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  echo "kiv $1 did not end after its window was closed" >>"$work/kiv.log"
  kill "$1" 2>/dev/null
  return 1
}

# Frame extents (left right top bottom) the window manager gave a window.
frame_extents() {
  xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ','
}

# The outer rectangle "x,y,w,h" of a client window as the window manager framed it.
outer_rect() {
  local w=$1 l r t b x y cw ch
  read -r l r t b <<<"$(frame_extents "$w")"
  eval "$(xdotool getwindowgeometry --shell "$w")"
  x=$X; y=$Y; cw=$WIDTH; ch=$HEIGHT
  echo "$((x - l)),$((y - t)),$((cw + l + r)),$((ch + t + b))"
}

start_kiv() {
  "$bin/kiv" "$@" >>"$work/kiv.log" 2>&1 &
  kiv_pid=$!
  pids+=($kiv_pid)
}

# Closes a window the way a user does, through the window manager (Alt+F4), and
# waits until the window manager let go of it: X reuses window ids, and the next
# copy's window must not be taken for this one.
close_window() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  xdotool key alt+F4
  local id
  id=$(printf '0x%x' "$1")
  wait_for sh -c "! xprop -root _NET_CLIENT_LIST | grep -qw $id"
}

# --- an absolute path on the command line opens that file ---------------------------
cat >"$conf" <<EOF
[Pref]
KeepWndSize=1

[WndSize]
Maximize=0
MainSize="100,80,1000,700"
EOF
start_kiv "$sample"
win=$(find_window "^sample.kiv - Kiv$")
if [ -n "$win" ]; then ok "kiv $sample opened its file ($(xdotool getwindowname "$win"))"; else
  fail "no window titled 'sample.kiv - Kiv'"; tail "$work/kiv.log"; exit 1
fi

# --- a click on empty space keeps the folder selected: Insert still makes a folder ---
wait_for sh -c "[ -n \"\$(frame_extents $win 2>/dev/null)\" ]" 2>/dev/null
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool windowactivate --sync "$win" >/dev/null 2>&1
# Low in the tree pane, well below its few folders, above the status bar.
xdotool mousemove --window "$win" 40 $((HEIGHT - 60)) click 1
sleep 0.3
xdotool key Insert
sleep 0.3
xdotool key Return
sleep 0.3
xdotool key ctrl+s
if wait_for sh -c "'$bin/kivtool' dump '$sample' | grep -q Nuevo"; then
  ok "a click on empty tree space kept the selection; Insert made a folder"
else
  fail "Insert after a click on empty tree space made no folder"
fi

# --- Ctrl+C on bookmarks gives other programs their URLs -----------------------------
expected_urls=$("$bin/kivtool" dump "$sample" | python3 -c '
import json, sys
doc = json.load(sys.stdin)
print("\n".join(doc["bookmarks"][i]["url"] for i in doc["root"]["bookmarks"]))' 2>/dev/null)
xdotool windowactivate --sync "$win" >/dev/null 2>&1
# Back to the root folder in the tree, then into the list.
xdotool key Home
sleep 0.2
xdotool key Tab
sleep 0.2
xdotool key ctrl+a
sleep 0.2
xdotool key ctrl+c
sleep 0.3
text=$(xclip -selection clipboard -o -t text/plain 2>/dev/null)
uris=$(xclip -selection clipboard -o -t text/uri-list 2>/dev/null | tr -d '\r')
targets=$(xclip -selection clipboard -o -t TARGETS 2>/dev/null)
if [ -n "$expected_urls" ] && [ "$text" = "$expected_urls" ]; then ok "text/plain holds the URLs"; else
  fail "text/plain: got '$text', wanted '$expected_urls'"; fi
if [ "$uris" = "$expected_urls" ]; then ok "text/uri-list holds the URLs"; else
  fail "text/uri-list: got '$uris', wanted '$expected_urls'"; fi
if grep -qx Vedirodo <<<"$targets"; then ok "the private format is still offered"; else
  fail "no Vedirodo target: $targets"; fi

close_window "$win"
wait_exit "$kiv_pid"

# --- "keep window size": ten starts, one geometry ------------------------------------
sed -i 's/^MainSize=.*/MainSize="100,80,1000,700"/' "$conf"
sizes=()
for run in 1 2 3 4 5 6 7 8 9 10; do
  start_kiv "$sample"
  win=$(find_window "^sample.kiv - Kiv$")
  if [ -z "$win" ]; then
    wait "$kiv_pid"
    fail "run $run: no window (kiv ended with status $?)"
    tail -n 5 "$work/kiv.log"
    break
  fi
  # Framed, and fitted to the stored outer rectangle.
  wait_for sh -c "[ -n \"\$(xprop -id $win _NET_FRAME_EXTENTS 2>/dev/null | grep '=')\" ]"
  for ((i = 0; i < 50; i++)); do
    [ "$(outer_rect "$win")" = "100,80,1000,700" ] && break
    sleep 0.1
  done
  close_window "$win"
  wait_exit "$kiv_pid"
  sizes+=("$(sed -n 's/^MainSize=//p' "$conf" | tr -d '"')")
done
distinct=$(printf '%s\n' "${sizes[@]}" | sort -u)
if [ "${#sizes[@]}" -eq 10 ] && [ "$distinct" = "100,80,1000,700" ]; then ok "ten starts kept 100,80,1000,700"; else
  fail "geometry drifted over ten starts: ${sizes[*]}"; fi

# --- printing: each of two copies prints its own collection --------------------------
pdf=$work/printed.pdf
cat >"$work/print-to-pdf" <<EOF
#!/bin/sh
"$bin/kiv-print" --pdf "$pdf.part" "\$@" && mv "$pdf.part" "$pdf"
EOF
chmod +x "$work/print-to-pdf"
mkdir -p "$XDG_DATA_HOME/applications"
cat >"$XDG_DATA_HOME/applications/print-to-pdf.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Print to PDF
Exec=$work/print-to-pdf %f
MimeType=application/x-kiv-print;
NoDisplay=true
EOF
printf '[Default Applications]\napplication/x-kiv-print=print-to-pdf.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
update-desktop-database "$XDG_DATA_HOME/applications" 2>/dev/null

"$bin/kivtool" new "$work/docs/first.kiv" >/dev/null
"$bin/kivtool" add "$work/docs/first.kiv" http://first.example first-copy-only >/dev/null
start_kiv "$work/docs/first.kiv"
first_pid=$kiv_pid
first=$(find_window "^first.kiv - Kiv$")
# The first copy owns the running document's name before the second starts.
wait_for dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
  org.freedesktop.DBus.GetNameOwner string:org.halvane.Kiv.Document
start_kiv "$sample"
second_pid=$kiv_pid
second=$(find_window "^sample.kiv - Kiv$")
if [ -z "$first" ] || [ -z "$second" ]; then fail "two copies did not both start"; else
  # Archivo > Imprimir con Microsoft Word, from the keyboard, in the second copy.
  xdotool windowactivate --sync "$second" >/dev/null 2>&1
  xdotool key alt+a
  sleep 0.3
  for i in 1 2 3 4 5 6 7; do xdotool key Down; done
  xdotool key Return
  if wait_for test -s "$pdf"; then
    printed=$(pdftotext "$pdf" - 2>/dev/null)
    if grep -q "Wikipedia" <<<"$printed" && ! grep -q first-copy-only <<<"$printed"; then
      ok "the second copy printed its own collection"
    else
      fail "the print holds the wrong collection: $printed"
    fi
  else
    fail "no PDF was printed"; tail "$work/kiv.log"
  fi
  close_window "$second"
  wait_exit "$second_pid"
  close_window "$first"
  wait_exit "$first_pid"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all desktop checks passed"
