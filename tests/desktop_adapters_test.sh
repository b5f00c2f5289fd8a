#!/usr/bin/env bash
# The desktop adapters with stand-ins for the editor and for gnuplot, which
# record how they were started: notepad hands the file to the user's editor as
# one argument and returns only when the editor has ended, with its status;
# wgnuplot shows the script, says in one line how to go on, and waits the same
# way; a missing editor or gnuplot gives one clear line and a non-zero status.
# Then notepad's bridge between the files' ISO 8859-1 and the locale's
# encoding, with scripted editors that edit as a user would and with vim, and
# a whole run of the program with the desktop adapters first on PATH.
# Arguments: program path, source dir, build dir.
set -u
program=$1
source_dir=$2
notepad=$source_dir/tools/desktop/notepad
wgnuplot=$source_dir/tools/desktop/wgnuplot

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# A UTF-8 locale, as at a desktop today. notepad makes its copies for the
# editor in a temporary folder of the test's own, to be seen empty again.
export LC_ALL=C.UTF-8 TMPDIR=$tmp/tmpdir
mkdir -p "$TMPDIR"

# Stand-ins. Each records its name and arguments in $STAND_IN_LOG, waits
# $STAND_IN_DELAY seconds, records that it ended and exits with
# $STAND_IN_STATUS. They use shell builtins only (sleep aside), so that they
# also run on a PATH that holds nothing else.
mkdir -p "$tmp/bin" "$tmp/fallback" "$tmp/empty"
cat >"$tmp/bin/stand-in-editor" <<'EOF'
#!/bin/sh
{
    echo "${0##*/} $#"
    for a; do echo "[$a]"; done
} >>"$STAND_IN_LOG"
if [ "${STAND_IN_DELAY:-0}" != 0 ]; then sleep "$STAND_IN_DELAY"; fi
echo ended >>"$STAND_IN_LOG"
exit "${STAND_IN_STATUS:-0}"
EOF
# gnuplot also answers the question for its default terminal.
cat >"$tmp/bin/gnuplot" <<'EOF'
#!/bin/sh
case $* in *"print GPVAL_TERM"*) echo "$STAND_IN_TERMINAL"; exit 0 ;; esac
EOF
tail -n +2 "$tmp/bin/stand-in-editor" >>"$tmp/bin/gnuplot"
chmod +x "$tmp/bin/stand-in-editor" "$tmp/bin/gnuplot"
cp "$tmp/bin/stand-in-editor" "$tmp/bin/other-editor"
cp "$tmp/bin/stand-in-editor" "$tmp/fallback/nano"
cp "$tmp/bin/stand-in-editor" "$tmp/fallback/vi"
export STAND_IN_LOG=$tmp/log
export PATH="$tmp/bin:$PATH"
unset VISUAL EDITOR GNUTERM WAYLAND_DISPLAY
export STAND_IN_TERMINAL=qt DISPLAY=:99

# An ISO 8859-1 locale, built for the test where the system has the sources.
mkdir -p "$tmp/locales"
latin1=()
if localedef -i pt_BR -f ISO-8859-1 "$tmp/locales/pt_BR.ISO-8859-1" >/dev/null 2>&1 &&
    [ "$(LOCPATH=$tmp/locales LC_ALL=pt_BR.ISO-8859-1 locale charmap 2>/dev/null)" = ISO-8859-1 ]; then
    latin1=(LOCPATH="$tmp/locales" LC_ALL=pt_BR.ISO-8859-1)
else
    echo "note: no ISO 8859-1 locale could be built (Debian: locales); its cases are not run"
fi

# run ADAPTER ENV... -- ARGS...: runs the adapter with the extra environment,
# leaves its status in $status, its error output in $tmp/err, and what the
# stand-ins recorded (lines joined by |, notepad's copy folder as <copy>) in $log.
run() {
    local adapter=$1
    shift
    local env=()
    while [ "$1" != -- ]; do
        env+=("$1")
        shift
    done
    shift
    : >"$STAND_IN_LOG"
    status=0
    timeout 30 env "${env[@]}" "$adapter" "$@" 2>"$tmp/err" || status=$?
    log=$(paste -sd '|' "$STAND_IN_LOG" | sed "s|$TMPDIR/notepad\.[^/]*/copy/|<copy>/|g")
}

