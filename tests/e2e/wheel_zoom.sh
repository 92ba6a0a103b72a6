#!/usr/bin/env bash
# Wheel notches over a pad zoom in and out about the pointer: the pad stays under it, growing
# and shrinking, and the scale box follows.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

NAVY=000080
cp "$DATA/e2e_square.pcb" "$WORK/square.pcb"
start_ferrolume "$WORK/square.pcb"
main_window
shot "$WORK/start.png"
# The pads are the only navy on the screen; the square one is the top-right corner of their box
# (see board_on_screen.sh), its centre 7 pixels in from the box's right edge.
read -r bw bh bx by <<<"$(colour_box "$WORK/start.png" $NAVY)" || fail "no pads on the screen"
px=$((bx + bw - 8)) py=$((by + 7))
colour_near "$WORK/start.png" $px $py $NAVY || fail "no square pad at ($px, $py)"
xdotool mousemove --sync $((WX + px)) $((WY + py))
sleep 0.3

# The box around the navy within 20 pixels of the pointer, where the pad is alone, must hold the
# pointer (the wire tool's spot covers the pad's middle). Prints the box's width.
pad_under_pointer() {
  local w h x y
  convert "$1" -crop "41x41+$((px - 20))+$((py - 20))" +repage "$WORK/near.png"
  read -r w h x y <<<"$(colour_box "$WORK/near.png" $NAVY)" || fail "no pad near the pointer in $1"
  [ $((x <= 20 && 20 < x + w && y <= 20 && 20 < y + h)) = 1 ] || fail "the pad left the pointer in $1"
  echo "$w"
}

wheel() {
  local button=$1 count=$2 i
  for i in $(seq "$count"); do
    xdotool click "$button"
    sleep 0.2
  done
  sleep 0.4
}

# Two notches in: a cell of 10 pixels becomes 16, the pad with it.
wheel 4 2
shot "$WORK/in.png"
[ "$(pad_under_pointer "$WORK/in.png")" -ge 22 ] || fail "the pad did not grow"
read -r iw ih _ _ <<<"$(colour_box "$WORK/in.png" $NAVY)" || fail "no pads after zooming in"
[ $((iw > bw + 40 && ih > bh + 40)) = 1 ] || fail "the board did not grow: ${bw}x${bh} to ${iw}x${ih}"

# Four notches out: 16 pixels down to 6.
wheel 5 4
shot "$WORK/out.png"
[ "$(pad_under_pointer "$WORK/out.png")" -le 10 ] || fail "the pad did not shrink"
read -r ow oh _ _ <<<"$(colour_box "$WORK/out.png" $NAVY)" || fail "no pads after zooming out"
[ $((ow < bw && oh < bh)) = 1 ] || fail "the board did not shrink: ${bw}x${bh} to ${ow}x${oh}"
echo "the pad stayed under the pointer through wheel notches in and out"
