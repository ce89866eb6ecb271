#!/bin/sh
# Checks the manual page against the program: every option that --help
# lists is described, the header names the program's version, and groff
# (when present) reads the page without a warning.
#   man_page_test.sh PAGE PROGRAM
set -eu
page=$1
program=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

text=$(sed 's/\\-/-/g; s/\\f[BIR]//g' "$page")
for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    printf '%s\n' "$text" | grep -q -- "$option" || fail "option $option is not in the manual page"
done
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES; do
    grep -q "^\.SH \"*$section" "$page" || fail "section $section missing"
done
version=$("$program" --version | sed -n '1s/.* //p')
grep -q "^\.TH .* \"Hashmere $version\"" "$page" || fail "the page's header does not name version $version"
if command -v groff >/dev/null 2>&1; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff: $warnings"
fi
echo "manual page ok"
