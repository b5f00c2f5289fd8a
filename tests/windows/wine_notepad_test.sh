#!/usr/bin/env bash
# A run of the Windows program with Wine's own Notepad, as a user runs it:
# on a virtual display, Notepad opens Kestrelfold.in, the listing's name on
# its first line is changed from saida.txt to novo-saida.txt by keystrokes
# (the first line: Notepad wraps long lines, and a key that moves down a
# line moves down a line of the screen), the file saved (Ctrl-S) and
# Notepad closed (Alt-F4); the run goes on with the edited file, and Notepad
# shows the extrapolation data file and then the listing, each closed in
# turn.
# The run must end with status 0 and leave the files that the Linux
# program leaves for the saved input, byte for byte (the processing time
# aside). wgnuplot is a stand-in that returns at once.
#
# Usage: wine_notepad_test.sh LINUX_BUILD WINDOWS_PROGRAM STAND_IN_DIR SOURCE_DIR WORK_DIR
# Exit 77 (skipped) without Xvfb or xdotool.
set -uo pipefail
linux_build=$1 windows_program=$2 stand_ins=$3 source_dir=$4 work=$5
for tool in Xvfb xdotool; do
  command -v $tool > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

rm -rf "$work"
mkdir -p "$work/windows" "$work/linux" "$work/bin"
cp "$stand_ins/wgnuplot.exe" "$work/bin/"  # no notepad: Wine's own is found
cp "$source_dir"/examples/Kestrelfold.in "$source_dir"/examples/Kestrelfold_*.gnu "$work/windows/"

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
run=
# shellcheck disable=SC2317  # called by the trap
end() {
  [ -n "$run" ] && kill "$run" 2> /dev/null
  WINEPREFIX=$work/wine wineserver -k 2> /dev/null
  kill "$xvfb" 2> /dev/null
}
trap end EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
DISPLAY=:$(cat "$work/display")
# A Wine folder of its own, whose server and desktop start on this display:
# those of the other tests were started without one, and a window of a
# program they serve is never shown.
WINEPREFIX=$work/wine
export DISPLAY WINEDEBUG=-all WINEPREFIX

(cd "$work/windows" && WINEPATH="Z:${work//\//\\}\\bin" \
  "$source_dir/tools/windows/wine_run.sh" "$windows_program" > stdout.txt 2> stderr.txt) &
run=$!

# The Notepad window of a file, once it is shown, with the keyboard's focus.
# Searched for again and again rather than with --sync: a window that goes
# while xdotool reads it (Wine's dialog while it prepares its folder, on a
# fresh machine) ends that search with an X error.
window_of() {
  local id=
  for _ in $(seq 600); do
    id=$(xdotool search --name "^$1 - Notepad\$" 2> /dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  if [ -z "$id" ]; then
    echo "FAIL: no Notepad window for $1; the windows shown: $(xdotool search --name . getwindowname %@ 2>&1 | tr '\n' '|')"
    exit 1
  fi
  xdotool windowfocus --sync "$id"
  sleep 2  # Notepad reads its file after showing its window
}
close_notepad() {
  xdotool key alt+F4
  for _ in $(seq 100); do
    xdotool search --name "^$1 - Notepad\$" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "FAIL: Notepad on $1 did not close"
  exit 1
}

window_of Kestrelfold.in
for key in ctrl+Home n o v o minus ctrl+s; do
  xdotool key "$key"
  sleep 0.3
done
sleep 1
close_notepad Kestrelfold.in
for file in novo-saida.txt.Vantreuse novo-saida.txt; do
  window_of $file
  close_notepad $file
done
status=0
wait "$run" || status=$?
run=

failures=0
[ $status = 0 ] || { echo "FAIL: the run ended with $status: $(cat "$work/windows/stderr.txt")"; failures=1; }
head -1 "$work/windows/Kestrelfold.in" | grep -q '^novo-saida.txt ' ||
  { echo "FAIL: the edit was not saved: $(head -1 "$work/windows/Kestrelfold.in")"; failures=1; }

# The Linux program on the input as Notepad saved it.
cmake --build "$linux_build" --target kestrelfold > /dev/null
cp "$work/windows/Kestrelfold.in" "$source_dir"/examples/Kestrelfold_*.gnu "$work/linux/"
for name in notepad wgnuplot; do printf '#!/bin/sh\nexit 0\n' > "$work/bin/$name"; chmod +x "$work/bin/$name"; done
(cd "$work/linux" && PATH="$work/bin:/usr/bin:/bin" "$linux_build/kestrelfold" > stdout.txt 2> stderr.txt) ||
  { echo "FAIL: the Linux program ended with $?"; failures=1; }
without_time() { LC_ALL=C sed 's/^.\{14\} = tempo de processamento/<time> = tempo de processamento/' "$1"; }
for file in novo-saida.txt novo-saida.txt.Vantreuse Kestrelfold_T.dat Kestrelfold_T.gnu Kestrelfold_E.gnu; do
  if [ "$(without_time "$work/linux/$file" | md5sum)" != "$(without_time "$work/windows/$file" | md5sum)" ]; then
    echo "FAIL: $file differs from the Linux program's"
    failures=1
  fi
done
[ $failures = 0 ] && echo "Notepad edited, saved and closed; the run went on with the edit"
exit $failures
