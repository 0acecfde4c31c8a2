# Helpers for driving qelvrin under Xvfb with xdotool, as an operator would.
# Sourced by the scenario scripts; every wait polls and gives up after a
# timeout, so a slow machine costs time, never a wrong verdict.
#
# The caller sets before sourcing:
#   ARTIFACTS  folder for screenshots and logs (emptied here)
#   BIN        folder holding qelvrin and qelvrin-sas

set -u

POLL_INTERVAL=0.1
STEP=0
XVFB_PID=""
PROGRAM_PID=""
PROGRAM_OUT=""
WORK=""

# Printed with every failure: what was being waited for and the windows
# that were there instead.
fail() {
    echo "FAIL: $*" >&2
    if [ -n "$XVFB_PID" ] && process_ended "$XVFB_PID"; then
        wait "$XVFB_PID"
        echo "the X server has ended, status $?" >&2
        XVFB_PID=""
    elif [ -n "${DISPLAY:-}" ]; then
        local number=${DISPLAY#:}
        xdpyinfo >/dev/null 2>&1 || echo "the X server on $DISPLAY does not answer" >&2
        [ -e "/tmp/.X11-unix/X$number" ] || echo "its socket /tmp/.X11-unix/X$number is gone" >&2
        [ "$(tr -d ' ' <"/tmp/.X$number-lock" 2>/dev/null)" = "$XVFB_PID" ] || echo "its lock /tmp/.X$number-lock is not its own" >&2
        echo "visible windows:" >&2
        local id
        for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            echo "  $id '$(xdotool getwindowname "$id" 2>/dev/null)'" >&2
        done
        import -window root "$ARTIFACTS/failure.png" 2>/dev/null
    fi
    if [ -s "$PROGRAM_OUT" ]; then
        echo "qelvrin wrote:" >&2
        tail -n 20 "$PROGRAM_OUT" >&2
    fi
    exit 1
}

note() {
    echo "--- $*"
}

# Numbered screenshot of the whole screen: NN-name.png.
screenshot() {
    STEP=$((STEP + 1))
    local file
    file=$(printf '%s/%02d-%s.png' "$ARTIFACTS" "$STEP" "$1")
    import -window root "$file" || fail "screenshot $file"
}

# Waits until a command succeeds, polling.
#   wait_until SECONDS WHAT COMMAND...
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "waited ${seconds}s for $what"
        sleep "$POLL_INTERVAL"
    done
}

# Prints the id of the one visible window whose title matches the regular
# expression (case blind, as xdotool compares).
visible_window() {
    local ids
    ids=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) || return 1
    [ "$(printf '%s\n' "$ids" | wc -l)" -eq 1 ] || return 1
    printf '%s\n' "$ids"
}

# Waits for the window and leaves its id in WINDOW.
#   wait_window 'REGEX' SECONDS
WINDOW=""
wait_window() {
    local regex=$1 seconds=${2:-30}
    local deadline=$((SECONDS + seconds))
    until WINDOW=$(visible_window "$regex"); do
        [ "$SECONDS" -lt "$deadline" ] || fail "waited ${seconds}s for a window titled /$regex/"
        sleep "$POLL_INTERVAL"
    done
}

