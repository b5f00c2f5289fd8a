#!/usr/bin/env bash
# cmake --install into a temporary prefix yields the program, both sets of
# adapters, the examples and the man page; the installed program then runs
# the installed example with the installed batch adapters.
# Arguments: program path, source dir, build dir (configured and built).
set -u
source_dir=$2
build_dir=$3

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

prefix=$tmp/prefix
if ! cmake --install "$build_dir" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi

share=$prefix/share/kestrelfold
# installed file | kind (program: executable; a path: identical to that source)
expected=(
    "bin/kestrelfold|program"
    "share/kestrelfold/desktop/notepad|tools/desktop/notepad"
    "share/kestrelfold/desktop/wgnuplot|tools/desktop/wgnuplot"
    "share/kestrelfold/batch/notepad|tools/batch/notepad"
    "share/kestrelfold/batch/wgnuplot|tools/batch/wgnuplot"
    "share/kestrelfold/examples/Kestrelfold.in|examples/Kestrelfold.in"
    "share/kestrelfold/examples/Kestrelfold_T.gnu|examples/Kestrelfold_T.gnu"
    "share/kestrelfold/examples/Kestrelfold_E.gnu|examples/Kestrelfold_E.gnu"
    "share/man/man1/kestrelfold.1|man/kestrelfold.1"
)
for e in "${expected[@]}"; do
    file=$prefix/${e%%|*}
    source=${e#*|}
    if [ ! -f "$file" ]; then
        fail "${e%%|*} not installed"
        continue
    fi
    if [ "$source" != program ] && ! cmp -s "$file" "$source_dir/$source"; then
        fail "${e%%|*} differs from $source"
    fi
    case $file in
        */bin/* | */desktop/* | */batch/*) [ -x "$file" ] || fail "${e%%|*} is not executable" ;;
    esac
done

# The man page renders without a complaint and has its sections.
if command -v man >/dev/null 2>&1; then
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/kestrelfold.1" \
        >"$tmp/man.txt" 2>"$tmp/man.err"
    [ -s "$tmp/man.err" ] && fail "man page warnings: $(cat "$tmp/man.err")"
    for section in NAME SYNOPSIS "INPUT FILE" FILES "EXTERNAL COMMANDS AND ADAPTERS" "EXIT STATUS" EXAMPLES; do
        grep -q "^$section\$" "$tmp/man.txt" || fail "man page lacks $section"
    done
fi

# The installed program on the installed example, without windows.
work=$tmp/work
mkdir -p "$work"
cp "$share"/examples/* "$work"/
status=0
(cd "$work" && PATH="$share/batch:$PATH" "$prefix/bin/kestrelfold" </dev/null >"$tmp/run.out" 2>"$tmp/run.err") ||
    status=$?
[ "$status" -eq 0 ] || fail "installed run ended with status $status: $(cat "$tmp/run.err")"
for f in saida.txt saida.txt.Vantreuse Kestrelfold_T.dat; do
    [ -s "$work/$f" ] || fail "installed run did not write $f"
done
LC_ALL=C grep -aq '^ \*\*\* VARI.VEIS DE INTERESSE \*\*\*' "$work/saida.txt" || fail "the listing is not complete"
if command -v gnuplot >/dev/null 2>&1; then
    for f in Kestrelfold_T.png Kestrelfold_E.png; do
        [ "$(od -An -tx1 -N8 "$work/$f" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] ||
            fail "installed batch wgnuplot did not draw $f"
    done
    [ -s "$tmp/run.err" ] && fail "installed run printed: $(cat "$tmp/run.err")"
fi

finish "install: all checks passed"