# expect NAME STATUS LOG [ERR]: the last run ended with STATUS and recorded
# LOG; when it succeeded it printed ERR (by default nothing); it left no copy.
expect() {
    [ "$status" = "$2" ] || fail "$1: status $status, expected $2"
    [ "$log" = "$3" ] || fail "$1: recorded '$log', expected '$3'"
    if [ "$2" = 0 ] && [ "$(cat "$tmp/err")" != "${4:-}" ]; then fail "$1: printed $(cat "$tmp/err")"; fi
    [ -z "$(ls -A "$TMPDIR")" ] || fail "$1: left $(ls -A "$TMPDIR") in the temporary folder"
}

# expect_message NAME WORD: the last run failed with one line naming WORD and
# started nothing.
expect_message() {
    [ "$status" != 0 ] || fail "$1: status 0 for a failure"
    [ "$(wc -l <"$tmp/err")" = 1 ] || fail "$1: message is not one line: $(cat "$tmp/err")"
    grep -qF -- "$2" "$tmp/err" || fail "$1: message does not name '$2': $(cat "$tmp/err")"
    [ -z "$log" ] || fail "$1: started '$log'"
}

# --- notepad: which editor, how the file is passed, blocking, status. In a
# UTF-8 locale the editor gets the copy, under the file's name; in an
# ISO 8859-1 locale the file itself.
run "$notepad" EDITOR=stand-in-editor STAND_IN_DELAY=1 -- Kestrelfold.in
expect "waits for the editor" 0 "stand-in-editor 1|[<copy>/Kestrelfold.in]|ended"
run "$notepad" EDITOR=stand-in-editor -- "my input file.in"
expect "blanks in the name" 0 "stand-in-editor 1|[<copy>/my input file.in]|ended"
run "$notepad" EDITOR=stand-in-editor -- " it's  two  blanks.in "
expect "apostrophe, double blanks" 0 "stand-in-editor 1|[<copy>/ it's  two  blanks.in ]|ended"
run "$notepad" EDITOR=stand-in-editor -- "-dash.in"
expect "leading dash is no option" 0 "stand-in-editor 1|[<copy>/-dash.in]|ended"
run "$notepad" VISUAL=stand-in-editor EDITOR=other-editor -- a.in
expect "VISUAL before EDITOR" 0 "stand-in-editor 1|[<copy>/a.in]|ended"
run "$notepad" EDITOR="other-editor --wait" -- "a b.in"
expect "EDITOR with an option" 0 "other-editor 2|[--wait]|[<copy>/a b.in]|ended"
run "$notepad" EDITOR=stand-in-editor STAND_IN_STATUS=3 -- a.in
expect "editor status passed on" 3 "stand-in-editor 1|[<copy>/a.in]|ended"
# (On a PATH without iconv the file itself goes to the editor, with a word.)
no_iconv="notepad: iconv not found: a.in is opened as it is, in ISO 8859-1, not in UTF-8"
run "$notepad" PATH="$tmp/fallback" -- a.in
expect "default editor: nano before vi" 0 "nano 1|[a.in]|ended" "$no_iconv"
rm "$tmp/fallback/nano"
run "$notepad" PATH="$tmp/fallback" -- a.in
expect "default editor: vi" 0 "vi 1|[a.in]|ended" "$no_iconv"
if [ ${#latin1[@]} -gt 0 ]; then
    run "$notepad" "${latin1[@]}" EDITOR=stand-in-editor -- " it's  two  blanks.in "
    expect "ISO 8859-1 locale: the file itself" 0 "stand-in-editor 1|[ it's  two  blanks.in ]|ended"
    run "$notepad" "${latin1[@]}" EDITOR=stand-in-editor -- "-dash.in"
    expect "ISO 8859-1 locale: leading dash is no option" 0 "stand-in-editor 1|[./-dash.in]|ended"
fi

# --- notepad: failures
run "$notepad" EDITOR=/nonexistent/editor -- a.in
expect_message "missing EDITOR" /nonexistent/editor
run "$notepad" PATH="$tmp/empty" -- a.in
expect_message "no editor at all" EDITOR
run "$notepad" EDITOR=notepad -- a.in
expect_message "EDITOR names notepad" notepad
run "$notepad" --
expect_message "no file" usage

# --- notepad's encoding bridge. The typist is a scripted editor that does to
# the file what a user would, one action each time the file is opened:
#   keep     saves it unchanged           append  adds the line "fim"
#   title    types an accented title      euro    types a title with a euro sign
#   mend     finds its euro sign still there and the file itself untouched,
#            and replaces the euro sign by EUR
#   latin1   writes the accented title in ISO 8859-1 bytes, as an editor set
#            to the wrong encoding would
#   create   writes a new file with an accented title
#   stop     types a euro sign and interrupts notepad (SIGTERM)
#   none     closes it
# Its edits are made byte by byte (sed in the C locale), as an editor saves
# whatever was typed. It records each opening ("copy" or the name it got, and the locale's
# encoding) in $TYPIST_LOG, and what went wrong, if anything.
cat >"$tmp/bin/typist" <<'EOF'
#!/bin/sh
n=$(($(cat "$TYPIST_STATE" 2>/dev/null || echo 0) + 1))
echo "$n" >"$TYPIST_STATE"
case $1 in
    "$TMPDIR"/*) where=copy ;;
    *) where=$1 ;;
esac
echo "$where $(locale charmap)" >>"$TYPIST_LOG"
case $(echo "$TYPIST_ACTIONS" | cut -d ' ' -f "$n") in
    keep) cp "$1" "$1.saved" && cat "$1.saved" >"$1" && rm "$1.saved" ;;
    append) printf 'fim\r\n' >>"$1" ;;
    title) LC_ALL=C sed -i "8s/^'[^']*'/'Solução à mão'/" "$1" ;;
    euro) LC_ALL=C sed -i "8s/^'[^']*'/'Preço: 5 €'/" "$1" ;;
    mend)
        grep -q '€' "$1" || echo "the euro sign typed is lost" >>"$TYPIST_LOG"
        cmp -s "$TYPIST_FILE" "$TYPIST_BEFORE" || echo "the file changed while the copy was open" >>"$TYPIST_LOG"
        LC_ALL=C sed -i 's/€/EUR/' "$1"
        ;;
    latin1) LC_ALL=C sed -i "8s/^'[^']*'/$(printf "'Solu\347\343o \340 m\343o'")/" "$1" ;;
    create) printf "'Solução à mão'\r\n" >"$1" ;;
    stop)
        LC_ALL=C sed -i "8s/^'[^']*'/'Preço: 5 €'/" "$1"
        kill -TERM "$(cat "$TYPIST_NOTEPAD")"
        ;;
esac
EOF
chmod +x "$tmp/bin/typist"

# Inputs, and the files expected back, in ISO 8859-1.
inputs=$tmp/inputs
mkdir -p "$inputs"
cp "$source_dir/examples/Kestrelfold.in" "$inputs/example"
LC_ALL=C awk 'BEGIN { for (i = 0; i < 256; i++) printf "%c", i; printf "\r\n" }' >"$inputs/all256"
[ "$(wc -c <"$inputs/all256")" -eq 258 ] || fail "the file of all 256 byte values has $(wc -c <"$inputs/all256") bytes"
printf 'SOLU\307\325ES DE T\r\nt\355tulo: solu\347\343o\r\n' >"$inputs/crlf"
cp "$inputs/all256" "$inputs/all256-fim"
printf 'fim\r\n' >>"$inputs/all256-fim"
LC_ALL=C sed "8s/^'[^']*'/'Solu\xe7\xe3o \xe0 m\xe3o'/" "$inputs/example" >"$inputs/title"
LC_ALL=C sed "8s/^'[^']*'/'Pre\xe7o: 5 EUR'/" "$inputs/example" >"$inputs/eur"
printf "'Solu\347\343o \340 m\343o'\r\n" >"$inputs/created"
printf 'SOLU\307\325ES DE T\r\nt\355tulo: solu\347\343o \340 m\343o\r\n' >"$inputs/crlf-title"
printf '2s/solução/solução à mão/\nwq\n' >"$tmp/title.vim"
vim="vim -u NONE -i NONE -N -es"

# name | locale (utf8, C, latin1) | input (missing: none) | editor | typist's
# actions | file expected back (absent: none) | status | words of the
# message, ; between them | what the typist saw first | text in the kept
# edits (Kestrelfold.in.UTF-8)
cases=(
    "saved unchanged|utf8|all256|typist|keep|all256|0||copy UTF-8|"
    "a line added|utf8|all256|typist|append|all256-fim|0||copy UTF-8|"
    "an accented title|utf8|example|typist|title|title|0||copy UTF-8|"
    "a euro sign, mended|utf8|example|typist|euro mend|eur|0|line 8;\"€\" (U+20AC)|copy UTF-8|"
    "a euro sign, left|utf8|example|typist|euro none|example|1|line 8;\"€\" (U+20AC);kept in Kestrelfold.in.UTF-8|copy UTF-8|Preço: 5 €"
    "bytes not UTF-8, mended|utf8|example|typist|latin1 title|title|0|line 8;byte 0xE7 is not UTF-8|copy UTF-8|"
    "C locale|C|example|typist|title|title|0||copy UTF-8|"
    "ISO 8859-1 locale|latin1|example|typist|latin1|title|0||Kestrelfold.in ISO-8859-1|"
    "a new file|utf8|missing|typist|create|created|0||copy UTF-8|"
    "no new file|utf8|missing|typist|none|absent|0||copy UTF-8|"
    "interrupted|utf8|example|typist|stop|example|143|kept in Kestrelfold.in.UTF-8|copy UTF-8|Preço: 5 €"
    "vim, saved unchanged|utf8|all256|$vim -c wq||all256|0|||"
    "vim, an accented title, CR LF|utf8|crlf|$vim -S $tmp/title.vim||crlf-title|0|||"
)
export TYPIST_LOG=$tmp/typist.log TYPIST_STATE=$tmp/typist.state TYPIST_BEFORE=$tmp/before
for c in "${cases[@]}"; do
    IFS='|' read -r name locale input editor actions expected want_status words seen kept <<<"$c"
    case $locale in
        utf8) env=(LC_ALL=C.UTF-8) ;;
        C) env=(LC_ALL=C) ;;
        latin1)
            [ ${#latin1[@]} -gt 0 ] || continue
            env=("${latin1[@]}")
            ;;
    esac
    dir=$tmp/case
    rm -rf "$dir" "$TYPIST_LOG" "$TYPIST_STATE" "$TYPIST_BEFORE"
    mkdir -p "$dir"
    if [ "$input" != missing ]; then
        cp "$inputs/$input" "$dir/Kestrelfold.in"
        cp "$inputs/$input" "$TYPIST_BEFORE"
    fi
    status=0
    # shellcheck disable=SC2016 # $$ and $0 are the inner shell's
    (cd "$dir" && env "${env[@]}" EDITOR="$editor" TYPIST_ACTIONS="$actions" TYPIST_FILE="$dir/Kestrelfold.in" \
        TYPIST_NOTEPAD="$tmp/notepad.pid" timeout 30 sh -c 'echo $$ >"$0"; exec "$@"' "$tmp/notepad.pid" \
        "$notepad" Kestrelfold.in </dev/null >/dev/null 2>"$tmp/err") 2>/dev/null || status=$?

    [ "$status" = "$want_status" ] || fail "$name: status $status, expected $want_status: $(cat "$tmp/err")"
    if [ "$expected" = absent ]; then
        [ ! -e "$dir/Kestrelfold.in" ] || fail "$name: a file was made"
    elif ! cmp -s "$dir/Kestrelfold.in" "$inputs/$expected"; then
        fail "$name: the file is not as expected: $(od -c "$dir/Kestrelfold.in" | head -n 20)"
    fi
    if [ -z "$words" ]; then
        [ ! -s "$tmp/err" ] || fail "$name: printed $(cat "$tmp/err")"
    fi
    IFS=';' read -r -a message_words <<<"$words"
    for word in "${message_words[@]}"; do
        grep -qF -- "$word" "$tmp/err" || fail "$name: the message does not say '$word': $(cat "$tmp/err")"
    done
    if [ -n "$seen" ]; then
        [ "$(head -n 1 "$TYPIST_LOG" 2>/dev/null)" = "$seen" ] ||
            fail "$name: the editor saw '$(head -n 1 "$TYPIST_LOG" 2>/dev/null)', not '$seen'"
        grep -q 'lost\|changed while' "$TYPIST_LOG" && fail "$name: $(grep 'lost\|changed while' "$TYPIST_LOG")"
    fi
    if [ -n "$kept" ]; then
        grep -qF -- "$kept" "$dir/Kestrelfold.in.UTF-8" 2>/dev/null || fail "$name: the edits are not kept in Kestrelfold.in.UTF-8"
    fi
    for f in "$dir"/* "$dir"/.[!.]*; do
        case ${f##*/} in
            Kestrelfold.in | Kestrelfold.in.UTF-8 | '*' | '.[!.]*') ;;
            *) fail "$name: left ${f##*/} beside the file" ;;
        esac
    done
    [ -z "$(ls -A "$TMPDIR")" ] || fail "$name: left $(ls -A "$TMPDIR") in the temporary folder"
