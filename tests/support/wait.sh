# Waiting helpers shared by the test scripts that drive a real X desktop; sourced.

# Waits until a command succeeds; the bound only ends a broken run.
wait_for() {
  local i
  for ((i = 0; i < 300; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

# Waits until a window manager has announced itself on $DISPLAY.
wait_for_wm() {
  wait_for sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}
