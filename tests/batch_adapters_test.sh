#!/usr/bin/env bash
# The batch adapters: notepad opens nothing and succeeds; wgnuplot renders a
# script into one PNG picture beside it, whatever the file and folder names
# hold and whatever the locale, and on a failure leaves no picture (not even
# an earlier one) and says so in a line of its own.
# Arguments: program path, source dir, build dir. Exit 77: gnuplot missing.
set -u
source_dir=$2
notepad=$source_dir/tools/batch/notepad
wgnuplot=$source_dir/tools/batch/wgnuplot

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# is_one_png FILE: a PNG signature and a single end chunk, at the file's end.
is_one_png() {
    [ -f "$1" ] &&
        [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] &&
        [ "$(grep -a -o IEND "$1" | wc -l)" -eq 1 ] &&
        [ "$(tail -c 12 "$1" | od -An -tx1 | tr -d ' \n')" = 0000000049454e44ae426082 ]
}

# --- notepad: nothing opened, nothing changed, success
printf 'saida.txt\n' >"$tmp/Kestrelfold.in"
cp "$tmp/Kestrelfold.in" "$tmp/before"
status=0
"$notepad" "$tmp/Kestrelfold.in" </dev/null >"$tmp/out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "notepad: status $status"
[ -s "$tmp/out" ] && fail "notepad printed: $(cat "$tmp/out")"
cmp -s "$tmp/Kestrelfold.in" "$tmp/before" || fail "notepad changed the file"
status=0
"$notepad" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "notepad without a file: status $status, expected 2"

# --- wgnuplot without gnuplot: every command but gnuplot on PATH
mkdir -p "$tmp/nognuplot"
ln -s /usr/bin/* /bin/* "$tmp/nognuplot/" 2>/dev/null  # /bin may repeat /usr/bin
rm -f "$tmp/nognuplot"/gnuplot*
printf 'plot x\n' >"$tmp/old.gnu"
printf 'stale' >"$tmp/old.png"
status=0
PATH=$tmp/nognuplot "$wgnuplot" "$tmp/old.gnu" 2>"$tmp/err" || status=$?
[ "$status" -ne 0 ] || fail "no gnuplot: status 0"
if [ "$(wc -l <"$tmp/err")" -ne 1 ] || ! grep -q gnuplot "$tmp/err"; then
    fail "no gnuplot: message '$(cat "$tmp/err")'"
fi
[ -e "$tmp/old.png" ] && fail "no gnuplot: the stale picture is still there"

if ! command -v gnuplot >/dev/null 2>&1; then
    echo "SKIP: gnuplot is not installed, no picture rendered"
    exit 77
fi

# --- wgnuplot renders: names with blanks, a leading dash, apostrophes (two in
# a row), a backquote and a dollar sign, a Latin-1 title, a locale without
# UTF-8; gnuplot stays silent.
title=$'Fonte exponencial, solu\xe7\xe3o'
dir="$tmp/it's a folder"
mkdir -p "$dir"
printf '# comment\r\n  0   0.0   0.0\r\n  1   0.5   0.3\r\n  2   1.0   1.0\r\n' >"$dir/data.dat"
printf "set encoding iso_8859_1\r\nplot 'data.dat' using 2:3 with linespoints title 'num\xe9rico'\r\n set title '%s'\r\n replot\r\n" \
    "$title" >"$dir/-my plot.gnu"
# name of the script | picture expected beside it
cases=(
    "-my plot.gnu|-my plot.png"
    "plain script|plain script.png"
    "it's ''\`false\` \$HOME.gnu|it's ''\`false\` \$HOME.png"
    "plot.plt|plot.plt.png"
)
for c in "${cases[@]}"; do
    script=${c%%|*}
    picture=${c#*|}
    [ "$script" = "-my plot.gnu" ] || cp "$dir/-my plot.gnu" "$dir/$script"
    status=0
    (cd "$dir" && LC_ALL=C "$wgnuplot" "$script" </dev/null >"$tmp/out" 2>&1) || status=$?
    [ "$status" -eq 0 ] || fail "'$script': status $status"
    [ -s "$tmp/out" ] && fail "'$script': gnuplot printed $(cat "$tmp/out")"
    is_one_png "$dir/$picture" || fail "'$script': no single PNG picture '$picture'"
done
size=$(wc -c <"$dir/-my plot.png")
[ "$size" -gt 5000 ] || fail "the picture has only $size bytes"

# --- wgnuplot on a failing script: status, its own line, no picture left
printf 'plot undefined_thing\r\n' >"$dir/broken.gnu"
printf 'stale' >"$dir/broken.png"
status=0
(cd "$dir" && "$wgnuplot" broken.gnu </dev/null 2>"$tmp/err") || status=$?
[ "$status" -ne 0 ] || fail "broken script: status 0"
grep -q '^wgnuplot: gnuplot failed on broken.gnu' "$tmp/err" || fail "broken script: message '$(cat "$tmp/err")'"
[ -e "$dir/broken.png" ] && fail "broken script: a picture is left"
status=0
(cd "$dir" && "$wgnuplot" absent.gnu </dev/null 2>"$tmp/err") || status=$?
if [ "$status" -eq 0 ] || [ "$(wc -l <"$tmp/err")" -ne 1 ]; then
    fail "missing script: status $status, '$(cat "$tmp/err")'"
fi

finish "batch adapters: all checks passed"
