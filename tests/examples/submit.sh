#!/usr/bin/env bash
# `qelvrin-backlog submit` with a stand-in for sbatch: each task on a drive in
# the scratch folder, removed at the end; the results name the copies kept in
# OUTDIR, the last task writes the report, a resume submits only what is
# missing, and a cancelled task keeps its logs.
#   submit.sh BIN-DIR DEMO-DIR
set -uo pipefail
bin=$1 demo=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
mkdir "$tmp/bin" "$tmp/scratch"
cp "$here/fake-sbatch" "$tmp/bin/sbatch"
export PATH="$tmp/bin:$bin:$PATH" TMPDIR="$tmp/scratch" QELVRIN_STANDIN_PACE_MS=0 SBATCH_TASK_LOG="$tmp/tasks"
failed=0
differ() { echo "FAIL: $*"; failed=1; }

sdgs="$tmp/SDGs of 'lab' \"two\""
mkdir "$sdgs"
cp -r "$demo/sdg" "$demo/malformed" "$demo/diskettes" "$sdgs/"
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
[ -z "$(ls -A "$TMPDIR")" ] || differ "drives left in scratch: $(ls "$TMPDIR")"
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
