#!/bin/sh
# A manual page must name every long option, and for a program with commands
# every command, that the built program's --help lists.
# Usage: manpage_test.sh <program> <roff page> [commands]
set -eu
program=$1
page=$2
what=${3:-options}
[ -f "$page" ] || { echo "FAIL: no manual page $page" >&2; exit 1; }

help=$(QT_QPA_PLATFORM=offscreen "$program" --help 2>&1)
# The page's words without roff's font changes and escapes.
text=$(sed -e 's/\\f[BIRP]//g' -e 's/\\&//g' -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" "$page")

if [ "$what" = commands ]; then
    # The commands are the first words of the indented lines under a heading
    # that ends in "commands" (CLI11 writes SUBCOMMANDS:), up to a blank line,
    # and the headings of the per-command sections ("dump:").
    names=$(printf '%s\n' "$help" | awk '
        tolower($0) ~ /^[a-z ]*commands:?[ \t]*$/ { inside = 1; next }
        /^[a-z][a-z-]*:[ \t]*$/ { sub(/:.*/, ""); print; next }
        inside && /^[ \t]*$/ { inside = 0 }
        inside && /^[ \t]+[a-z]/ { print $1 }
        inside && /^[^ \t]/ { inside = 0 }' | sort -u)
else
    names=$(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
fi
[ -n "$names" ] || { echo "FAIL: found no $what in $program --help" >&2; exit 1; }

missing=""
for name in $names; do
    printf '%s\n' "$text" | grep -qw -- "$name" || missing="$missing $name"
done
if [ -n "$missing" ]; then
    echo "FAIL: $(basename "$page") does not mention:$missing" >&2
    exit 1
fi
echo "$(basename "$page"): mentions every one of" $names