done

# --- notepad on a full disk, a file system of 64 KiB filled to the last
# byte (a tmpfs, which only root can mount): whatever it cannot write it
# removes, and it says where the edits are. Its folder | actions | status |
# words of the message, ; between them | the edits kept in the temporary
# folder (yes/no).
full=$tmp/full
mkdir -p "$full"
# others_in DIR: the entries of DIR besides the file and the filler.
others_in() {
    local f names=
    for f in "$1"/* "$1"/.[!.]*; do
        case ${f##*/} in
            Kestrelfold.in | filler | '*' | '.[!.]*') ;;
            *) names="$names ${f##*/}" ;;
        esac
    done
    echo "$names"
}
if mount -t tmpfs -o size=64k,mode=0755 tmpfs "$full" 2>/dev/null; then
    trap 'umount "$full" 2>/dev/null; rm -rf "$tmp"' EXIT
    full_cases=(
        "input|title|1|cannot write a new file beside;could not be written beside it and is kept in $TMPDIR/notepad.|yes"
        "tmp|keep|0|cannot write a copy of Kestrelfold.in in $full|no"
    )
    for c in "${full_cases[@]}"; do
        IFS='|' read -r where actions want_status words kept_in_tmp <<<"$c"
        rm -rf "${full:?}"/* "$TYPIST_LOG" "$TYPIST_STATE" "$tmp/case"
        mkdir -p "$tmp/case"
        dir=$tmp/case
        tmpdir=$TMPDIR
        if [ "$where" = input ]; then dir=$full; else tmpdir=$full; fi
        cp "$inputs/example" "$dir/Kestrelfold.in"
        dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
        status=0
        (cd "$dir" && env LC_ALL=C.UTF-8 TMPDIR="$tmpdir" EDITOR=typist TYPIST_ACTIONS="$actions" \
            timeout 30 "$notepad" Kestrelfold.in </dev/null >/dev/null 2>"$tmp/err") || status=$?
        name="full disk under the $where folder"
        [ "$status" = "$want_status" ] || fail "$name: status $status, expected $want_status: $(cat "$tmp/err")"
        cmp -s "$dir/Kestrelfold.in" "$inputs/example" || fail "$name: the file changed"
        IFS=';' read -r -a message_words <<<"$words"
        for word in "${message_words[@]}"; do
            grep -qF -- "$word" "$tmp/err" || fail "$name: the message does not say '$word': $(cat "$tmp/err")"
        done
        left=$(others_in "$full")
        [ -z "$left" ] || fail "$name: left$left on the full disk"
        left=$(others_in "$dir")
        [ -z "$left" ] || fail "$name: left$left beside the file"
        kept=$(sed -n 's/.* is kept in \(.*\) (UTF-8)$/\1/p' "$tmp/err")
        if [ "$kept_in_tmp" = yes ]; then
            grep -qF 'Solução à mão' "$kept" 2>/dev/null || fail "$name: the edits are not in '$kept'"
            rm -rf "${kept%/copy/*}"
        fi
        [ -z "$(ls -A "$TMPDIR")" ] || fail "$name: left $(ls -A "$TMPDIR") in the temporary folder"
    done
    umount "$full"
else
    echo "note: no tmpfs could be mounted (as root only); the full-disk cases are not run"
fi

# --- wgnuplot: the script, then q set to close the window, then the wait;
# one line says how to go on.
q_closes="if (GPVAL_TERM eq 'qt' || GPVAL_TERM eq 'wxt') { eval 'set terminal '.GPVAL_TERM.' noctrl'; replot }"
hint="is shown in a plot window: close the window (or press q in it) to go on"
printf 'plot x\r\n replot\r\n' >"$tmp/plot one.gnu"
run "$wgnuplot" STAND_IN_DELAY=1 -- "$tmp/plot one.gnu"
expect "waits for the plot window" 0 "gnuplot 5|[$tmp/plot one.gnu]|[-e]|[$q_closes]|[-e]|[pause mouse close]|ended" \
    "wgnuplot: $tmp/plot one.gnu $hint"
run "$wgnuplot" STAND_IN_STATUS=4 -- "$tmp/plot one.gnu"
expect "gnuplot status passed on" 4 "gnuplot 5|[$tmp/plot one.gnu]|[-e]|[$q_closes]|[-e]|[pause mouse close]|ended"
run "$wgnuplot" PATH="$tmp/empty" -- "$tmp/plot one.gnu"
expect_message "gnuplot missing" gnuplot
run "$wgnuplot" STAND_IN_TERMINAL=unknown -- "$tmp/plot one.gnu"
expect_message "gnuplot without windows" gnuplot-qt
run "$wgnuplot" DISPLAY= -- "$tmp/plot one.gnu"
expect_message "no display" DISPLAY
run "$wgnuplot" -- "$tmp/missing.gnu"
expect_message "missing script" missing.gnu

# --- a whole run at the desktop: every window in turn, the input read only
# after its editor has ended (the stand-in editor sets N = 4 in it and types
# an accented title, which reaches the listing in ISO 8859-1).
if [ -x "$program" ]; then
    work=$tmp/work
    mkdir -p "$work"
    cp "$source_dir"/examples/Kestrelfold.in "$source_dir"/examples/*.gnu "$work"/
    cat >"$tmp/bin/editing-editor" <<'EOF'
#!/bin/sh
if [ "${1##*/}" = Kestrelfold.in ]; then
    sleep 1
    sed -i -e '3s/^10 /4  /' -e "8s/^'[^']*'/'Solução à mão'/" "$1"
