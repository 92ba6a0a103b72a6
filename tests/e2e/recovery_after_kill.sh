#!/usr/bin/env bash
# Work that survives a kill: the program keeps a copy of a changed board, a second program
# started meanwhile does not offer it, and after SIGKILL the next start offers it. Yes brings the
# changed board back under its file's name; killed again and started with a board, No deletes
# the copy and the board opens; saving and a normal exit remove the copy.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

export FERROLUME_RECOVERY_INTERVAL_MS=300
RECOVERY=$XDG_DATA_HOME/Ferrolume/recovery
NAVY=000080
cp "$DATA/e2e_square.pcb" "$WORK/board.pcb"

copies() { find "$RECOVERY" -name '*.pcb' 2>/dev/null | sort; }

# The copy of one program, waited for up to 10 seconds.
wait_copy() {
  local f i
  for i in $(seq 100); do
    f=$(find "$RECOVERY" -name "board-$1-*.pcb" 2>/dev/null | head -n 1)
    [ -n "$f" ] && echo "$f" && return 0
    sleep 0.1
  done
  fail "no copy of program $1 (line ${BASH_LINENO[0]})"
}

# The question box, told from a main window of the same title by its height.
answer_question() {
  local box
  box=$(wait_window '^Ferrolume$')
  eval "$(xdotool getwindowgeometry --shell "$box")"
  [ "$HEIGHT" -lt 300 ] || fail "no question at start (line ${BASH_LINENO[0]})"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  keys "$1"
}

kill_hard() {
  kill -KILL "$PID"
  wait "$PID" 2>/dev/null || true
  PID=
}

pads_on_screen() {
  shot "$WORK/screen.png"
  [ -n "$(colour_box "$WORK/screen.png" $NAVY)" ]
}

# 1. A changed board gets a copy, and only then; the name of its file is kept beside it.
start_ferrolume "$WORK/board.pcb"
main_window
sleep 1
[ -z "$(copies)" ] || fail "a copy of an unchanged board"
keys ctrl+a Delete
copy=$(wait_copy "$PID")
[ "$(cat "${copy%.pcb}.path")" = "$WORK/board.pcb" ] || fail "the copy names '$(cat "${copy%.pcb}.path")'"
sleep 0.5
cp "$copy" "$WORK/killed-copy.pcb"

# 2. A second program while the first runs asks nothing and leaves its copy alone.
"$FERROLUME" >"$WORK/second.log" 2>&1 &
second=$!
other=$(wait_window '^Ferrolume$')
eval "$(xdotool getwindowgeometry --shell "$other")"
[ "$HEIGHT" -ge 300 ] || fail "the second program offered the running one's board"
kill "$second"
wait "$second" 2>/dev/null || true
[ -f "$copy" ] || fail "the second program took the running one's copy"

# 3. Killed, then started again: Yes restores the changed board under the file's name, and the
# board's copy is the new program's at once.
kill_hard
[ -f "$copy" ] || fail "the copy went with the program"
start_ferrolume
answer_question Return
main_window
[ "$(title)" = "Ferrolume - board.pcb" ] || fail "restored as '$(title)'"
pads_on_screen && fail "the file came back instead of the changed board"
[ -f "$copy" ] && fail "the old copy is still there"
restored=$(wait_copy "$PID")

# 4. Killed again and started with the board: No deletes the copy and the board opens.
kill_hard
start_ferrolume "$WORK/board.pcb"
answer_question n
main_window
[ "$(title)" = "Ferrolume - board.pcb" ] || fail "title '$(title)' after No"
pads_on_screen || fail "the board named at start did not open after No"
[ -z "$(copies)" ] || fail "No left $(copies)"

# 5. Saving removes the copy; so does leaving through Exit without saving.
keys ctrl+a Delete
wait_copy "$PID" >/dev/null
keys ctrl+s
[ -z "$(copies)" ] || fail "Save left $(copies)"
cmp -s "$WORK/board.pcb" "$WORK/killed-copy.pcb" || fail "the saved board differs from the copy"
keys ctrl+z
wait_copy "$PID" >/dev/null
# The File menu sits at the window's top left; its Exit item answers to "x".
xdotool mousemove $((WX + 15)) $((WY + 10)) click 1
sleep 0.5
keys x
wait_window '^Info$' >/dev/null
keys n
for i in $(seq 50); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$PID" 2>/dev/null && fail "Exit did not end the program"
[ -z "$(find "$RECOVERY" -type f 2>/dev/null)" ] || fail "Exit left $(find "$RECOVERY" -type f)"
echo "copy kept while changed, ignored by a second program, restored after a kill, deleted by No," \
  "removed by Save and Exit (restored copy was $(basename "$restored"))"
