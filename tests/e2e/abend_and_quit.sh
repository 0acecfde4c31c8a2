#!/bin/bash
# Things going wrong under Xvfb: a malformed SDG ends the Data Load
# abnormally, the stop box says so and the log opens by itself; Exit while a
# stage runs asks first (Cancel keeps all, OK ends the program and the batch
# job) and leaves the marker unclean.
#   abend_and_quit.sh BIN_DIR ARTIFACTS_DIR MALFORMED_SDG_FILE SDG_FILE

BIN=$1 ARTIFACTS=$2 MALFORMED=$3 WELL_FORMED=$4
source "$(dirname "$0")/lib.sh"
setup
# Plain folders on the drive (C:\BAD, C:\GOOD): no diskette question.
mkdir -p "$DRIVE/BAD" "$DRIVE/GOOD"
cp "$MALFORMED" "$DRIVE/BAD/"
cp "$(dirname "$WELL_FORMED")"/* "$DRIVE/GOOD/"
STANDIN="$DRIVE/SAS/SAS.EXE"

start_program abend --drive "$DRIVE"

menu_item "$MAIN" r d
choose_file "$DRIVE/BAD/$(basename "$MALFORMED")"
expect_outcome abnormal data-load-abend
wait_window '^DLOADJCL\.LOG line 1 of [0-9]+$' 60
screenshot abend-log-shown
press "$WINDOW" alt+x
wait_window_gone "$WINDOW" "the log viewer"
menu_item "$MAIN" f x
wait_program_end
marker_is NORMAL

# --- Exit while a stage runs (a job that never signals its end)
export QELVRIN_STANDIN_OUTCOME=nosignal
start_program running --drive "$DRIVE"

menu_item "$MAIN" r d
choose_file "$DRIVE/GOOD/$(basename "$WELL_FORMED")"
wait_until 60 "the batch job to start" some_process_of "$STANDIN"
JOBS=$(processes_of "$STANDIN")
menu_item "$MAIN" f x
wait_window '^QELVR \[notice\]$' 30
screenshot quit-question
press "$WINDOW" Escape
wait_window_gone "$WINDOW" "the quit question"
{ ! process_ended "$PROGRAM_PID" && some_process_of "$STANDIN"; } || fail "Cancel keeps the program and the batch job"
menu_item "$MAIN" f x
wait_window '^QELVR \[notice\]$' 30
press "$WINDOW" Return
wait_program_end
for pid in $JOBS; do wait_until 30 "the batch job $pid to end" process_ended "$pid"; done
marker_is "LOAD PROGRAM STARTED"
[ -e "$INSTALL/SIGNAL.TXT" ] && fail "the ended job left no end signal"
echo "--- passed"