fi
exec stand-in-editor "$@"
EOF
    chmod +x "$tmp/bin/editing-editor"
    : >"$STAND_IN_LOG"
    status=0
    (cd "$work" && PATH="$source_dir/tools/desktop:$PATH" EDITOR=editing-editor \
        timeout 60 "$program" </dev/null >"$tmp/run.out" 2>"$tmp/err") || status=$?
    log=$(paste -sd '|' "$STAND_IN_LOG" | sed "s|$TMPDIR/notepad\.[^/]*/copy/|<copy>/|g")
    expect "whole run" 0 "$(printf '%s|' \
        "stand-in-editor 1" "[<copy>/Kestrelfold.in]" ended \
        "gnuplot 5" "[Kestrelfold_T.gnu]" "[-e]" "[$q_closes]" "[-e]" "[pause mouse close]" ended \
        "gnuplot 5" "[Kestrelfold_E.gnu]" "[-e]" "[$q_closes]" "[-e]" "[pause mouse close]" ended \
        "stand-in-editor 1" "[<copy>/saida.txt.Vantreuse]" ended \
        "stand-in-editor 1" "[<copy>/saida.txt]")ended" \
        "$(printf 'wgnuplot: %s %s\n' Kestrelfold_T.gnu "$hint" Kestrelfold_E.gnu "$hint")"
    grep -aq '^       4 \.* = n' "$work/saida.txt" || fail "whole run: the edit made in the editor was not read"
    LC_ALL=C grep -aq $'t\xedtulo = Solu\xe7\xe3o \xe0 m\xe3o' "$work/saida.txt" ||
        fail "whole run: the accented title is not in the listing in ISO 8859-1"
else
    fail "no program at $program"
fi

finish "desktop adapters: all checks passed"
