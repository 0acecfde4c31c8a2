#!/bin/bash
# Things going wrong, as an operator meets them under Xvfb:
#  - a malformed SDG: the Data Load ends abnormally, the stop box says so and
#    the log opens in the viewer by itself ("Display Log on Abend");
#  - Exit while a stage runs: Cancel keeps the program, OK ends it and the
#    batch job, and the marker stays unclean;
#  - the next start purges what that run left.
#
#   abend_and_quit.sh BIN_DIR ARTIFACTS_DIR MALFORMED_SDG_FILE SDG_FILE
#
# SDG_FILE is a well-formed SDG's first file, loaded from a plain folder.

BIN=$1
ARTIFACTS=$2
MALFORMED=$3
WELL_FORMED=$4
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/main_window.sh"
setup

# Plain folders on the drive (C:\BAD, C:\GOOD): no diskette question.
mkdir -p "$DRIVE/BAD" "$DRIVE/GOOD"
cp "$MALFORMED" "$DRIVE/BAD/"
cp "$(dirname "$WELL_FORMED")"/* "$DRIVE/GOOD/"
STANDIN="$DRIVE/SAS/SAS.EXE"

# --- A malformed SDG ends abnormally and shows its log
start_program abend --drive "$DRIVE"
find_main_window
press_stage_button 1
choose_file "$DRIVE/BAD/$(basename "$MALFORMED")"
expect_outcome abnormal data-load-abend
wait_window '^DLOADJCL\.LOG line 1 of [0-9]+$' 60
LOG_VIEWER=$WINDOW
screenshot abend-log-shown
grep -q -i 'stopped' "$INSTALL/DLOADJCL.LOG" || fail "the log tells that the job stopped"
mapfile -t HITS < <(grep -n -i 'stopped' "$INSTALL/DLOADJCL.LOG" | cut -d: -f1 | awk '$1 > 1')
LINES=$(window_title "$LOG_VIEWER" | sed 's/.* of //')
# Search KeyWord, Stopped: the menu opens on its first item, "Error:".
press "$LOG_VIEWER" alt+k
wait_menu_open
screenshot keyword-menu
menu_keys Down Return
wait_title "$LOG_VIEWER" "DLOADJCL.LOG line ${HITS[0]} of $LINES" 30
screenshot stopped-found
press "$LOG_VIEWER" alt+x
wait_window_gone "$LOG_VIEWER" "the log viewer" 30
press "$MAIN" alt+f
wait_menu_open
menu_keys x
wait_program_end 60
[ "$(marker_text "$INSTALL/SHUTDOWN.DAT")" = '"NORMAL"' ] || fail "Exit after the abnormal end writes NORMAL"
{ [ -s "$INSTALL/QELVDATA" ] && [ -s "$INSTALL/DLOADJCL.LOG" ]; } || fail "the data and the log stay for reading"

# --- Exit while a stage runs (a job that never signals its end)
export QELVRIN_STANDIN_OUTCOME=nosignal
start_program running --drive "$DRIVE"
find_main_window
[ -s "$INSTALL/DLOADJCL.LOG" ] || fail "a clean end kept the outputs for the next start"
press_stage_button 1
choose_file "$DRIVE/GOOD/$(basename "$WELL_FORMED")"
wait_until 60 "the batch job to start" some_process_of "$STANDIN"
wait_until 60 "the completion bar to fill" completion_bar_filled
JOB_PIDS=$(processes_of "$STANDIN")
screenshot stage-running
press "$MAIN" alt+f
wait_menu_open
menu_keys x
wait_window '^QELVR \[notice\]$' 30
screenshot quit-question
press "$WINDOW" Escape
wait_window_gone "$WINDOW" "the quit question" 30
program_ended && fail "Cancel keeps the program"
some_process_of "$STANDIN" || fail "Cancel keeps the batch job"
press "$MAIN" alt+f
wait_menu_open
menu_keys x
wait_window '^QELVR \[notice\]$' 30
press "$WINDOW" Return
wait_program_end 60
for pid in $JOB_PIDS; do
    wait_until 30 "the batch job $pid to end" process_ended "$pid"
done
[ "$(marker_text "$INSTALL/SHUTDOWN.DAT")" = '"LOAD PROGRAM STARTED"' ] ||
    fail "quitting a running stage leaves the marker unclean, not '$(marker_text "$INSTALL/SHUTDOWN.DAT")'"
[ -e "$INSTALL/SIGNAL.TXT" ] && fail "the ended job left no end signal"
[ -s "$INSTALL/QELVDATA" ] || fail "the interrupted run's data are still there until the next start"

# --- The next start purges what the interrupted run left
unset QELVRIN_STANDIN_OUTCOME
start_program after --drive "$DRIVE"
find_main_window
screenshot purged-start
for file in QELVDATA DLOADJCL.LOG IASMTJCL.LOG FASMTJCL.LOG SDEFECT.TXT TDEFECT.TXT; do
    [ -e "$INSTALL/$file" ] && fail "the start after an unclean end purges $file"
done
wait_until 30 "button 1 to be enabled" stage_button_enabled 1
stage_button_enabled 2 && fail "nothing to assess after the purge"
press_quit_button
wait_program_end 60
[ "$(marker_text "$INSTALL/SHUTDOWN.DAT")" = '"NORMAL"' ] || fail "Quit writes NORMAL into the marker"
no_process_of "$STANDIN" || fail "no batch job is left running"
note "passed"
