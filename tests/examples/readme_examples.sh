#!/usr/bin/env bash
# Keeps the README's copies of the example scripts and the shipped files in
# step: each code block that follows a line "<!-- file: examples/NAME -->"
# must be the file NAME, to the byte.
#   readme_examples.sh README EXAMPLES-DIR
set -euo pipefail
readme=$1 examples=$2
names=$(sed -n 's/^<!-- file: examples\/\([A-Za-z0-9_.-]*\) -->$/\1/p' "$readme")
[ -n "$names" ] || { echo "$readme shows no example file"; exit 1; }
status=0
for name in $names; do
    # The indented block after the marker, without its indent.
    shown=$(awk -v marker="<!-- file: examples/$name -->" '
        $0 == marker { inside = 1; next }
        inside && /^    / { print substr($0, 5); seen = 1; next }
        inside && /^$/ { if (seen) print ""; next }
        inside && seen { exit }' "$readme")
    if ! diff -u "$examples/$name" <(printf '%s\n' "$shown") >/dev/null; then
        echo "$readme's copy of examples/$name differs from the file:"
        diff -u "$examples/$name" <(printf '%s\n' "$shown") || true
        status=1
    fi
done
exit $status
