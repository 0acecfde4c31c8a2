# Checks of the files a session leaves, on top of lib.sh.

# Lines of files without their line ends, each file's last line kept even
# without one.
plain_lines() {
    local file
    for file in "$@"; do
        tr -d '\r' <"$file" | awk '1'
    done
}

# Every line of the data file ends in CR LF, the lines of the first diskette
# come first (in whatever order the directory lists its files), the second
# diskette's after them, and nothing else.
#   check_data_file SAMPLE_DIR DATA_FILE
check_data_file() {
    local sample=$1 data=$2
    [ -s "$data" ] || fail "the data file $data is there"
    local lines crlf
    lines=$(tr -cd '\n' <"$data" | wc -c)
    crlf=$(grep -c $'\r$' "$data")
    [ "$lines" -eq "$crlf" ] || fail "every line of the data file ends in CR LF ($crlf of $lines)"
    [ "$(tail -c 2 "$data" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the data file ends with a line end"
    [ "$(tr -cd '\r' <"$data" | wc -c)" -eq "$lines" ] || fail "the data file holds no lone CR"

    local second first_count
    second=$(plain_lines "$sample"/disk2/*)
    first_count=$(plain_lines "$sample"/disk1/* | wc -l)
    [ "$(plain_lines "$data" | head -n "$first_count" | sort)" = "$(plain_lines "$sample"/disk1/* | sort)" ] ||
        fail "the data file begins with the lines of the first diskette"
    [ "$(plain_lines "$data" | tail -n +"$((first_count + 1))")" = "$second" ] ||
        fail "the data file goes on with the lines of the second diskette, and nothing else"
}

# Blanks squeezed, so a line compares with the text a PDF gives back.
squeezed() {
    tr -s ' \t' ' ' | sed 's/^ //; s/ $//'
}

# The printout has at least the report's pages and holds its first and last
# lines of text, as far as a line fits across the paper.
#   check_printout PDF REPORT
check_printout() {
    local pdf=$1 report=$2
    local pages report_pages
    pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages:[[:space:]]*//p')
    [ -n "$pages" ] || fail "pdfinfo reads the printout $pdf"
    report_pages=$(($(tr -cd '\f' <"$report" | wc -c) + 1))
    [ "$pages" -ge "$report_pages" ] || fail "the printout has $pages pages, the report $report_pages"

    local text first last
    text=$(pdftotext -layout "$pdf" - | squeezed)
    first=$(plain_lines "$report" | tr -d '\f' | cut -c 1-60 | squeezed | grep -m1 .)
    last=$(plain_lines "$report" | tr -d '\f' | cut -c 1-60 | squeezed | grep . | tail -n 1)
    grep -qF -- "$first" <<<"$text" || fail "the printout holds the report's first line '$first'"
    grep -qF -- "$last" <<<"$text" || fail "the printout holds the report's last line '$last'"
}
