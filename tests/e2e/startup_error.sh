#!/usr/bin/env bash
# A start-up file that cannot be loaded shows the error before the window opens; the window then
# opens empty and untitled.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

printf 'not a board\r\n' >"$WORK/notes.txt"
start_ferrolume "$WORK/notes.txt"
box=$(wait_window '^Ferrolume$')
eval "$(xdotool getwindowgeometry --shell "$box")"
[ "$WIDTH" -lt 500 ] || fail "the main window opened before the error box"
[ "$(xdotool search --onlyvisible --name '^Ferrolume' | wc -l)" = 1 ] || fail "two windows at once"
xdotool windowfocus --sync "$box" 2>/dev/null || true
keys Return
for i in $(seq 50); do
  WID=$(xdotool search --onlyvisible --name '^Ferrolume$' 2>/dev/null | head -n 1) || true
  if [ -n "$WID" ]; then
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    [ "$WIDTH" -ge 500 ] && break
  fi
  sleep 0.1
done
[ "$WIDTH" -ge 500 ] || fail "the main window did not open after the error"
[ "$(xdotool getwindowname "$WID")" = "Ferrolume" ] || fail "title is not Ferrolume"
# Registered on the way, in this test's own home.
grep -q '^Exec=".*ferrolume" %f$' "$XDG_DATA_HOME/applications/ferrolume.desktop" ||
  fail "no desktop entry"
echo "error box first, then the empty window"
