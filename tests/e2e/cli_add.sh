#!/usr/bin/env bash
# tandu-cli prefs, add, add-list and add-seq in a private program folder:
# the bytes they write, their messages and their exit statuses.
set -uo pipefail
program_dir=$1
[ -x "$program_dir/tandu-cli" ] || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program_dir/tandu-cli" "$work/"
mkdir -p "$work/definitions" "$work/dl" "$work/other"
cli="$work/tandu-cli"
failures=0

check() {  # description, expected, actual
    [ "$2" = "$3" ] || { printf 'FAIL: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"; failures=$((failures + 1)); }
}
status() {  # runs the command, answers its exit status
    "$@" >"$work/out" 2>"$work/err"
    echo $?
}
crlf() { printf '%s\r\n' "$@"; }

cd "$work/other"

# prefs: defaults while there is no settings file, then written as given.
check "prefs shows the defaults" 0 "$(status "$cli" prefs)"
check "prefs defaults" "connections: 4 buffer: 512KB" "$(grep -E '^(conn|buf)' "$work/out" | xargs)"
check "prefs writes" 0 "$(status "$cli" prefs -n 6 -d "$work/dl" -b 1024)"
check "config.cfg bytes" "$(crlf 1.0 6 "$work/dl" 1024KB)" "$(cat "$work/config.cfg")"
check "prefs starts at once" 0 "$(status "$cli" prefs --start-at-once on)"
check "shown on" "start at once: on" "$(status "$cli" prefs >/dev/null; grep '^start' "$work/out")"
check "config.cfg with it" "$(crlf 1.0 6 "$work/dl" 1024KB 1 StartAtOnce=1)" "$(cat "$work/config.cfg")"
check "prefs off again" "$(crlf 1.0 6 "$work/dl" 1024KB)" "$("$cli" prefs --start-at-once off; cat "$work/config.cfg")"
check "prefs refuses a folder that does not exist" 1 "$(status "$cli" prefs -d "$work/new")"
check "Wrong Folder message" "Wrong Folder: Destination folder is invalid." "$(cat "$work/err")"
check "the tested folder is not left behind" no "$([ -e "$work/new" ] && echo left || echo no)"

# add: the settings' default folder and connections, or -d / -n.
check "add" 0 "$(status "$cli" add "http://h/a.zip " "http://h/a.zip")"
check "definition, link untrimmed" "$(crlf a.zip Waiting "http://h/a.zip " "$work/dl/" 6)" \
    "$(cat "$work/definitions/a.zip.def")"
check "second equal name numbered" "a (2).zip" "$(head -n1 "$work/definitions/a (2).zip.def" | tr -d '\r')"
check "add -d -n" 0 "$(status "$cli" add http://h/b.bin -d "$work/other" -n 2)"
check "definition with -d -n" "$(crlf b.bin Waiting http://h/b.bin "$work/other/" 2)" \
    "$(cat "$work/definitions/b.bin.def")"
check "control character refused" 1 "$(status "$cli" add "$(printf 'http://h/t\tab.zip')")"
check "Invalid URL message" "Invalid URL: Please set a valid URL." "$(cat "$work/err")"

# add-seq: zero padding and every "#".
check "add-seq" 0 "$(status "$cli" add-seq "http://h/v#/p#.rar" 8 11 -w 2)"
check "sequence" "p08.rar p09.rar p10.rar p11.rar" "$(cd "$work/definitions" && ls p*.rar.def | sed 's/.def$//' | xargs)"
check "sequence 09" "$(crlf p09.rar Waiting http://h/v09/p09.rar "$work/dl/" 6)" "$(cat "$work/definitions/p09.rar.def")"
check "add-seq start after end" 1 "$(status "$cli" add-seq "http://h/#.x" 3 1)"
check "start/end message" "Error: The start number must be less than the finish number." \
    "$(cat "$work/err")"
check "add-seq start below the range" 1 "$(status "$cli" add-seq "http://h/#.x" -32769 0)"
check "range message" "Invalid: Start and End must be numbers from -32768 to 32767." \
    "$(cat "$work/err")"

# add-list: standard input and a file, each line trimmed; blank lines skipped.
check "add-list stdin" 0 "$(printf '  http://h/l1.txt  \n\nhttp://h/l2.txt\n' |
    status "$cli" add-list - -d "$work/other")"
check "list line trimmed" "$(crlf l1.txt Waiting http://h/l1.txt "$work/other/" 6)" \
    "$(cat "$work/definitions/l1.txt.def")"
printf 'http://h/f1.iso\r\nhttp://h/f2.iso\r\n' >"$work/list.txt"
check "add-list file" 0 "$(status "$cli" add-list "$work/list.txt")"
check "add-list file rows" "2" "$(ls "$work/definitions" | grep -c '^f[12].iso.def$')"
check "add-list missing file" 1 "$(status "$cli" add-list "$work/none.txt")"

# Usage errors, and junk that must add nothing.
while read -r -a args; do
    check "usage: ${args[*]}" 2 "$(status "$cli" "${args[@]//\'\'/}")"
done <<'USAGE'
add
add http://h/x -n 17
add http://h/x --bogus
add-seq http://h/#.x 1
prefs -b lots
prefs -b 2000000KB
prefs --start-at-once yes
add http://h/e.zip -d ''
add-seq http://h/j#.x abc 2
add-seq http://h/j#.x 1 2 -w -5
USAGE
check "junk adds nothing" "" "$(ls "$work/definitions" | grep '^[je]')"

# A missing definitions folder, or a file in its place, is named; nothing is written.
mv "$work/definitions" "$work/defs-away"
check "no definitions folder" 1 "$(status "$cli" add http://h/z.zip)"
check "the folder named, not made" "1 no" "$(grep -c "$work/definitions/" "$work/err") $([ -e "$work/definitions" ] && echo made || echo no)"
echo mine >"$work/definitions"
check "a file for a folder" 1 "$(status "$cli" add http://h/z.zip)"
check "the file named, kept" "1 mine" "$(grep -c "$work/definitions/" "$work/err") $(cat "$work/definitions")"
check "nothing beside it" "config.cfg definitions defs-away dl list.txt other tandu-cli tempdata.dat" "$(ls "$work" | grep -v '^out$\|^err$' | xargs)"

echo "cli_add: $failures failure(s)"
[ "$failures" -eq 0 ]
