#!/usr/bin/env bash
# With the keyboard focus in the scale box, Ctrl+A and Del empty the board while the box keeps
# its text; Ctrl+S then writes the empty board, which the test reads back.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

NAVY=000080 WIRE=6595c9
cp "$DATA/e2e_square.pcb" "$WORK/board.pcb"
start_ferrolume "$WORK/board.pcb"
main_window
shot "$WORK/start.png"
start_box=$(colour_box "$WORK/start.png" $NAVY)
[ -n "$start_box" ] || fail "the board is not shown"

# The focus starts in the first box of the settings row; the scale box is the fourth.
keys Tab Tab Tab
# Proof that the scale box has it: Up grows the board, Down brings it back.
keys Up
shot "$WORK/up.png"
[ "$(colour_box "$WORK/up.png" $NAVY)" != "$start_box" ] || fail "Up did not change the scale"
keys Down
shot "$WORK/down.png"
[ "$(colour_box "$WORK/down.png" $NAVY)" = "$start_box" ] || fail "Down did not restore the scale"

# The menu bar and the settings row before (not the tool bar below them, whose Undo button
# wakes up with the deletion), twice, to catch the text cursor in both of its blink phases.
row() { convert "$1" -crop "${WW}x44+0+0" +repage "$2"; }
row "$WORK/down.png" "$WORK/row1.png"
sleep 0.6
shot "$WORK/down2.png"
row "$WORK/down2.png" "$WORK/row2.png"

keys ctrl+a Delete
shot "$WORK/empty.png"
[ -z "$(colour_box "$WORK/empty.png" $NAVY)" ] || fail "pads are left after Ctrl+A, Del"
[ -z "$(colour_box "$WORK/empty.png" $WIRE)" ] || fail "wires are left after Ctrl+A, Del"
same=0
for attempt in 1 2 3; do
  row "$WORK/empty.png" "$WORK/row_after.png"
  for before in "$WORK/row1.png" "$WORK/row2.png"; do
    [ "$(differing "$before" "$WORK/row_after.png")" = 0 ] && same=1
  done
  [ $same = 1 ] && break
  sleep 0.3
  shot "$WORK/empty.png"
done
[ $same = 1 ] || fail "the scale box changed under Ctrl+A, Del"

keys ctrl+s
expected=$(printf '*Solder*\r\n\r\n*Wire*\r\n' | od -An -tx1)
for i in $(seq 30); do
  [ "$(od -An -tx1 "$WORK/board.pcb")" = "$expected" ] && break
  sleep 0.1
done
[ "$(od -An -tx1 "$WORK/board.pcb")" = "$expected" ] || fail "Ctrl+S did not write the empty board"
[ "$(title)" = "Ferrolume - board.pcb" ] || fail "title is '$(title)'"
echo "board emptied from the scale box, box untouched, empty board saved"
