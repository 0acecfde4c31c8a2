# Drives qelvrin under a private Xvfb with xdotool, as an operator would.
# Sourced by the scenarios after they set BIN (holding qelvrin and
# qelvrin-sas) and ARTIFACTS (screenshots and output, emptied here). Every
# wait polls until a deadline: a slow machine costs time, never a verdict.
set -u

STEP=0 XVFB_PID="" PROGRAM_PID="" PROGRAM_OUT="" WORK="" WINDOW="" MAIN=""

# Says what was awaited; the screen as it was is kept in failure.png.
fail() {
    echo "FAIL: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "$ARTIFACTS/failure.png" 2>/dev/null
    [ -s "$PROGRAM_OUT" ] && tail -n 20 "$PROGRAM_OUT" >&2
    exit 1
}

# Numbered screenshot of the whole screen: NN-name.png.
screenshot() {
    STEP=$((STEP + 1))
    import -window root "$(printf '%s/%02d-%s.png' "$ARTIFACTS" "$STEP" "$1")" || fail "screenshot $1"
}

#   wait_until SECONDS WHAT COMMAND...
wait_until() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "waited for $what"
        sleep 0.1
    done
}

# The one visible window whose title matches the expression, into WINDOW.
one_window() {
    local ids
    ids=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) && [ "$(wc -l <<<"$ids")" -eq 1 ] && WINDOW=$ids
}
#   wait_window 'REGEX' SECONDS
wait_window() { wait_until "${2:-30}" "a window titled /$1/" one_window "$1"; }

window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
wait_window_gone() { wait_until 30 "$2 to close" window_gone "$1"; }

title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
#   wait_title WID TEXT SECONDS
wait_title() { wait_until "${3:-30}" "the title '$2'" title_is "$1" "$2"; }

# No window manager runs: the keyboard focus is set directly.
press() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" && xdotool key --delay 50 "$@" || fail "keys $* to window $id"
}

# An open drop-down menu is a visible override-redirect window.
menu_open() {
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# Opens a menu of the window with alt+KEY and picks the item by its key.
menu_item() {
    press "$1" "alt+$2"
    wait_until 30 "a drop-down menu to open" menu_open
    xdotool key --delay 50 "$3" || fail "menu key $3"
}

# Pids of live processes running the given program file.
processes_of() {
    local exe dir
    exe=$(realpath -m "$1")
    for dir in /proc/[0-9]*; do
        [ "$(readlink "$dir/exe" 2>/dev/null)" = "$exe" ] && ! process_ended "${dir#/proc/}" && echo "${dir#/proc/}"
    done
}
process_ended() { [ ! -e "/proc/$1" ] || grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

marker_is() { [ "$(tr -d '\r\n' <"$INSTALL/SHUTDOWN.DAT")" = "\"$1\"" ] || fail "the marker reads $1"; }

#   start_program NAME ARGS...   (output kept as NAME.out); then the main window
start_program() {
    PROGRAM_OUT="$ARTIFACTS/$1.out"
    shift
    "$BIN/qelvrin" "$@" >"$PROGRAM_OUT" 2>&1 &
    PROGRAM_PID=$!
    wait_window '^Inorganic Quorvane $' 60
    MAIN=$WINDOW
}

wait_program_end() {
    wait_until 60 "qelvrin to end" process_ended "$PROGRAM_PID"
    wait "$PROGRAM_PID" || fail "qelvrin ended with status $?"
    PROGRAM_PID=""
}

cleanup() {
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
    [ -n "$WORK" ] && for pid in $(processes_of "$WORK/drive/SAS/SAS.EXE"); do kill "$pid" 2>/dev/null; done
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    [ -n "$WORK" ] && rm -rf "$WORK"
}

# A private home, runtime folder and drive; an X server on a free display
# (-noreset: it would otherwise refuse clients while its first one leaves);
# no print queue, so the print dialog offers a PDF file.
setup() {
    for tool in Xvfb xwininfo xdotool import pdfinfo; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
    done
    rm -rf "$ARTIFACTS"
    mkdir -p "$ARTIFACTS"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/qelvrin-e2e.XXXXXX")
    trap cleanup EXIT
    trap 'exit 1' INT TERM
    mkdir -p "$WORK/home" "$WORK/runtime" "$WORK/drive"
    chmod 0700 "$WORK/runtime"
    export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" XDG_CONFIG_HOME="$WORK/home/.config"
    export CUPS_SERVER="$WORK/no-cups-here.sock" QELVRIN_STANDIN="$BIN/qelvrin-sas"
    export QELVRIN_END_PAUSE_MS=300 QELVRIN_STANDIN_PACE_MS=1500
    unset QELVRIN_STANDIN_OUTCOME QELVRIN_DRIVE QELVRIN_DRIVE_A QELVRIN_DRIVE_B QT_QPA_PLATFORM
    DRIVE="$WORK/drive"
    INSTALL="$DRIVE/QELVRIN"
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$WORK/display" 2>"$ARTIFACTS/xvfb.log" &
    XVFB_PID=$!
    wait_until 30 "the X server" test -s "$WORK/display"
    export DISPLAY=":$(cat "$WORK/display")"
    echo "--- display $DISPLAY, drive $DRIVE"
}

# Types the path into the file dialog "Select SDG" and opens it.
choose_file() {
    wait_window '^Select SDG$' 30
    local dialog=$WINDOW
    xdotool windowfocus --sync "$dialog" && xdotool type --delay 20 "$1" || fail "typing into the file dialog"
    press "$dialog" Return
    wait_window_gone "$dialog" "the file dialog"
}

# Counts the pixels of a window that pass an awk test on r, g and b.
count_pixels() {
    import -window "$1" -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]' "NR > 1 { r = \$3 + 0; g = \$4 + 0; b = \$5 + 0; if ($2) n++ } END { print n + 0 }"
}
box_painted() { [ "$(count_pixels "$1" 'r < 60 && g < 60 && b < 60')" -gt 0 ]; }

# Waits for a stage's outcome box, checks that it tells a normal end (no
# stop icon, the one red thing a box can show), and answers OK.
#   expect_outcome SCREENSHOT-NAME
expect_outcome() {
    wait_window '^QELVRIN$' 180
    local box=$WINDOW
    wait_until 30 "the outcome box to be drawn" box_painted "$box"
    screenshot "$1"
    [ "$(count_pixels "$box" 'r > 180 && g < 80 && b < 80')" -le 50 ] || fail "the outcome box tells a normal end ($1)"
    press "$box" Return
    wait_window_gone "$box" "the outcome box"
}
