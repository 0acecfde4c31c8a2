#!/usr/bin/env bash
# How the programs answer before any window: without a display, asked for
# their version, and given a command line they do not understand.
#   command_line.sh BIN_DIR
set -u
bin=$1 status=0
drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT

#   expect STATUS LAST-LINE COMMAND...   (stdout and stderr together, no display)
expect() {
    local want_status=$1 want=$2 out got
    shift 2
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>&1)
    got=$?
    if [ "$got" != "$want_status" ] || [ "$(tail -n 1 <<<"$out")" != "$want" ]; then
        echo "FAIL: $* ended with $got, saying: $out"
        echo "      wanted $want_status, last line: $want"
        status=1
    fi
}

expect 3 "qelvrin: no display is available; qelvrin-batch runs the stages without one." "$bin/qelvrin" --drive "$drive"
expect 0 "QELVRIN 1.6.0" "$bin/qelvrin" --version
expect 0 "qelvrin-batch 1.6.0" "$bin/qelvrin-batch" --version
expect 2 "Try 'qelvrin --help' for more information." "$bin/qelvrin" --drive
expect 2 "Try 'qelvrin --help' for more information." "$bin/qelvrin" --setup-drive --drive "$drive" stray
expect 2 "Try 'qelvrin-batch --help' for more information." "$bin/qelvrin-batch" --no-such-option
[ -z "$(ls -A "$drive")" ] || { echo "FAIL: a refused command laid the drive out"; status=1; }
exit $status
