#!/usr/bin/env bash
# Opens a board named on the command line and checks on the screen that its pads and wires are
# drawn where the board puts them, in the window's colours.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

cp "$DATA/e2e_square.pcb" "$WORK/square.pcb"
start_ferrolume "$WORK/square.pcb"
main_window
[ "$(title)" = "Ferrolume - square.pcb" ] || fail "title is '$(title)'"
shot "$WORK/board.png"

NAVY=000080 WIRE=6595c9 BOARD=e9e9e9
# The board's top-left pad lands at (80, 80) board units; at the start scale one step of 16 units
# is 10 pixels, so the four pads sit at 50 and 150 pixels from the board's corner. Pads are the
# only navy on the screen: their box gives the board's corner.
read -r bw bh bx by <<<"$(colour_box "$WORK/board.png" $NAVY)" || fail "no pads on the screen"
[ $((bw >= 112 && bw <= 116 && bh >= 110 && bh <= 116)) = 1 ] || fail "pads span ${bw}x${bh}"
ox=$((bx - 43)) oy=$((by - 43))
# The board lies below the bars, inside the window.
[ $((oy > 40 && ox >= 0 && ox + 160 < WW && oy + 160 < WH)) = 1 ] || fail "board at $ox,$oy"

check() {
  colour_near "$WORK/board.png" $((ox + $1)) $((oy + $2)) "$3" ||
    fail "$4: expected #$3 near ($1, $2) of the board"
}
check 55 50 $NAVY "ring of the round pad"
[ "$(pixel "$WORK/board.png" $((ox + 50)) $((oy + 50)))" = $BOARD ] || fail "the hole is not open"
check 150 50 $NAVY "square pad"
check 50 150 $NAVY "small pad"
check 150 150 $NAVY "small pad"
check 100 50 $WIRE "top wire"
check 150 100 $WIRE "right wire"
check 100 150 $WIRE "bottom wire"
colour_near "$WORK/board.png" $((ox + 100)) $((oy + 100)) $WIRE && fail "copper in the middle"
colour_near "$WORK/board.png" $((ox + 50)) $((oy + 100)) $WIRE && fail "a wire on the left"
echo "pads and wires in place"
