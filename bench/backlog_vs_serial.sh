#!/usr/bin/env bash
# Time for a backlog of SDGS copies of the sample SDG (default 30): through
# `qelvrin-backlog run --jobs JOBS` (default 2), and with one qelvrin-batch
# after another on a drive of its own. Prints both figures. The stand-in
# paces its stages as QELVRIN_STANDIN_PACE_MS says (unset: its own pace).
#   bench/backlog_vs_serial.sh BIN-DIR DEMO-DIR [SDGS] [JOBS]
set -euo pipefail
bin=$1 demo=$2 count=${3:-30} jobs=${4:-2}
tmp=$(mktemp -d)
trap 'rm -rf -- "$tmp"' EXIT
export PATH="$bin:$PATH" TMPDIR="$tmp/scratch"
mkdir "$TMPDIR"
for ((n = 1001; n < 1001 + count; n++)); do
    mkdir "$tmp/$n"
    cp "$demo/sdg/M23456.I01" "$tmp/$n/M2$n.I01"
    cp "$demo/sdg/M23456.I02" "$tmp/$n/M2$n.I02"
    echo "$tmp/$n/M2$n.I01"
done >"$tmp/list.tsv"
now() { date +%s.%N; }
start=$(now)
qelvrin-backlog run "$tmp/list.tsv" "$tmp/out" --jobs "$jobs" >/dev/null || true
backlog=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')
start=$(now)
while read -r file; do
    qelvrin-batch --json --drive "$tmp/serial/$(basename "$file" .I01)" "$file" >/dev/null 2>&1 || true
done <"$tmp/list.tsv"
serial=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')
echo "backlog of $count SDGs: qelvrin-backlog run --jobs $jobs ${backlog} s; one qelvrin-batch after another ${serial} s ($(nproc) cores)"
