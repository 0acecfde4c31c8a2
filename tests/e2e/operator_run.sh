#!/bin/bash
# An operator's whole working session with qelvrin under Xvfb: the
# two-diskette sample through Data Load, Initial and Full Assessment, then the
# Full Assessment report read, searched and printed in the viewer, and Exit.
# The files left on the drive are checked at the end; a screenshot of every
# step is kept.
#
#   operator_run.sh BIN_DIR ARTIFACTS_DIR SAMPLE_DIR
#
# BIN_DIR holds qelvrin and qelvrin-sas, SAMPLE_DIR the diskettes disk1 and
# disk2 of the sample.

BIN=$1
ARTIFACTS=$2
SAMPLE=$3
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/main_window.sh"
source "$(dirname "$0")/checks.sh"
setup
# Slow enough that the completion bar is seen on its way.
export QELVRIN_STANDIN_PACE_MS=3000

FLOPPY="$WORK/floppy"
PRINTED="$HOME/qelvrin-print.pdf"

insert_diskette() {
    rm -rf "$FLOPPY"
    mkdir -p "$FLOPPY"
    cp "$SAMPLE/$1"/* "$FLOPPY/"
}

# --- Start on a fresh drive with diskette drive A:
insert_diskette disk1
start_program qelvrin --drive "$DRIVE" --drive-a "$FLOPPY"
find_main_window
screenshot started
[ "$(marker_text "$INSTALL/SHUTDOWN.DAT")" = '"ABNORMAL"' ] || fail "a running program's marker reads ABNORMAL"

# --- 1: Data Load from two diskettes
press_stage_button 1
choose_file "$FLOPPY/M12345.I01"
wait_window '^Continue\?$' 60
screenshot another-disk-question
insert_diskette disk2
press "$WINDOW" alt+y
choose_file "$FLOPPY/M12345.I04"
wait_window '^Continue\?$' 60
press "$WINDOW" alt+n
wait_title "$MAIN" "Inorganic PC-VQS [ SDG: M12345 ]" 30
wait_until 60 "the completion bar to fill" completion_bar_filled
screenshot data-load-running
expect_outcome normal data-load-done

# --- 2 and 3: the assessments
press_stage_button 2
expect_outcome normal initial-assessment-done
press_stage_button 3
expect_outcome normal full-assessment-done
[ -z "$(xdotool search --onlyvisible --name 'LOG line' 2>/dev/null)" ] || fail "no log opens after normal ends"

# --- View, Full Assessment Report
press "$MAIN" alt+v
wait_menu_open
screenshot view-menu
menu_keys f
wait_window '^TDEFECT\.TXT line 1 of [0-9]+$' 60
VIEWER=$WINDOW
LINES=$(window_title "$VIEWER" | sed 's/.* of //')
screenshot report-open

# --- Search for "Frequency", then F3 for the next hit. The hits are counted
# from the report itself, as the operator would find them with grep.
mapfile -t HITS < <(grep -n -i 'frequency' "$INSTALL/TDEFECT.TXT" | cut -d: -f1 | awk '$1 > 1')
[ "${#HITS[@]}" -ge 2 ] || fail "the report holds at least two frequency lines after the first"
press "$VIEWER" alt+s
wait_window '^QELVRIN: Search$' 30
type_into "$WINDOW" "Frequency"
screenshot search-text
press "$WINDOW" Return
wait_title "$VIEWER" "TDEFECT.TXT line ${HITS[0]} of $LINES" 30
screenshot first-hit
press "$VIEWER" F3
wait_title "$VIEWER" "TDEFECT.TXT line ${HITS[1]} of $LINES" 30
screenshot next-hit

# --- Print to the PDF file the print dialog offers
press "$VIEWER" alt+p
wait_window '^Print$' 30
screenshot print-dialog
press "$WINDOW" Return
wait_window '^QELVRIN: Print$' 120
screenshot printed
press "$WINDOW" Return
wait_window_gone "$WINDOW" "the print message" 30
wait_title "$VIEWER" "TDEFECT.TXT line ${HITS[1]} of $LINES" 30
[ -s "$PRINTED" ] || fail "the printout $PRINTED exists"
cp "$PRINTED" "$ARTIFACTS/printed-report.pdf"

# --- Close the viewer, then Exit
press "$VIEWER" alt+x
wait_window_gone "$VIEWER" "the viewer" 30
screenshot viewer-closed
press "$MAIN" alt+f
wait_menu_open
menu_keys x
wait_program_end 60

# --- The files left on the drive
note "checking the drive"
[ "$(marker_text "$INSTALL/SHUTDOWN.DAT")" = '"NORMAL"' ] || fail "Exit writes NORMAL into the marker"
for file in DLOADJCL.LOG IASMTJCL.LOG FASMTJCL.LOG SDEFECT.TXT TDEFECT.TXT; do
    [ -s "$INSTALL/$file" ] || fail "$file is there and not empty"
done
for file in DLOADJCL.LOG IASMTJCL.LOG FASMTJCL.LOG; do
    ! grep -q -i -E 'stopped|memory|not found|aborted' "$INSTALL/$file" || fail "$file tells of no failure"
done
grep -q $'\f' "$INSTALL/TDEFECT.TXT" || fail "the report has more than one page"
check_data_file "$SAMPLE" "$INSTALL/QELVDATA"
check_printout "$ARTIFACTS/printed-report.pdf" "$INSTALL/TDEFECT.TXT"
no_process_of "$DRIVE/SAS/SAS.EXE" || fail "no stand-in runs after Exit"
note "passed"
