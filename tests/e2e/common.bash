# Shared by the end-to-end scripts: a home of its own, the program started and always ended,
# and small helpers to look at the screen. Sourced, never run by itself.
set -euo pipefail

FERROLUME=${1:?path of ferrolume}
DATA=${FERROLUME_TEST_DATA:?FERROLUME_TEST_DATA is not set}

WORK=$(mktemp -d /tmp/ferrolume-e2e-XXXXXX)
export HOME=$WORK/home
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$WORK/runtime
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

PID= XVFB=
finish() {
  local p
  for p in "$PID" "$XVFB"; do
    if [ -n "$p" ] && kill -0 "$p" 2>/dev/null; then
      kill "$p" 2>/dev/null || true
      wait "$p" 2>/dev/null || true
    fi
  done
  rm -rf "$WORK"
}
trap finish EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Each script gets an X server of its own, so that tests running side by side do not type into
# each other's windows, and nothing lands on the desktop of whoever runs them. Without Xvfb the
# display that was given is used.
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
  XVFB=$!
  for i in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
  done
  [ -s "$WORK/display" ] || fail "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$WORK/display")
  unset XAUTHORITY
fi
: "${DISPLAY:?the end-to-end tests need an X display}"

# Starts the program with the given arguments; WID is its main window once it shows.
start_ferrolume() {
  "$FERROLUME" "$@" >"$WORK/ferrolume.log" 2>&1 &
  PID=$!
}

# The visible window whose name matches, waited for up to 15 seconds.
wait_window() {
  local id
  id=$(timeout 15 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) ||
    fail "no window named '$1' (line ${BASH_LINENO[0]})"
  [ -n "$id" ] || fail "no window named '$1'"
  echo "$id"
}

# Waits until no visible window matches. Xvfb runs no window manager to hand the focus back to
# the main window when a box closes, so the test does it.
wait_window_gone() {
  local i
  for i in $(seq 50); do
    if ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then
      [ -n "${WID:-}" ] && xdotool windowfocus --sync "$WID" 2>/dev/null || true
      sleep 0.2
      return 0
    fi
    sleep 0.1
  done
  fail "window '$1' is still there"
}

main_window() {
  WID=$(wait_window '^Ferrolume')
  xdotool windowfocus --sync "$WID" 2>/dev/null || true
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

title() { xdotool getwindowname "$WID"; }

keys() {
  xdotool key --clearmodifiers --delay 60 "$@"
  sleep 0.4
}

# A screenshot of the main window alone.
shot() {
  import -window root -crop "${WW}x${WH}+${WX}+${WY}" +repage "$1"
}

# The colour of one pixel as RRGGBB.
pixel() {
  convert "$1" -format "%[hex:u.p{$2,$3}]" info: | tail -c 6 | tr A-F a-f
}

# Whether a colour occurs within a few pixels of (x, y).
colour_near() {
  local file=$1 x=$2 y=$3 colour=$4
  convert "$file" -crop "5x5+$((x - 2))+$((y - 2))" +repage -fill black +opaque "#$colour" \
    -fill white -opaque "#$colour" -format '%[fx:maxima.r]' info: | grep -q '^1'
}

# "W H X Y" of the box around every pixel of a colour, or nothing when there is none.
colour_box() {
  local file=$1 colour=$2
  convert "$file" -fill black +opaque "#$colour" -fill white -opaque "#$colour" \
    -bordercolor black -border 1 -format '%@' info: 2>/dev/null |
    sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\1 \2 \3 \4/p' |
    awk '{ if ($1 > 0 && $2 > 0) print $1, $2, $3 - 1, $4 - 1 }'
}

# Number of pixels that differ between two images of the same size.
differing() {
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true
}