window_gone() {
    ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

#   wait_window_gone WID WHAT SECONDS
wait_window_gone() {
    wait_until "${3:-30}" "$2 to close" window_gone "$1"
}

window_title() {
    xdotool getwindowname "$1" 2>/dev/null
}

title_is() {
    [ "$(window_title "$1")" = "$2" ]
}

# Waits until the window's title reads exactly the text.
#   wait_title WID TEXT SECONDS
wait_title() {
    local deadline=$((SECONDS + ${3:-30}))
    until title_is "$1" "$2"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "waited for the title '$2'; it reads '$(window_title "$1")'"
        sleep "$POLL_INTERVAL"
    done
}

# Gives the window the keyboard. There is no window manager, so the focus is
# set directly.
focus() {
    xdotool windowfocus --sync "$1" || fail "focus on window $1"
}

# Keys to a window: focus it, then type them as the keyboard would.
#   press WID KEY...
press() {
    local id=$1
    shift
    focus "$id"
    xdotool key --delay 50 "$@" || fail "keys $* to window $1"
}

# An open drop-down menu is a visible window that bypasses window management
# (override-redirect); its type and name Qt does not set every time.
menu_open() {
    local id
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

wait_menu_open() {
    wait_until 30 "a drop-down menu to open" menu_open
}

# Keys to whatever holds the keyboard now, such as an open menu.
menu_keys() {
    xdotool key --delay 50 "$@" || fail "keys $*"
}

# Text into the focused control of a window.
type_into() {
    focus "$1"
    xdotool type --delay 20 "$2" || fail "typing into window $1"
}

# A left click at a point of the window, in pixels from its top left corner.
# The server takes the move before the click; --sync would wait for a
# motion that never comes when the pointer is there already.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1 || fail "click at $2,$3 of window $1"
}

# The window's height in pixels.
window_height() {
    xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p'
}

# Pids of processes whose program is the given file.
processes_of() {
    local exe dir
    exe=$(realpath -m "$1")
    for dir in /proc/[0-9]*; do
        [ "$(readlink "$dir/exe" 2>/dev/null)" = "$exe" ] || continue
        # A zombie has ended already.
        grep -q '^State:[[:space:]]*Z' "$dir/status" 2>/dev/null && continue
        echo "${dir#/proc/}"
    done
}

no_process_of() {
    [ -z "$(processes_of "$1")" ]
}

some_process_of() {
    [ -n "$(processes_of "$1")" ]
}

process_ended() {
    [ ! -e "/proc/$1" ] || grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null
}

# The one line of the run marker, without its CR LF.
marker_text() {
    tr -d '\r\n' <"$1"
}

# A private X server. Its display number is drawn from a range that other
# users of the machine are unlikely to pick; a number that turns out to be
# taken costs a retry. Returns once the server answers.
start_xvfb() {
    local attempt number
    for attempt in $(seq 1 20); do
        number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        # -noreset: by default the server resets when its last client leaves
        # and refuses connections meanwhile, as after the probe below.
        Xvfb ":$number" -nolisten tcp -noreset -screen 0 1280x1024x24 2>>"$ARTIFACTS/xvfb.log" &
        XVFB_PID=$!
        export DISPLAY=":$number"
        wait_until 30 "the X server on $DISPLAY" xvfb_answers_or_ended
        if ! process_ended "$XVFB_PID"; then
            return 0
        fi
        wait "$XVFB_PID"
        XVFB_PID=""
    done
    fail "no X server could be started (see xvfb.log)"
}

xvfb_answers_or_ended() {
    process_ended "$XVFB_PID" || xdpyinfo >/dev/null 2>&1
}

# Starts qelvrin on the drive with the given extra arguments; its output goes
# to the artifacts.
#   start_program NAME ARGS...
start_program() {
    local name=$1
    shift
    PROGRAM_OUT="$ARTIFACTS/$name.out"
    "$BIN/qelvrin" "$@" >"$PROGRAM_OUT" 2>&1 &
    PROGRAM_PID=$!
}

program_ended() {
    process_ended "$PROGRAM_PID"
}

# Waits for the program to end and checks its exit status.
wait_program_end() {
    wait_until "${1:-30}" "qelvrin to end" program_ended
    wait "$PROGRAM_PID"
    local status=$?
    PROGRAM_PID=""
    [ "$status" -eq 0 ] || fail "qelvrin ended with status $status"
}

# Whatever still runs of this test is ended: the program, stand-ins started
# from the temporary drive, the X server. The temporary folder goes too.
cleanup() {
    local pid
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
    if [ -n "$WORK" ]; then
        for pid in $(processes_of "$WORK/drive/SAS/SAS.EXE"); do
            kill "$pid" 2>/dev/null
        done
    fi
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    [ -n "$WORK" ] && rm -rf "$WORK"
}

# Common set-up: artifacts folder, private temporary folder with a home, a
# runtime folder and a drive; the X server; an environment where the only
# way to print is to a PDF file.
setup() {
    local tool
    for tool in Xvfb xdpyinfo xwininfo xdotool import pdfinfo pdftotext; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
    done
    [ -x "$BIN/qelvrin" ] || { echo "no qelvrin in $BIN" >&2; exit 2; }
    [ -x "$BIN/qelvrin-sas" ] || { echo "no qelvrin-sas in $BIN" >&2; exit 2; }
    rm -rf "$ARTIFACTS"
    mkdir -p "$ARTIFACTS"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/qelvrin-e2e.XXXXXX")
    trap cleanup EXIT
    trap 'exit 1' INT TERM
    mkdir -p "$WORK/home" "$WORK/runtime" "$WORK/drive"
    chmod 0700 "$WORK/runtime"
    export HOME="$WORK/home"
    export XDG_RUNTIME_DIR="$WORK/runtime"
    export XDG_CONFIG_HOME="$WORK/home/.config"
    # The print dialog offers a PDF file only when the system knows no
    # printer; a scheduler running beside the test must not be seen.
    export CUPS_SERVER="$WORK/no-cups-here.sock"
    export QELVRIN_STANDIN="$BIN/qelvrin-sas"
    export QELVRIN_END_PAUSE_MS=300
    export QELVRIN_STANDIN_PACE_MS=1500
    unset QELVRIN_STANDIN_OUTCOME QELVRIN_DRIVE QELVRIN_DRIVE_A QELVRIN_DRIVE_B QT_QPA_PLATFORM
    DRIVE="$WORK/drive"
    INSTALL="$DRIVE/QELVRIN"
    start_xvfb
    note "display $DISPLAY, drive $DRIVE"
}
