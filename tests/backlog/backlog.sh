#!/usr/bin/env bash
# The backlog tool as a site runs it, on SDGs in a folder whose name quotes
# and markup would break.
#   backlog.sh run BIN-DIR DEMO-DIR SCHEMA
#     30 lines with CR LF ends, a comment and a blank line (copies of the
#     sample under new names, the malformed SDG, the two-diskette one, one
#     whose name the data load refuses), interrupted and resumed; every result
#     against the schema, the summary against the results, the report in
#     headless Chromium. Then the runner's every refusal against the schema.
#   backlog.sh submit BIN-DIR DEMO-DIR
#     `qelvrin-backlog submit` with a stand-in for sbatch: each task on a
#     drive in the scratch folder, removed at the end; the results name the
#     copies kept in OUTDIR, the last task writes the report, a resume submits
#     only what is missing, and a cancelled task keeps its logs.
set -uo pipefail
mode=$1 bin=$(realpath "$2") demo=$(realpath "$3")
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
mkdir "$tmp/bin" "$tmp/scratch"
cp "$(dirname "$0")/fake-sbatch" "$tmp/bin/sbatch"
# The tasks' scratch drives, qelvrin.*; GNU parallel may leave files of its own beside them.
drives_left() { ls -A "$TMPDIR" | grep '^qelvrin\.'; }
export PATH="$tmp/bin:$bin:$PATH" TMPDIR="$tmp/scratch" QELVRIN_STANDIN_PACE_MS=0 SBATCH_TASK_LOG="$tmp/tasks"
failed=0
differ() { echo "FAIL: $*"; failed=1; }
validate() {
    python3 - "$schema" "$@" <<'EOF' || differ "results the schema refuses"
import json, sys, jsonschema
validator = jsonschema.Draft202012Validator(json.load(open(sys.argv[1])))
bad = [f"{name}: {error.json_path}: {error.message}" for name in sys.argv[2:]
       for error in validator.iter_errors(json.load(open(name)))]
print("\n".join(bad)); sys.exit(1 if bad or len(sys.argv) < 3 else 0)
EOF
}
field() { jq -r "$1" "$2" 2>&1; }

sdgs="$tmp/SDGs of 'lab' \"7\" <i>"
mkdir -p "$sdgs/two" "$sdgs/bad"
cp -r "$demo/sdg" "$demo/malformed" "$demo/diskettes" "$sdgs/"

