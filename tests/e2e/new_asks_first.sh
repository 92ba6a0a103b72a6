#!/usr/bin/env bash
# A changed board asks before New: Cancel keeps it, No throws the changes away unsaved, and an
# unchanged board is replaced without a question.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

NAVY=000080
cp "$DATA/e2e_square.pcb" "$WORK/board.pcb"
start_ferrolume "$WORK/board.pcb"
main_window

keys ctrl+a Delete
keys ctrl+n
wait_window '^Info$' >/dev/null
keys Escape
wait_window_gone '^Info$'
[ "$(title)" = "Ferrolume - board.pcb" ] || fail "Cancel changed the title to '$(title)'"

keys ctrl+n
wait_window '^Info$' >/dev/null
keys n
wait_window_gone '^Info$'
[ "$(title)" = "Ferrolume" ] || fail "No left the title '$(title)'"
cmp -s "$DATA/e2e_square.pcb" "$WORK/board.pcb" || fail "No saved the board"

# The new board has no changes: New asks nothing.
keys ctrl+n
sleep 0.5
xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1 && fail "New asked about an unchanged board"
[ "$(title)" = "Ferrolume" ] || fail "title after New is '$(title)'"
echo "New asked first, Cancel kept the board, No discarded it"
