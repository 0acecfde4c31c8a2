#!/bin/bash
# The real programs under Xvfb with a private session bus and the
# accessibility bus; at_tree.py reads what assistive technology is told.
#   a11y.sh BIN_DIR ARTIFACTS_DIR stage SDG_DIR   a stage, the bar, the viewer
#   a11y.sh BIN_DIR ARTIFACTS_DIR scale           both windows at scale 1 and 2

BIN=$1 ARTIFACTS=$2 MODE=$3 SDG=${4:-}
HERE=$(dirname "$0")
source "$HERE/../e2e/lib.sh"
setup

# The buses and what they started, by pid, leaves first.
descendants() {
    local pid child
    for pid in "$@"; do
        for child in $(awk -v p="$pid" '$4 == p { print $1 }' /proc/[0-9]*/stat 2>/dev/null); do
            descendants "$child"
            echo "$child"
        done
    done
}
BUS_PID=""
stop_bus() {
    [ -n "$BUS_PID" ] || return 0
    for pid in $(descendants "$BUS_PID") "$BUS_PID"; do kill "$pid" 2>/dev/null; done
}
trap 'stop_bus; cleanup' EXIT

eval "$(dbus-launch --sh-syntax)" || fail "dbus-launch"
BUS_PID=$DBUS_SESSION_BUS_PID
# Qt waits for this bus but never starts it: asking for its address does.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >"$ARTIFACTS/a11y-bus.txt" || fail "the accessibility bus"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$BIN/qelvrin" --setup-drive --drive "$DRIVE" || fail "the drive set-up"

walker() { /usr/bin/python3 "$HERE/at_tree.py" "$@"; }

if [ "$MODE" = stage ]; then
    # The Full Assessment paced so the bar is seen climbing; its job waits
    # without the end signal (a job gone without it would end the stage),
    # which the walker gives once it has seen the log outgrow its expected
    # size. The job is ended here.
    cat "$SDG"/* >"$INSTALL/QELVDATA"
    export QELVRIN_STANDIN_PACE_MS=6000 QELVRIN_STANDIN_OUTCOME=nosignal
    start_program stage --drive "$DRIVE"
    walker stage "$PROGRAM_PID" "$INSTALL" "$ARTIFACTS" || fail "the accessibility tree (see $ARTIFACTS)"
    wait_program_end
    { read -r _ session _ <"$INSTALL/BATCHJOB.DAT" && kill -TERM -- "-$session"; } 2>/dev/null || true
else
    printf 'NOTE: a log\r\n' >"$INSTALL/DLOADJCL.LOG"
    for factor in 1 2; do
        export QT_SCALE_FACTOR=$factor
        start_program "scale-$factor" --drive "$DRIVE"
        walker scale "$PROGRAM_PID" "$INSTALL" "$ARTIFACTS" || fail "the geometry at scale $factor"
        wait_program_end
    done
fi
echo "--- passed"
