#!/usr/bin/env bash
# Runs the shipped many-SDG examples (GNU parallel, xargs, and the job array
# with a stand-in for sbatch) over the demo's SDGs, copied under a folder
# whose name holds blanks and quotes, from a list that names one SDG twice.
#   run_examples.sh BATCH-BIN-DIR EXAMPLES-DIR DEMO-DIR
set -uo pipefail
bin=$1 examples=$2 demo=$3
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
export PATH="$bin:$PATH" QELVRIN_STANDIN_PACE_MS=0

failed=0
differ() {
    echo "FAIL: $*"
    failed=1
}

sdgs="$tmp/SDGs of 'lab' \"two\""
mkdir "$sdgs"
cp -r "$demo/sdg" "$demo/malformed" "$demo/diskettes" "$sdgs/"
list="$tmp/sdg list.tsv"
printf '%s\n' "$sdgs/sdg/M23456.I01" "$sdgs/malformed/M34567.I01" \
    "$sdgs/diskettes/disk1/M12345.I01	$sdgs/diskettes/disk2/M12345.I04" \
    "$sdgs/sdg/M23456.I01" >"$list"

# expect_result OUTDIR LINE NAME STATUS OUTCOMES: the JSON result of one line.
expect_result() {
    local result="$1/results/$2-$3.json" got
    got=$(jq -r '[.exitStatus, (.stages | map(.stage + "=" + .outcome) | join(" "))] | join(" ")' "$result" 2>&1)
    [ "$got" = "$4 $5" ] || differ "$result: '$got', not '$4 $5'"
}
# expect_runs OUTDIR DRIVES: the four lines' results, each from a drive of its own.
expect_runs() {
    local out=$1 drives=$2
    expect_result "$out" 1 M23456 0 "D=completed I=completed F=completed"
    expect_result "$out" 2 M34567 1 "D=abnormal"
    expect_result "$out" 3 M12345 0 "D=completed I=completed F=completed"
    expect_result "$out" 4 M23456 0 "D=completed I=completed F=completed"
    local failure
    failure=$(jq -r '.stages[0].failureLineNumber' "$out/results/2-M34567.json" 2>&1)
    [ "$failure" = 16 ] || differ "$out: the malformed SDG's failure line is '$failure', not 16"
    grep -q 'load another disk.* Yes' "$out/results/3-M12345.log" ||
        differ "$out: the second diskette was not loaded: $(cat "$out/results/3-M12345.log")"
    local shared
    shared=$(jq -r .drive "$out"/results/*.json | sort | uniq -d)
    [ -z "$shared" ] || differ "$out: two lines ran on $shared"
    [ "$(jq -r .drive "$out"/results/*.json | grep -c "^$drives/")" = 4 ] ||
        differ "$out: not every line ran in $drives: $(jq -r .drive "$out"/results/*.json)"
}

out="$tmp/by parallel 'p'"
"$examples/qelvrin-parallel" "$list" "$out" 2
status=$?
[ $status -eq 1 ] || differ "qelvrin-parallel exited with $status, not 1 (one run failed)"
expect_runs "$out" "$out/drives"
[ "$(tail -n +2 "$out/results/jobs.tsv" | cut -f1,7 | sort -n | tr '\t\n' ': ')" = "1:0 2:1 3:0 4:0 " ] ||
    differ "parallel's job log: $(cat "$out/results/jobs.tsv")"

out="$tmp/by xargs 'x'"
"$examples/qelvrin-xargs" "$list" "$out" 2
status=$?
[ $status -eq 123 ] || differ "qelvrin-xargs exited with $status, not 123 (one run failed)"
expect_runs "$out" "$out/drives"

# The array with sbatch's stand-in: each task on a drive of its own in the
# scratch folder, removed at the end, outputs copied back.
mkdir "$tmp/bin" "$tmp/scratch"
cp "$here/fake-sbatch" "$tmp/bin/sbatch"
export SBATCH_TASK_LOG="$tmp/tasks"
out="$tmp/by array 'a'"
(cd "$tmp" && PATH="$tmp/bin:$PATH" TMPDIR="$tmp/scratch" "$examples/qelvrin-array" "$list" "$out" >/dev/null)
[ "$(sort -n "$SBATCH_TASK_LOG" | tr '\n' ,)" = "1 0,2 1,3 0,4 0," ] ||
    differ "the array's task statuses: $(cat "$SBATCH_TASK_LOG")"
expect_runs "$out" "$tmp/scratch"
[ -z "$(ls -A "$tmp/scratch")" ] || differ "drives left in the scratch folder: $(ls -A "$tmp/scratch")"
for name in 1-M23456 3-M12345 4-M23456; do
    for file in DLOADJCL.LOG IASMTJCL.LOG FASMTJCL.LOG SDEFECT.TXT TDEFECT.TXT; do
        [ -f "$out/outputs/$name/$file" ] || differ "array line $name: $file not copied back"
    done
done
grep -q 'ended with exit status 1' "$out/logs/77_2.out" || differ "array task 2's output: $(cat "$out/logs/77_2.out")"

# A task whose shell alone is told to end (scancel --batch) ends its runner,
# copies back what the stage wrote and leaves no drive behind.
out="$tmp/cancelled"
mkdir "$out" "$out/logs" "$out/results" "$out/outputs"
printf '%s\n' "$sdgs/sdg/M23456.I01" >"$out/sdg-list"
# In a session of its own, so that a runner the task left behind can be ended.
SLURM_ARRAY_TASK_ID=1 TMPDIR="$tmp/scratch" QELVRIN_STANDIN_PACE_MS=20000 \
    setsid "$examples/qelvrin-array" --task "$out" >"$out/logs/task.out" 2>&1 &
task=$!
trap 'kill -KILL -- -"$task" 2>/dev/null; rm -rf -- "$tmp"' EXIT
deadline=$((SECONDS + 60))
until [ -n "$(find "$tmp/scratch" -name DLOADJCL.LOG -size +0 2>/dev/null)" ] || [ $SECONDS -ge $deadline ]; do
    sleep 0.1
done
kill -TERM "$task"
deadline=$((SECONDS + 30))
while kill -0 "$task" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
kill -0 "$task" 2>/dev/null && differ "the cancelled task did not end within 30 s"
wait "$task"
status=$?
[ $status -eq 130 ] || differ "the cancelled task ended with $status, not the runner's 130: $(cat "$out/logs/task.out")"
grep -q '"outcome":"interrupted"' "$out/results/1-M23456.json" || differ "the cancelled task's result: $(cat "$out/results/1-M23456.json")"
[ -s "$out/outputs/1-M23456/DLOADJCL.LOG" ] || differ "the cancelled task did not copy back the Data Load log"
[ -z "$(ls -A "$tmp/scratch")" ] || differ "the cancelled task left its drive: $(ls -A "$tmp/scratch")"

# What the submit refuses, before creating anything: a line naming a file
# that is not there, an empty line, an OUTDIR that exists.
refused() {
    local what=$1 list=$2 out=$3 err
    err=$(cd "$tmp" && PATH="$tmp/bin:$PATH" "$examples/qelvrin-array" "$list" "$out" 2>&1 >/dev/null)
    local status=$?
    [ $status -ne 0 ] || differ "the array took $what"
    [ -n "$err" ] || differ "the array refused $what without a word"
}
printf '%s\n' "$sdgs/sdg/M23456.I01" "$sdgs/sdg/M99999.I01" >"$tmp/missing.tsv"
refused "a missing file" "$tmp/missing.tsv" "$tmp/out missing"
[ ! -e "$tmp/out missing" ] || differ "the refused array created its OUTDIR"
printf '%s\n' "$sdgs/sdg/M23456.I01" "" >"$tmp/empty.tsv"
refused "an empty line" "$tmp/empty.tsv" "$tmp/out empty"
tasks_before=$(wc -l <"$SBATCH_TASK_LOG")
refused "an OUTDIR that exists" "$list" "$out"
[ "$(wc -l <"$SBATCH_TASK_LOG")" = "$tasks_before" ] || differ "the array ran into an OUTDIR that existed"

exit $failed