if [ "$mode" = submit ]; then
    printf '%s\n' "$sdgs/sdg/M23456.I01" "$sdgs/malformed/M34567.I01" \
        "$sdgs/diskettes/disk1/M12345.I01	$sdgs/diskettes/disk2/M12345.I04" "$sdgs/sdg/M23456.I01" >"$tmp/list.tsv"
    out="$tmp/out %a 'a'"
    qelvrin-backlog submit "$tmp/list.tsv" "$out" --time=10 >"$tmp/submit.out" 2>&1 || differ "submit: $(cat "$tmp/submit.out")"
    [ "$(sort -n "$SBATCH_TASK_LOG" | tr '\n' ,)" = "1 0,2 1,3 0,4 0," ] || differ "the task statuses: $(cat "$SBATCH_TASK_LOG")"
    for name in 1-M23456 2-M34567 3-M12345 4-M23456; do
        [ "$(jq -c .slurm "$out/results/$name.json")" = "{\"arrayJobId\":77,\"arrayTaskId\":${name%%-*},\"jobId\":$((77 + ${name%%-*}))}" ] ||
            differ "$name: slurm $(jq -c .slurm "$out/results/$name.json")"
        jq -r '.drive, .inputs[], (.stages[] | .log, .report) | select(. != null)' "$out/results/$name.json" | while read -r path; do
            [[ -e $path && $path = "$out"/* || $path = "$sdgs"/* ]] || echo "FAIL: $name names $path"
        done | grep FAIL && failed=1
        grep -q "line ${name%%-*} ($name) ended with exit status" "$out/logs/77_${name%%-*}.out" || differ "$name's task output"
    done
    [ -f "$out/outputs/3-M12345/TDEFECT.TXT" ] || differ "the defect report was not kept"
    [ -z "$(drives_left)" ] || differ "drives left in scratch: $(drives_left)"
    [ "$(tail -n +2 "$out/summary.tsv" | cut -f 1,3 | tr '\t\n' ':,')" = "1:0,2:1,3:0,4:0," ] || differ "the last task's summary: $(cat "$out/summary.tsv")"

    # A resume submits the line without a finished result, and only that one.
    rm "$out/results/3-M12345.json" "$out/summary.tsv" "$SBATCH_TASK_LOG"
    qelvrin-backlog resume "$out" >/dev/null 2>&1 || differ "resume through sbatch"
    [ "$(cat "$SBATCH_TASK_LOG")" = "3 0" ] || differ "resume ran the tasks $(cat "$SBATCH_TASK_LOG")"
    [ -f "$out/summary.tsv" ] || differ "the resumed array's last task wrote no report"

    # A task whose shell alone is told to end (scancel --batch) ends its runner,
    # keeps what the stage wrote and leaves no drive behind.
    SLURM_ARRAY_TASK_ID=1 QELVRIN_STANDIN_PACE_MS=20000 setsid qelvrin-backlog task "$out" 4 >"$tmp/task.out" 2>&1 &
    task=$!
    deadline=$((SECONDS + 60))
    until [ -n "$(find "$TMPDIR" -name DLOADJCL.LOG -size +0 2>/dev/null)" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
    kill -TERM "$task"
    wait "$task"
    status=$?
    [ $status -eq 130 ] || differ "the cancelled task ended with $status, not the runner's 130: $(cat "$tmp/task.out")"
    [ "$(jq -r '.stages[0].outcome' "$out/results/4-M23456.json")" = interrupted ] || differ "the cancelled task's result"
    [ -s "$out/outputs/4-M23456/DLOADJCL.LOG" ] || differ "the cancelled task did not keep the Data Load log"
    [ -z "$(ls -A "$TMPDIR")" ] || differ "the cancelled task left its drive: $(ls "$TMPDIR")"

    # Refused before anything is created or submitted: a missing file, an OUTDIR that exists.
    printf '%s\n' "$sdgs/sdg/M23456.I01" "" "$sdgs/sdg/M99999.I01" >"$tmp/missing.tsv"
    err=$(qelvrin-backlog submit "$tmp/missing.tsv" "$tmp/new" 2>&1)
    [ $? -eq 2 ] && [[ $err = *"line 3: no such file: $sdgs/sdg/M99999.I01"* ]] || differ "a missing file: $err"
    [ ! -e "$tmp/new" ] || differ "the refused submit created its OUTDIR"
    qelvrin-backlog submit "$tmp/list.tsv" "$out" >/dev/null 2>&1
    [ $? -eq 2 ] && [ "$(wc -l <"$SBATCH_TASK_LOG")" = 1 ] || differ "submitted into an OUTDIR that exists"
    exit $failed
fi

schema=$(realpath "$4")
printf 'x\r\n' >"$sdgs/bad/X<b>&'%1.I01"
copy() { # copy N: the sample as SDG M2N (N of four digits)
    mkdir "$sdgs/$1"
    cp "$demo/sdg/M23456.I01" "$sdgs/$1/M2$1.I01"
    cp "$demo/sdg/M23456.I02" "$sdgs/$1/M2$1.I02"
    echo "$sdgs/$1/M2$1.I01"
}
{
    echo "# lab 7, week 49"
    for n in $(seq 1001 1013); do copy "$n"; done
    echo
    echo "$sdgs/malformed/M34567.I01"
    printf '%s\t%s\n' "$sdgs/diskettes/disk1/M12345.I01" "$sdgs/diskettes/disk2/M12345.I04"
    echo "$sdgs/bad/X<b>&'%1.I01"
    for n in $(seq 1014 1027); do copy "$n"; done
} | sed 's/$/\r/' >"$tmp/list.tsv"
out="$tmp/out 'b' \"%A\""

# Interrupted as by Ctrl-C once a few lines are done, and resumed.
setsid qelvrin-backlog run "$tmp/list.tsv" "$out" --jobs 2 >"$tmp/run.out" 2>&1 &
run=$!
deadline=$((SECONDS + 120))
until [ "$(grep -l '"exitStatus":0' "$out"/results/*.json 2>/dev/null | wc -l)" -ge 4 ] || [ $SECONDS -ge $deadline ]; do sleep 0.2; done
kill -INT -- -"$run"
wait "$run"
status=$?
[ $status -eq 130 ] || differ "the interrupted run ended with $status, not 130: $(cat "$tmp/run.out")"
[ -z "$(drives_left)" ] || differ "the interrupted run left drives: $(drives_left)"
mkdir "$tmp/before"
cp "$out"/results/*.json "$tmp/before/"
[ "$(grep -l '"exitStatus":[012][,}]' "$tmp"/before/*.json | wc -l)" -lt 30 ] || differ "the run ended before the interruption"
ended0=$(cd "$out/results" && grep -l '"exitStatus":0' ./*.json | xargs md5sum)
qelvrin-backlog resume "$out" --jobs 2 >"$tmp/resume.out" 2>&1
status=$?
[ $status -eq 2 ] || differ "the resumed backlog ended with $status, not 2: $(cat "$tmp/resume.out")"
grep -qx '30 SDGs: 28 completed, 1 abnormal, 1 could not go ahead, 0 not finished' "$tmp/resume.out" ||
    differ "resume's counts: $(cat "$tmp/resume.out")"
(cd "$out/results" && md5sum --quiet -c <<<"$ended0") || differ "resume ran a line again that had ended with 0"

# Exactly one finished result per SDG line, every path in it there, none in scratch.
numbers=$(cd "$out/results" && ls ./*.json | sed 's|^\./\([0-9]*\)-.*|\1|' | sort -n | tr '\n' ' ')
[ "$numbers" = "$(echo {2..14} {16..32}) " ] || differ "results for lines: $numbers"
validate "$out"/results/*.json "$tmp"/before/*.json
grep -L '"exitStatus":\(0\|1\|2\)[,}]' "$out"/results/*.json | grep . && differ "results not finished"
jq -r '.drive, .inputs[], (.stages[] | .log, .report) | select(. != null)' "$out"/results/*.json | while read -r path; do
    [ -e "$path" ] || echo "FAIL: a result names $path, which is not there"
    [[ $path != "$TMPDIR"/* ]] || echo "FAIL: a result names the scratch drive: $path"
done | grep FAIL && failed=1
[ -z "$(drives_left)" ] || differ "drives left in scratch: $(drives_left)"
[ "$(field .cause "$out/results/16-M34567.json")" = 'ERROR: Record 16 of QELVDATA: field 5 (RESULT) "12..5" is not a number.' ] ||
    differ "the malformed SDG's cause: $(field .cause "$out/results/16-M34567.json")"
[ "$(field .errorCode "$out/results/18-X<b>&'%1.json")" = bad-sdg-name ] || differ "the refused name's result: $(cat "$out/results/18-X"*.json)"
[ "$(field '[.stages[].outcome] | join(" ")' "$out/results/17-M12345.json")" = "completed completed completed" ] || differ "the two-diskette SDG"

# summary.tsv, row by row, says what the results say.
[ "$(head -n 1 "$out/summary.tsv")" = "$(printf 'line\tsdg\texitStatus\tD\tI\tF\tcause\tstartedAt\tendedAt\tdurationMs\toutputs')" ] || differ "the summary's header"
[ "$(tail -n +2 "$out/summary.tsv" | wc -l)" = 30 ] || differ "the summary has not 30 rows"
tail -n +2 "$out/summary.tsv" | while IFS= read -r row; do
    folder=$(cut -f 11 <<<"$row")
    name=${folder##*/}
    expected=$(jq -r --arg name "$name" --arg folder "$folder" '[($name | sub("-.*"; "")), (.sdg // ($name | sub("^[0-9]+-"; ""))),
        (.exitStatus | tostring), (["D", "I", "F"][] as $s | [.stages[] | select(.stage == $s) | .outcome][0] // ""),
        ((.cause // .error // ([.stages[].reason | select(.)][0]) // "") | gsub("[\t\r\n]"; " ")),
        .startedAt, .endedAt, (.durationMs | tostring), $folder] | join("\t")' "$out/results/$name.json")
    [ "$row" = "$expected" ] || echo "FAIL: summary row '$row', the result says '$expected'"
done | grep FAIL && failed=1

# The report in a browser: 30 rows, coloured by outcome, the hostile name as text.
url=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$out/report.html")
chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking --disable-component-update \
    --disable-sync --user-data-dir="$tmp/chromium" --dump-dom "$url" >"$tmp/dom.html" 2>"$tmp/chromium.err"
[ "$(grep -c '^<tr class=' "$tmp/dom.html")" = 30 ] || differ "the report shows $(grep -c '^<tr class=' "$tmp/dom.html") rows, not 30: $(tail "$tmp/chromium.err")"
[ "$(grep -c '^<tr class="completed"' "$tmp/dom.html") $(grep -c '^<tr class="abnormal"' "$tmp/dom.html")" = "28 1" ] || differ "the report's colours"
grep -q '<b>' "$tmp/dom.html" && differ "a name in the report became markup"
grep -q 'ERROR: Record 16 of QELVDATA' "$tmp/dom.html" || differ "the report does not give the malformed SDG's cause"

# --failed runs the two that did not end with 0 again, and nothing else.
qelvrin-backlog resume "$out" --failed --jobs 2 >/dev/null 2>&1
(cd "$out/results" && md5sum --quiet -c <<<"$ended0") || differ "resume --failed ran a line again that had ended with 0"
[ "$out/results/16-M34567.json" -nt "$tmp/dom.html" ] || differ "resume --failed did not run the abnormal line again"

# Every refusal of the runner, a busy drive and a running job, by the schema.
mkdir -p "$tmp/codes/nowhere/SAS" && cd "$tmp/codes" || exit 1
ln -s /nonexistent/batch nowhere/SAS/SAS.EXE
expect_code() { # expect_code CODE ARGUMENT...: the runner's JSON gives CODE
    local code=$1
    shift
    qelvrin-batch --json "$@" >"$code.json" 2>/dev/null
    [ "$(field .errorCode "$code.json")" = "$code" ] || differ "qelvrin-batch $*: $(cat "$code.json")"
}
expect_code usage --bogus
expect_code bad-path --drive $'\xff' "$sdgs/1001/M21001.I01"
expect_code missing-file --drive d1 "$sdgs/none.I01"
expect_code bad-sdg-name --drive d2 "$sdgs/bad/X<b>&'%1.I01"
expect_code diskette-folder-repeated --drive d3 "$sdgs/1001/M21001.I01" "$sdgs/1001/M21001.I02"
expect_code not-prepared --drive d4 --stages I
expect_code processor-not-started --drive nowhere "$sdgs/1001/M21001.I01"
slow() { # slow DRIVE: a runner in its Data Load stage on DRIVE, its JSON in DRIVE.json
    QELVRIN_STANDIN_PACE_MS=20000 qelvrin-batch --json --drive "$1" "$sdgs/1001/M21001.I01" >"$1.json" 2>/dev/null &
    slow=$!
    deadline=$((SECONDS + 60))
    until [ -s "$1/QELVRIN/DLOADJCL.LOG" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
}
slow busy
expect_code drive-busy --drive busy "$sdgs/1001/M21001.I01"
kill -INT "$slow"
wait "$slow"
[ "$(field .stages[0].outcome busy.json)" = interrupted ] || differ "the interrupted runner: $(cat busy.json)"
# A runner killed outright leaves its stage's job running on the drive.
slow killed
kill -KILL "$slow"
wait "$slow"
rm killed.json
expect_code job-running --drive killed "$sdgs/1001/M21001.I01"
kill -TERM -- -"$(cut -d ' ' -f 2 killed/QELVRIN/BATCHJOB.DAT)"
validate ./*.json
exit $failed
