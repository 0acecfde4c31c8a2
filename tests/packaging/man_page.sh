#!/usr/bin/env bash
# Keeps a manual page and the program from drifting apart: every long option
# that --help prints is in the page and every option in the page is one that
# --help prints; every QELVRIN_ environment variable that the given sources
# read is in the page.
#   man_page.sh PROGRAM PAGE SOURCE-DIR...
set -euo pipefail
program=$1 page=$2
shift 2

help_options=$(QT_QPA_PLATFORM=offscreen "$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
[ -n "$help_options" ] || { echo "$program --help printed no option"; exit 1; }
page_text=$(sed 's/\\-/-/g' "$page")
page_options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$page_text" | sort -u)

status=0
for option in $help_options; do
    grep -qx -- "$option" <<<"$page_options" || { echo "$page does not describe $option"; status=1; }
done
for option in $page_options; do
    grep -qx -- "$option" <<<"$help_options" || { echo "$page describes $option, which $program --help does not know"; status=1; }
done
for variable in $(grep -rohE '"QELVRIN_[A-Z_]+"' --include='*.cpp' "$@" | tr -d '"' | sort -u); do
    grep -qw -- "$variable" <<<"$page_text" || { echo "$page does not describe $variable"; status=1; }
done
exit $status
