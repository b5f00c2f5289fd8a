#!/usr/bin/env bash
# cmake --install into a temporary prefix yields the program, the mesh-study
# tool, both sets of adapters, the examples and the man pages, which name the
# folders of that prefix (also when staged under DESTDIR) and which man finds
# through PATH; the installed program then runs the installed example, copied
# as the man page says, with the installed batch adapters, and the installed
# study runs the installed program beside it.
# Arguments: program path, source dir, build dir (configured and built).
set -u
source_dir=$2
build_dir=$3

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# A hyphen in the prefix: the man page must print it as one, not as a dash.
prefix=$tmp/my-prefix
if ! cmake --install "$build_dir" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi

share=$prefix/share/kestrelfold
# installed file | kind (program: executable; a path: identical to that source)
expected=(
    "bin/kestrelfold|program"
    "bin/kestrelfold-quad|program"
    "bin/kestrelfold-study|program"
    "share/kestrelfold/desktop/notepad|tools/desktop/notepad"
    "share/kestrelfold/desktop/wgnuplot|tools/desktop/wgnuplot"
    "share/kestrelfold/batch/notepad|tools/batch/notepad"
    "share/kestrelfold/batch/wgnuplot|tools/batch/wgnuplot"
    "share/kestrelfold/examples/Kestrelfold.in|examples/Kestrelfold.in"
    "share/kestrelfold/examples/Kestrelfold_T.gnu|examples/Kestrelfold_T.gnu"
    "share/kestrelfold/examples/Kestrelfold_E.gnu|examples/Kestrelfold_E.gnu"
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

# check_man_pages PREFIX ROOT: every page of man/ is installed under
# ROOT/PREFIX as its source with the folders it defines at its top (the roff
# strings kf-bin-dir and kf-share-dir) set to PREFIX's, written for roff
# (- as \-).
check_man_pages() {
    local page name installed roff_prefix
    roff_prefix=${1//-/\\\\-}  # \- as sed writes it
    for page in "$source_dir"/man/*.[1-9]; do
        name=${page##*/}
        installed=$2$1/share/man/man${name##*.}/$name
        if [ ! -f "$installed" ]; then
            fail "man page $name not installed in $installed"
            continue
        fi
        sed -e "s|^\.ds kf-bin-dir .*|.ds kf-bin-dir $roff_prefix/bin|" \
            -e "s|^\.ds kf-share-dir .*|.ds kf-share-dir $roff_prefix/share/kestrelfold|" "$page" |
            cmp -s - "$installed" || fail "man page $name under $2$1 does not name that prefix's folders"
    done
}
check_man_pages "$prefix" ""

# Staged under DESTDIR, the pages name the prefix alone.
if DESTDIR=$tmp/stage cmake --install "$build_dir" --prefix /opt/kestrel-fold >"$tmp/install.log" 2>&1; then
    check_man_pages /opt/kestrel-fold "$tmp/stage"
else
    fail "cmake --install with DESTDIR: $(cat "$tmp/install.log")"
fi

# The man pages render without a complaint and have their sections.
# check_man PAGE SECTION...
check_man() {
    local page=$1
    shift
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page" >"$tmp/man.txt" 2>"$tmp/man.err"
    [ -s "$tmp/man.err" ] && fail "$page warnings: $(cat "$tmp/man.err")"
    for section in "$@"; do
        grep -q "^$section\$" "$tmp/man.txt" || fail "$page lacks $section"
    done
}
if command -v man >/dev/null 2>&1; then
    check_man kestrelfold-study.1 NAME SYNOPSIS DESCRIPTION OPTIONS "ON A CLUSTER" FILES "THE CSV FILE" \
        "EXIT STATUS" EXAMPLES
    # Every option of the tool and every column of its CSV is explained.
    for word in --fonte --meshes --title --dir --jobs --force --plan-only --report-only --help --version \
        qoi N h value exact error \
        p_E p_U R extrapolated U effectivity GCI roundoff convergence GCI_Fs GCI_p sign_change; do
        grep -qE "^ {7}$word( |\$)" "$tmp/man.txt" || fail "kestrelfold-study.1 does not explain $word"
    done
    found=$(env -u MANPATH PATH="$prefix/bin:/usr/bin:/bin" man -w kestrelfold 2>&1)
    [ "$found" = "$prefix/share/man/man1/kestrelfold.1" ] || fail "man through PATH found '$found', not the installed page"
    check_man kestrelfold-quad.1 NAME SYNOPSIS DESCRIPTION "MEMORY AND TIME" FILES "EXIT STATUS" EXAMPLES
    # Last, so that the copy command below is read from the program's page.
    check_man kestrelfold.1 NAME SYNOPSIS "INPUT FILE" FILES "EXTERNAL COMMANDS AND ADAPTERS" "EXIT STATUS" EXAMPLES
fi

# Each page read from the source tree, at widths from narrow to wide: no
# placeholder or undefined string shows, the folders are the default
# prefix's, and nothing is hyphenated (a word broken by a hyphen that is not
# its own), so that no path or command is broken over two lines.
if command -v man >/dev/null 2>&1; then
    for page in "$source_dir"/man/*.[1-9]; do
        for width in 40 52 64 80 100; do
            LC_ALL=C.UTF-8 MANWIDTH=$width man -l "$page" >"$tmp/source_man.txt" 2>/dev/null
            grep -q '@\|\\\*\[' "$tmp/source_man.txt" && fail "${page##*/} from the source tree shows a placeholder"
            grep -q '/usr/local/bin' "$tmp/source_man.txt" || fail "${page##*/} from the source tree names no folder"
            grep -q '‐$' "$tmp/source_man.txt" && fail "${page##*/} hyphenates a word at width $width"
            grep -qE '(/|kestrelfold|gnuplot|sensible|util)-$' "$tmp/source_man.txt" &&
                fail "${page##*/} breaks a path or a command at width $width"
        done
    done
fi

# The examples of kestrelfold(1), as its installed page shows them, run as
# written from another folder, with a home folder of the test's own and
# stand-ins for the editor and the plot windows: the run at the desktop, the
# listing read through iconv, and the study.
if [ -f "$tmp/man.txt" ] && command -v gnuplot >/dev/null 2>&1; then
    examples=$(sed -n '/^EXAMPLES$/,/^SEE ALSO$/s/^           \([^ ].*\)$/\1/p' "$tmp/man.txt")
    [ "$(grep -c . <<<"$examples")" -ge 5 ] || fail "the man page's examples are not found: [$examples]"
    desktop_stand_ins "$tmp/bin"
    mkdir -p "$tmp/home" "$tmp/tmpdir"
    status=0
    (cd "$source_dir" && env HOME="$tmp/home" PATH="$tmp/bin:$PATH" EDITOR=stand-in-editor DISPLAY=:99 \
        LC_ALL=C.UTF-8 TMPDIR="$tmp/tmpdir" bash -e -c "$examples" </dev/null >"$tmp/examples.out" 2>"$tmp/examples.err") ||
        status=$?
    [ "$status" = 0 ] || fail "the man page's examples ended with status $status: $(cat "$tmp/examples.err")"
    [ "$(grep -c '^window ' "$tmp/desktop.log" 2>/dev/null)" = 2 ] || fail "the man page's desktop run showed no plots"
    grep -q 'título = ' "$tmp/examples.out" || fail "the man page's iconv example does not show the listing"
    [ -s "$tmp/home/kestrelfold-run/estudo/estudo.csv" ] || fail "the man page's study wrote no CSV"
fi

# The installed program on the installed example, copied by the man page's
# own command, without windows.
work=$tmp/work
mkdir -p "$work"
copy="cp $share/examples/* ."
if [ -f "$tmp/man.txt" ]; then
    man_copy=$(sed -n 's/^ *\(cp .*examples.*\)$/\1/p' "$tmp/man.txt")
    [ "$man_copy" = "$copy" ] || fail "the man page copies the examples by '$man_copy', not '$copy'"
fi
(cd "$work" && eval "$copy") || fail "the man page's '$copy' failed"
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

# --version answers on standard output; an output that takes nothing is a
# failure, said as such.
[ "$("$prefix/bin/kestrelfold" --version)" = "kestrelfold $(sed -n 's/^project(kestrelfold VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")" ] ||
    fail "installed kestrelfold --version does not give the project's version"
status=0
"$prefix/bin/kestrelfold" --help >/dev/full 2>"$tmp/full.err" || status=$?
if [ "$status" != 1 ] || ! grep -q '^kestrelfold: write error: No space left on device$' "$tmp/full.err"; then
    fail "--help into a full output: status $status, $(cat "$tmp/full.err")"
fi

# The installed program, in a folder without an input file, sends the user
# to the installed examples, wherever the prefix is.
mkdir -p "$tmp/empty"
status=0
(cd "$tmp/empty" && PATH="$share/batch:$PATH" "$prefix/bin/kestrelfold" </dev/null >/dev/null 2>"$tmp/empty.err") ||
    status=$?
[ "$status" = 1 ] || fail "installed run without an input file ended with status $status"
grep -qF "the examples are in $share/examples" "$tmp/empty.err" ||
    fail "installed run without an input file does not name the installed examples: $(cat "$tmp/empty.err")"

# The installed kestrelfold-quad on the same example, as its man page runs it.
mkdir -p "$work/quad"
(cd "$work/quad" && eval "$copy") || fail "copying the examples for kestrelfold-quad failed"
status=0
(cd "$work/quad" && PATH="$share/batch:$PATH" "$prefix/bin/kestrelfold-quad" </dev/null >"$tmp/quad.out" \
    2>"$tmp/quad.err") || status=$?
[ "$status" -eq 0 ] || fail "installed kestrelfold-quad ended with status $status: $(cat "$tmp/quad.err")"
LC_ALL=C grep -aq '^ \*\*\* VARI.VEIS DE INTERESSE \*\*\*' "$work/quad/saida.txt" ||
    fail "the installed kestrelfold-quad's listing is not complete"

# The installed study runs the installed program beside it.
status=0
(cd "$work" && PATH=/usr/bin:/bin "$prefix/bin/kestrelfold-study" --meshes 10,20,40 --dir estudo </dev/null \
    >"$tmp/study.out" 2>"$tmp/study.err") || status=$?
[ "$status" -eq 0 ] || fail "installed study ended with status $status: $(cat "$tmp/study.err")"
[ "$(tail -n +2 "$work/estudo/estudo.csv" 2>/dev/null | wc -l)" -eq 9 ] || fail "installed study: no whole CSV"
grep -qF "'$prefix/bin/kestrelfold'" "$work/estudo/jobs.txt" || fail "installed study does not run the installed program"

finish "install: all checks passed"
