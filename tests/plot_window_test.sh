#!/usr/bin/env bash
# The desktop adapters with a real gnuplot window, on a virtual X server: a
# whole run of the shipped example shows each plot in a qt window that holds
# the drawn curves (a picture of the window is taken), says in one line how to
# go on, and goes on when q is pressed in the window.
# Arguments: program path, source dir, build dir. Exit 77: Xvfb, xdotool, xwd
# or a gnuplot with the qt terminal missing.
set -u
program=$1
source_dir=$2

for tool in Xvfb xdotool xwd gnuplot; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
case " $(gnuplot -e "set print '-'; print GPVAL_TERMINALS" </dev/null 2>/dev/null) " in
    *" qt "*) ;;
    *)
        echo "SKIP: gnuplot has no qt terminal (Debian: gnuplot-qt)"
        exit 77
        ;;
esac

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# A display of its own: Xvfb takes a free number and tells it on fd 3. It
# must not reset when its last client leaves (the first plot window): the
# next window would find it unable to take a connection for a while.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
if [ ! -s "$tmp/display" ]; then
    echo "FAIL: Xvfb did not start: $(cat "$tmp/xvfb.log")"
    exit 1
fi
DISPLAY=:$(cat "$tmp/display")
export DISPLAY
export XDG_RUNTIME_DIR=$tmp/runtime GNUTERM=qt LC_ALL=C.UTF-8
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

# count_colour XWD RRGGBB: how many pixels of an X window dump (true colour,
# 32 bits a pixel) have that colour.
count_colour() {
    local header offset pattern
    read -r -a header < <(od -An -tu4 --endian=big -N100 "$1" | tr -s ' \n' '  ')
    offset=$((header[0] + header[19] * 12))
    # header[7], the byte order: 0 puts blue first.
    if [ "${header[7]}" = 0 ]; then
        pattern="^ ${2:4:2} ${2:2:2} ${2:0:2} "
    else
        pattern="^ .. ${2:0:2} ${2:2:2} ${2:4:2}\$"
    fi
    od -An -v -tx1 -w4 -j "$offset" "$1" | grep -c "$pattern"
}

# plot_window: the id of the plot window on screen, once there is one.
plot_window() {
    local w
    for _ in $(seq 150); do
        w=$(xdotool search --onlyvisible --class gnuplot_qt 2>/dev/null | head -n 1)
        if [ -n "$w" ]; then
            echo "$w"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# close_plot NAME: takes the picture of the plot window into $tmp/NAME.xwd
# once gnuplot's first line colour is drawn in it, then presses q there and
# waits for the window to go.
close_plot() {
    local w
    if ! w=$(plot_window); then
        fail "$1: no plot window shown"
        return
    fi
    for _ in $(seq 50); do
        xwd -id "$w" -silent >"$tmp/$1.xwd" 2>/dev/null &&
            [ "$(count_colour "$tmp/$1.xwd" 9400d3)" -ge 300 ] && break
        sleep 0.2
    done
    xdotool windowfocus --sync "$w" key q 2>/dev/null
    for _ in $(seq 50); do
        xdotool search --onlyvisible --class gnuplot_qt 2>/dev/null | grep -qx "$w" || return
        sleep 0.1
    done
    fail "$1: q did not close the plot window"
}

work=$tmp/work
mkdir -p "$work"
cp "$source_dir"/examples/Kestrelfold.in "$source_dir"/examples/*.gnu "$work"/
(cd "$work" && PATH="$source_dir/tools/desktop:$PATH" EDITOR=true \
    timeout 60 "$program" </dev/null >"$tmp/run.out" 2>"$tmp/run.err") &
run=$!
close_plot T
close_plot E
status=0
wait "$run" || status=$?

[ "$status" -eq 0 ] || fail "the run ended with status $status: $(cat "$tmp/run.err")"
# The adapters' hints, one line each, and nothing else (no gnuplot or Qt warning).
printf 'wgnuplot: %s is shown in a plot window: close the window (or press q in it) to go on\n' \
    Kestrelfold_T.gnu Kestrelfold_E.gnu | cmp -s - "$tmp/run.err" ||
    fail "the run printed other than the two hints: $(cat "$tmp/run.err")"
LC_ALL=C grep -aq '^ \*\*\* VARI.VEIS DE INTERESSE \*\*\*' "$work/saida.txt" || fail "the listing is not complete"

# The pictures hold the curves: T the exact solution's line (first colour)
# and the numerical points (second colour), E the error's line and points.
# name | colour | least number of pixels
colours=(
    "T|9400d3|300"
    "T|009e73|100"
    "E|9400d3|300"
)
for c in "${colours[@]}"; do
    IFS='|' read -r name colour least <<<"$c"
    if [ ! -s "$tmp/$name.xwd" ]; then
        fail "$name: no picture of the window"
        continue
    fi
    n=$(count_colour "$tmp/$name.xwd" "$colour")
    [ "$n" -ge "$least" ] || fail "$name: only $n pixels of colour $colour in the window"
done

finish "plot window: all checks passed"
