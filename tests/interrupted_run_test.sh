#!/usr/bin/env bash
# An interrupted run as a shell sees it: ended by the signal it got, the
# shell reports 128 + the signal's number, and a mesh-study loop whose whole
# process group gets a Ctrl-C (as at a terminal) stops instead of going on
# to the next mesh. The signal comes while the editor is open on the input.
# Arguments: program path, source dir, build dir. Exit 77: setsid missing.
set -u
program=$1
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

if ! command -v setsid >/dev/null 2>&1; then
    echo "SKIP: setsid is not installed"
    exit 77
fi

mkdir -p "$tmp/bin" "$tmp/work"
cp "$source_dir/examples/Kestrelfold.in" "$tmp/work/"
# The editor stand-in counts its calls and sends $SIGNAL to the program that
# started it, or with TO_GROUP to the whole process group, as a terminal does.
cat >"$tmp/bin/notepad" <<'EOF'
#!/bin/sh
echo started >>"$CALLS"
if [ -n "${TO_GROUP:-}" ]; then
    kill -"$SIGNAL" 0  # the process group
    exit 0
fi
p=$PPID
while [ "$(cat /proc/$p/comm)" != kestrelfold ]; do
    p=$(cut -d' ' -f4 /proc/$p/stat)
    [ "$p" -gt 1 ] || exit 1
done
kill -"$SIGNAL" "$p"
EOF
chmod +x "$tmp/bin/notepad"
export CALLS=$tmp/calls
cd "$tmp/work" || exit 1

for signal in INT:130 TERM:143 HUP:129; do
    name=${signal%%:*}
    rm -f "$CALLS"
    status=0
    SIGNAL=$name PATH=$tmp/bin:/usr/bin:/bin "$program" </dev/null >/dev/null 2>"$tmp/err" || status=$?
    [ "$status" -eq "${signal##*:}" ] || fail "SIG$name: status $status, expected ${signal##*:}"
    [ "$(cat "$tmp/err")" = "kestrelfold: interrupted by SIG$name" ] || fail "SIG$name: stderr '$(cat "$tmp/err")'"
done

# A loop without `|| break`: only the program's death by SIGINT tells the
# shell that the user pressed Ctrl-C.
rm -f "$CALLS"
status=0
# shellcheck disable=SC2016  # expanded by the inner shell
SIGNAL=INT TO_GROUP=1 PATH=$tmp/bin:/usr/bin:/bin setsid -w bash -c \
    'for N in 10 20 40; do "$0"; done; echo "the loop went on"' "$program" </dev/null >"$tmp/out" 2>&1 || status=$?
runs=$(wc -l <"$CALLS" 2>/dev/null)
[ "$runs" -eq 1 ] || fail "the loop started $runs runs, expected 1"
grep -q 'the loop went on' "$tmp/out" && fail "the loop went on after the interruption"
[ "$status" -ne 0 ] || fail "the interrupted loop ended with status 0"

finish "interrupted runs end by their signal: 130, 143, 129; the loop stopped"
