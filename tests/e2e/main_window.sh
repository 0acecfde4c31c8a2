# What an operator does in qelvrin's main window and its dialogs, on top of
# lib.sh. Positions come from the window's layout in twips (15 to a pixel);
# the client area is 345 pixels high and sits below the menu bar.

CLIENT_HEIGHT=345
BUTTON_SIZE=33
BUTTON_LEFT=24
declare -A BUTTON_TOP=([1]=40 [2]=88 [3]=136)
MAIN=""

# The main window, once it is up; its id stays while its caption changes.
find_main_window() {
    wait_window '^Inorganic Quorvane $' 60
    MAIN=$WINDOW
}

menu_bar_height() {
    echo $(($(window_height "$MAIN") - CLIENT_HEIGHT))
}

# Counts the pixels of a window area (WIDTHxHEIGHT+X+Y) that pass an awk
# test on r, g and b (0 to 255).
count_pixels() {
    local id=$1 area=$2 test=$3
    import -window "$id" -crop "$area" -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]' "NR > 1 { r = \$3 + 0; g = \$4 + 0; b = \$5 + 0; if ($test) n++ } END { print n + 0 }"
}

# A stage button draws its number in black when enabled, in grey when not.
stage_button_enabled() {
    local top=$(($(menu_bar_height) + BUTTON_TOP[$1]))
    [ "$(count_pixels "$MAIN" "${BUTTON_SIZE}x${BUTTON_SIZE}+${BUTTON_LEFT}+${top}" 'r < 80 && g < 80 && b < 80')" -gt 0 ]
}

# The completion bar's navy fill shows how far the running stage has come.
completion_bar_filled() {
    local top=$(($(menu_bar_height) + 245))
    [ "$(count_pixels "$MAIN" "194x35+24+${top}" 'r < 30 && g < 30 && b > 100 && b < 160')" -gt 0 ]
}

# Presses a stage button ("1", "2" or "3") once it is enabled.
press_stage_button() {
    wait_until 60 "button $1 to be enabled" stage_button_enabled "$1"
    local half=$((BUTTON_SIZE / 2))
    click "$MAIN" $((BUTTON_LEFT + half)) $(($(menu_bar_height) + BUTTON_TOP[$1] + half))
}

# "Quit", below the emblem.
press_quit_button() {
    click "$MAIN" $(((3825 + 1335 / 2) / 15)) $(($(menu_bar_height) + (3735 + 495 / 2) / 15))
}

# Types the file's full path into the file dialog "Select SDG" and opens it.
choose_file() {
    wait_window '^Select SDG$' 30
    local dialog=$WINDOW
    type_into "$dialog" "$1"
    screenshot "select-$(basename "$1")"
    press "$dialog" Return
    wait_window_gone "$dialog" "the file dialog" 30
}

# A message box has drawn its text (black) once it is painted.
box_painted() {
    [ "$(count_pixels "$1" "$(box_area "$1")" 'r < 60 && g < 60 && b < 60')" -gt 0 ]
}

box_area() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { h = $2 } END { print w "x" h "+0+0" }'
}

# The stop icon is the one red thing in a message box.
box_has_stop_icon() {
    [ "$(count_pixels "$1" "$(box_area "$1")" 'r > 180 && g < 80 && b < 80')" -gt 50 ]
}

# Waits for the outcome box of a stage, checks that it tells a normal end
# (no stop icon) or an abnormal one (stop icon), and answers OK.
#   expect_outcome normal|abnormal SCREENSHOT-NAME
expect_outcome() {
    wait_window '^QELVRIN$' 180
    local box=$WINDOW
    wait_until 30 "the outcome box to be drawn" box_painted "$box"
    screenshot "$2"
    if [ "$1" = normal ]; then
        ! box_has_stop_icon "$box" || fail "the outcome box tells a normal end ($2)"
    else
        box_has_stop_icon "$box" || fail "the outcome box tells an abnormal end ($2)"
    fi
    press "$box" Return
    wait_window_gone "$box" "the outcome box" 30
}
