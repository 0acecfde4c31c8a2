#!/bin/bash
# An operator's working session under Xvfb: the two-diskette sample, typed
# as DOS names, through the three stages, the Full Assessment report
# searched (F3 too) and printed to the PDF file offered, then Exit.
#   operator_run.sh BIN_DIR ARTIFACTS_DIR SAMPLE_DIR   (SAMPLE_DIR: disk1, disk2)

BIN=$1 ARTIFACTS=$2 SAMPLE=$3
source "$(dirname "$0")/lib.sh"
setup
FLOPPY="$WORK/floppy"
PRINTED="$HOME/Documents/TDEFECT.pdf"

insert_diskette() {
    rm -rf "$FLOPPY" && mkdir -p "$FLOPPY" && cp "$SAMPLE/$1"/* "$FLOPPY/"
}

insert_diskette disk1
mkdir -p "$HOME/Documents"
start_program qelvrin --drive "$DRIVE" --drive-a "$FLOPPY"

screenshot started
marker_is ABNORMAL

# --- Data Load from two diskettes, then the assessments
menu_item "$MAIN" r d
choose_file 'A:\M12345.I01'
wait_window '^Continue\?$' 60
screenshot another-disk-question
insert_diskette disk2
press "$WINDOW" alt+y
choose_file 'a:\m12345.i04'
wait_window '^Continue\?$' 60
press "$WINDOW" alt+n
wait_title "$MAIN" "Inorganic PC-VQS [ SDG: M12345 ]" 30
screenshot data-load-running
expect_outcome data-load-done
menu_item "$MAIN" r i
expect_outcome initial-assessment-done
menu_item "$MAIN" r f
expect_outcome full-assessment-done

# --- View, Full Assessment Report; search "Frequency", then F3. The hits
# are counted from the report itself.
menu_item "$MAIN" v f
wait_window '^TDEFECT\.TXT line 1 of [0-9]+$' 60
VIEWER=$WINDOW
LINES=$(xdotool getwindowname "$VIEWER" | sed 's/.* of //')
mapfile -t HITS < <(grep -n -i 'frequency' "$INSTALL/TDEFECT.TXT" | cut -d: -f1 | awk '$1 > 1')
[ "${#HITS[@]}" -ge 2 ] || fail "the report holds two frequency lines after the first"
press "$VIEWER" alt+s
wait_window '^QELVRIN: Search$' 30
xdotool windowfocus --sync "$WINDOW" && xdotool type --delay 20 Frequency || fail "typing the search text"
press "$WINDOW" Return
wait_title "$VIEWER" "TDEFECT.TXT line ${HITS[0]} of $LINES" 30
press "$VIEWER" F3
wait_title "$VIEWER" "TDEFECT.TXT line ${HITS[1]} of $LINES" 30
screenshot next-hit

# --- Print to the PDF file the print dialog offers
press "$VIEWER" alt+p
wait_window '^Print$' 30
press "$WINDOW" Return
wait_window '^QELVRIN: Print$' 120
screenshot printed
press "$WINDOW" Return
wait_window_gone "$WINDOW" "the print message"
cp "$PRINTED" "$ARTIFACTS/printed-report.pdf" || fail "the printout $PRINTED exists"
pages=$(pdfinfo "$PRINTED" | sed -n 's/^Pages:[[:space:]]*//p')
pdfinfo "$PRINTED" | grep -qx 'Title: *TDEFECT.TXT' || fail "the printout's title is the report's name"
[ "$pages" -gt "$(tr -cd '\f' <"$INSTALL/TDEFECT.TXT" | wc -c)" ] || fail "every page of the report is printed ($pages)"

# --- Close the viewer, then Exit
press "$VIEWER" alt+x
wait_window_gone "$VIEWER" "the viewer"
menu_item "$MAIN" f x
wait_program_end
marker_is NORMAL
[ -z "$(processes_of "$DRIVE/SAS/SAS.EXE")" ] || fail "no stand-in runs after Exit"
echo "--- passed"
