#!/usr/bin/env bash
# Draws a fill with the mouse around a board, seeded on the pad chosen first, saves it and checks
# the file and the screen: the fill's record, and copper between the tracks where there was none.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

cp "$DATA/e2e_square.pcb" "$WORK/square.pcb"
start_ferrolume "$WORK/square.pcb"
main_window
shot "$WORK/before.png"

NAVY=000080 BOARD=e9e9e9
# As in board_on_screen.sh: the pads are the only navy, 50 and 150 pixels from the board's corner
# at the start scale, where 10 pixels are 16 board units.
read -r _ _ bx by <<<"$(colour_box "$WORK/before.png" $NAVY)" || fail "no pads on the screen"
ox=$((bx - 43)) oy=$((by - 43))
[ "$(pixel "$WORK/before.png" $((ox + 105)) $((oy + 105)))" = $BOARD ] || fail "copper at first"

click() {
  xdotool mousemove --sync $((WX + ox + $1)) $((WY + oy + $2)) click 1
  sleep 0.3
}
# The move tool chooses the top-left pad; the fill tool keeps it chosen as the fill's seed.
keys h
click 55 50
keys f
for corner in "20 20" "180 20" "180 180" "20 180" "21 19"; do
  # shellcheck disable=SC2086
  click $corner
done
keys ctrl+s
grep -q "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 4, 32, 32, 288, 32, 288, 288, 32, 288" \
  "$WORK/square.pcb" || fail "no fill in the saved board: $(tr -d '\r' <"$WORK/square.pcb" | tail -3)"
shot "$WORK/after.png"
[ "$(pixel "$WORK/after.png" $((ox + 105)) $((oy + 105)))" != $BOARD ] || fail "no fill on the screen"
[ "$(title)" = "Ferrolume - square.pcb" ] || fail "title is '$(title)'"
echo "fill drawn, seeded and saved"
