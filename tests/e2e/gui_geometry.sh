#!/bin/bash
# The main window: the movie area is 593 x 245 and fills the client area
# below the menu bar exactly; the window cannot be resized.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
gui_settings "Target=$GUI_TMP"

gui_launch
gui_wait_shown 20
viewport=$(gui_js "[window.innerWidth, window.innerHeight]")
[ "$viewport" = "[$MOVIE_WIDTH,$MOVIE_HEIGHT]" ] || gui_fail "the movie area is $viewport"
width=$(gui_window_width)
height=$(gui_window_height)
[ "$width" -eq "$MOVIE_WIDTH" ] || gui_fail "the client area is $width px wide"
menu_bar=$((height - MOVIE_HEIGHT))
[ "$menu_bar" -ge 15 ] && [ "$menu_bar" -le 60 ] || gui_fail "the window is $height px high: no room for a menu bar"
# The movie starts right below the menu bar: nothing else takes height.
top=$(gui_js "document.elementFromPoint(5, 0) !== null")
[ "$top" = true ] || gui_fail "the movie does not start at the top of its area"
# Fixed size: the size hints pin the window to its size.
hints=$(xprop -id "$MAIN_WINDOW" WM_NORMAL_HINTS)
echo "$hints" | grep -q "program specified minimum size: $width by $height" || gui_fail "no minimum size: $hints"
echo "$hints" | grep -q "program specified maximum size: $width by $height" || gui_fail "no maximum size: $hints"
# Centred on the 1280 x 800 screen.
x=$(xwininfo -id "$MAIN_WINDOW" | awk '/Absolute upper-left X:/ {print $4}')
y=$(xwininfo -id "$MAIN_WINDOW" | awk '/Absolute upper-left Y:/ {print $4}')
[ $((x - (1280 - width) / 2)) -ge -2 ] && [ $((x - (1280 - width) / 2)) -le 2 ] || gui_fail "not centred: x=$x"
[ $((y - (800 - height) / 2)) -ge -2 ] && [ $((y - (800 - height) / 2)) -le 2 ] || gui_fail "not centred: y=$y"
gui_pass "movie area ${viewport}, window ${width}x${height} (menu bar ${menu_bar} px), fixed and centred"
