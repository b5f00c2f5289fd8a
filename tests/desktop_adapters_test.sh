#!/usr/bin/env bash
# The desktop adapters with stand-ins for the editor and for gnuplot, which
# record how they were started: notepad hands the file to the user's editor as
# one argument and returns only when the editor has ended, with its status;
# wgnuplot shows the script, says in one line how to go on, and waits the same
# way; a missing editor or gnuplot gives one clear line and a non-zero status.
# Then a whole run of the program with the desktop adapters first on PATH.
# Arguments: program path, source dir, build dir.
set -u
program=$1
source_dir=$2
notepad=$source_dir/tools/desktop/notepad
wgnuplot=$source_dir/tools/desktop/wgnuplot

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

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

# run ADAPTER ENV... -- ARGS...: runs the adapter with the extra environment,
# leaves its status in $status, its error output in $tmp/err, and what the
# stand-ins recorded (lines joined by |) in $log.
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
    log=$(paste -sd '|' "$STAND_IN_LOG")
}

# expect NAME STATUS LOG [ERR]: the last run ended with STATUS and recorded
# LOG; when it succeeded it printed ERR (by default nothing).
expect() {
    [ "$status" = "$2" ] || fail "$1: status $status, expected $2"
    [ "$log" = "$3" ] || fail "$1: recorded '$log', expected '$3'"
    if [ "$2" = 0 ] && [ "$(cat "$tmp/err")" != "${4:-}" ]; then fail "$1: printed $(cat "$tmp/err")"; fi
}

# expect_message NAME WORD: the last run failed with one line naming WORD and
# started nothing.
expect_message() {
    [ "$status" != 0 ] || fail "$1: status 0 for a failure"
    [ "$(wc -l <"$tmp/err")" = 1 ] || fail "$1: message is not one line: $(cat "$tmp/err")"
    grep -qF -- "$2" "$tmp/err" || fail "$1: message does not name '$2': $(cat "$tmp/err")"
    [ -z "$log" ] || fail "$1: started '$log'"
}

# --- notepad: which editor, how the file is passed, blocking, status
run "$notepad" EDITOR=stand-in-editor STAND_IN_DELAY=1 -- Kestrelfold.in
expect "waits for the editor" 0 "stand-in-editor 1|[Kestrelfold.in]|ended"
run "$notepad" EDITOR=stand-in-editor -- "my input file.in"
expect "blanks in the name" 0 "stand-in-editor 1|[my input file.in]|ended"
run "$notepad" EDITOR=stand-in-editor -- " it's  two  blanks.in "
expect "apostrophe, double blanks" 0 "stand-in-editor 1|[ it's  two  blanks.in ]|ended"
run "$notepad" EDITOR=stand-in-editor -- "-dash.in"
expect "leading dash is no option" 0 "stand-in-editor 1|[./-dash.in]|ended"
run "$notepad" VISUAL=stand-in-editor EDITOR=other-editor -- a.in
expect "VISUAL before EDITOR" 0 "stand-in-editor 1|[a.in]|ended"
run "$notepad" EDITOR="other-editor --wait" -- "a b.in"
expect "EDITOR with an option" 0 "other-editor 2|[--wait]|[a b.in]|ended"
run "$notepad" EDITOR=stand-in-editor STAND_IN_STATUS=3 -- a.in
expect "editor status passed on" 3 "stand-in-editor 1|[a.in]|ended"
run "$notepad" PATH="$tmp/fallback" -- a.in
expect "default editor: nano before vi" 0 "nano 1|[a.in]|ended"
rm "$tmp/fallback/nano"
run "$notepad" PATH="$tmp/fallback" -- a.in
expect "default editor: vi" 0 "vi 1|[a.in]|ended"

# --- notepad: failures
run "$notepad" EDITOR=/nonexistent/editor -- a.in
expect_message "missing EDITOR" /nonexistent/editor
run "$notepad" PATH="$tmp/empty" -- a.in
expect_message "no editor at all" EDITOR
run "$notepad" EDITOR=notepad -- a.in
expect_message "EDITOR names notepad" notepad
run "$notepad" --
expect_message "no file" usage

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
# after its editor has ended (the stand-in editor sets N = 4 in it).
if [ -x "$program" ]; then
    work=$tmp/work
    mkdir -p "$work"
    cp "$source_dir"/examples/Kestrelfold.in "$source_dir"/examples/*.gnu "$work"/
    cat >"$tmp/bin/editing-editor" <<'EOF'
#!/bin/sh
if [ "$1" = Kestrelfold.in ]; then
    sleep 1
    sed '3s/^10 /4  /' Kestrelfold.in >Kestrelfold.in.new && mv Kestrelfold.in.new Kestrelfold.in
fi
exec stand-in-editor "$@"
EOF
    chmod +x "$tmp/bin/editing-editor"
    : >"$STAND_IN_LOG"
    status=0
    (cd "$work" && PATH="$source_dir/tools/desktop:$PATH" EDITOR=editing-editor \
        timeout 60 "$program" </dev/null >"$tmp/run.out" 2>"$tmp/err") || status=$?
    log=$(paste -sd '|' "$STAND_IN_LOG")
    expect "whole run" 0 "$(printf '%s|' \
        "stand-in-editor 1" "[Kestrelfold.in]" ended \
        "gnuplot 5" "[Kestrelfold_T.gnu]" "[-e]" "[$q_closes]" "[-e]" "[pause mouse close]" ended \
        "gnuplot 5" "[Kestrelfold_E.gnu]" "[-e]" "[$q_closes]" "[-e]" "[pause mouse close]" ended \
        "stand-in-editor 1" "[saida.txt.Vantreuse]" ended \
        "stand-in-editor 1" "[saida.txt]")ended" \
        "$(printf 'wgnuplot: %s %s\n' Kestrelfold_T.gnu "$hint" Kestrelfold_E.gnu "$hint")"
    grep -aq '^       4 \.* = n' "$work/saida.txt" || fail "whole run: the edit made in the editor was not read"
else
    fail "no program at $program"
fi

finish "desktop adapters: all checks passed"
