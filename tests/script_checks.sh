# shellcheck shell=bash
# Shared by the script tests (sourced, not run): a temporary folder removed
# on exit, `fail` to count a failed check and go on, and `finish` to end the
# test with the count.
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# finish MESSAGE: exit 1 when a check failed, else print MESSAGE and exit 0.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "$1"
    exit 0
}

# desktop_stand_ins DIR: stand-ins in DIR for a desktop's editor and plot
# windows, to put first on PATH with EDITOR=stand-in-editor and a DISPLAY:
# the editor logs "editor FILE" in $tmp/desktop.log and changes nothing;
# gnuplot says that its terminal has windows (qt), logs "window SCRIPT" and
# closes each window at once, and hands any other use (a study's PNG plots)
# to the real gnuplot, when there is one.
desktop_stand_ins() {
    local real_gnuplot
    real_gnuplot=$(command -v gnuplot || echo false)
    mkdir -p "$1"
    cat >"$1/stand-in-editor" <<EOF
#!/bin/sh
echo "editor \${1##*/}" >>"$tmp/desktop.log"
EOF
    cat >"$1/gnuplot" <<EOF
#!/bin/sh
case \$* in
    *"print GPVAL_TERM"*) echo qt; exit 0 ;;
    *"pause mouse close"*) echo "window \$1" >>"$tmp/desktop.log"; exit 0 ;;
esac
exec $real_gnuplot "\$@"
EOF
    chmod +x "$1/stand-in-editor" "$1/gnuplot"
}
