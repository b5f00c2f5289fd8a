#!/usr/bin/env bash
# The Windows program against the Linux program, whole runs side by side:
# for each input, both run in folders of their own with the same files and
# stand-in `notepad` and `wgnuplot` first on their PATH (the Linux program's
# /bin/sh scripts, the Windows program's .exe under Wine, found through
# WINEPATH), and every file they leave must be byte for byte the same, the
# log of the commands they started included, as must their exit status and
# their messages. The one field that may differ is the processing time in
# the listing: it is measured.
#
# Usage: same_files_test.sh LINUX_BUILD WINDOWS_PROGRAM STAND_IN_DIR SOURCE_DIR WORK_DIR
#   LINUX_BUILD: the Linux build to compare with (the default preset's
#   folder): its program is brought up to date from the same sources first,
#   and the folder is configured as the default preset does when it is new.
#   STAND_IN_DIR holds notepad.exe and wgnuplot.exe (tests/windows/stand_in.cpp).
set -euo pipefail
linux_build=$1 windows_program=$2 stand_ins=$3 source_dir=$4 work=$5
wine_run=$source_dir/tools/windows/wine_run.sh
program_name=$(basename "$windows_program" .exe)
linux_program=$linux_build/$program_name

if [ ! -e "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$source_dir" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
fi
cmake --build "$linux_build" --target "$program_name" > /dev/null

rm -rf "$work"
mkdir -p "$work/bin"
# The Linux stand-in: the same line as the Windows one (stand_in.cpp), the
# same wait when KESTRELFOLD_STAND_IN_WAIT names it.
for name in notepad wgnuplot; do
  cat > "$work/bin/$name" <<'SCRIPT'
#!/bin/sh
name=${0##*/}
{ printf '%s' "$name"; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\n'; } >> commands.log
if [ "${KESTRELFOLD_STAND_IN_WAIT:-}" = "$name" ]; then
  : > "$name.started"
  while [ ! -e go ]; do sleep 0.02; done
fi
exit 3
SCRIPT
  chmod +x "$work/bin/$name"
done
windows_stand_ins="Z:${stand_ins//\//\\}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The input file of a case, as Notepad saves it (CR LF).
# input FOLDER CASO FONTE N GRAF COEF SOL FREQ
input() {
  local folder=$1
  shift
  printf "'%s'\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n'Kestrelfold no Windows e no Linux: solu\xe7\xe3o'\r\n" \
    "$@" > "$folder/Kestrelfold.in"
}

# A new folder for each system with the case's input and the example scripts.
prepare() {
  local case_dir=$1
  shift
  for side in linux windows; do
    mkdir -p "$case_dir/$side"
    cp "$source_dir/examples/Kestrelfold_T.gnu" "$source_dir/examples/Kestrelfold_E.gnu" "$case_dir/$side/"
    input "$case_dir/$side" "$@"
  done
}

run_linux() { (cd "$1" && PATH="$work/bin:/usr/bin:/bin" "$linux_program" > stdout.txt 2> stderr.txt); }
run_windows() { (cd "$1" && WINEPATH="$windows_stand_ins" "$wine_run" "$windows_program" > stdout.txt 2> stderr.txt); }

# The listing's processing time, the one measured field, as a mark.
without_time() { LC_ALL=C sed 's/^.\{14\} = tempo de processamento/<time> = tempo de processamento/' "$1"; }

# The names of a folder's files as Windows names them: the Linux program's
# names are its Latin-1 bytes, and Wine keeps a Windows name on disk in UTF-8.
names() { (cd "$1" && ls -A); }
windows_names() { names "$1" | iconv -f ISO-8859-1 -t UTF-8; }

# The console, whose lines end in CR LF on Windows; the system's own words
# for a refused read or write (Linux's "File too large") are its own.
console_lines() {
  tr -d '\r' < "$1" | sed -E 's/^(.*: error during (read|write), unit [0-9]+, file [^:]*): .*$/\1: <reason>/'
}

# Every file of the two folders, the same names and the same bytes; the
# console the same line for line.
compare_folders() {
  local name=$1 linux=$2 windows=$3
  if [ "$(windows_names "$linux")" != "$(names "$windows")" ]; then
    fail "$name: other files: $(diff <(windows_names "$linux") <(names "$windows") | grep '^[<>]' | tr '\n' ' ')"
    return
  fi
  local linux_name
  while IFS= read -r linux_name; do
    local file=$linux/$linux_name
    local twin
    twin=$windows/$(printf '%s' "$linux_name" | iconv -f ISO-8859-1 -t UTF-8)
    case $linux_name in
      stdout.txt | stderr.txt)
        [ "$(console_lines "$file")" = "$(console_lines "$twin")" ] || fail "$name: $linux_name differs"
        continue ;;
    esac
    if cmp -s "$file" "$twin"; then continue; fi
    if [ "$(without_time "$file" | md5sum)" = "$(without_time "$twin" | md5sum)" ]; then continue; fi
    fail "$name: $linux_name differs: $(cmp "$file" "$twin" 2>&1 | head -1)"
  done < <(names "$linux")
}

# run_case NAME STATUS CASO FONTE N GRAF COEF SOL FREQ: both programs on the
# same input; both must end with STATUS.
run_case() {
  local name=$1 status=$2
  shift 2
  local case_dir=$work/$name
  prepare "$case_dir" "$@"
  local linux_status=0 windows_status=0
  run_linux "$case_dir/linux" || linux_status=$?
  run_windows "$case_dir/windows" || windows_status=$?
  [ "$linux_status" = "$status" ] || fail "$name: the Linux program ended with $linux_status, not $status"
  [ "$windows_status" = "$status" ] || fail "$name: the Windows program ended with $windows_status, not $status"
  compare_folders "$name" "$case_dir/linux" "$case_dir/windows"
  echo "compared: $name"
}

# Every source term with every table (the plots too, every node listed),
# then without tables on a mesh a hundred times finer.
for fonte in 0 1 2 3 4; do
  run_case "fonte-$fonte-tables" 0 saida.txt "$fonte" 1000 1 1 1 1
  run_case "fonte-$fonte-no-tables" 0 saida.txt "$fonte" 100000 0 0 0 1
done
# Every other node listed, on an odd mesh (T(1/2) half an element off).
run_case "odd-mesh-freq-3" 0 saida.txt 3 1001 1 1 1 3
# A listing name that cmd.exe and /bin/sh would both take apart unquoted:
# blanks, & ( ) % ^ and a Latin-1 letter, byte for byte in the file name.
run_case "name-to-quote" 0 $'r\xe9sultado 50% (a&b) ^x.txt' 2 10 1 0 1 1
# Values the run refuses before it writes anything.
run_case "refused-value" 1 saida.txt 7 10 0 0 0 1

# A write the system refuses: a file-size limit of 64 KiB, which the plot
# data file reaches; the Wine process ignores SIGXFSZ as the program does on
# Linux, so that the write is refused rather than the process killed.
prepare "$work/refused-write" saida.txt 0 1000 1 1 1 1
linux_status=0 windows_status=0
(ulimit -f 64 && run_linux "$work/refused-write/linux") || linux_status=$?
(trap '' XFSZ && ulimit -f 64 && run_windows "$work/refused-write/windows") || windows_status=$?
if [ "$linux_status" != 1 ] || [ "$windows_status" != 1 ]; then
  fail "refused-write: statuses $linux_status (Linux) and $windows_status (Windows), not 1"
fi
grep -q 'error during write, unit 11, file Kestrelfold_T.dat' "$work/refused-write/linux/stderr.txt" ||
  fail "refused-write: the Linux run did not reach the limit"
compare_folders refused-write "$work/refused-write/linux" "$work/refused-write/windows"
echo "compared: refused-write"

# An interrupted run: Ctrl-C (SIGINT, which Wine hands to the program's
# console handler as Ctrl-C) while the editor is open on the input file,
# before anything is written, and while the first plot is shown. Linux ends by the signal (130),
# Windows with STATUS_CONTROL_C_EXIT, which reaches the shell through Wine
# as its low byte, 0x3A; each says so in one line, and both leave the same
# whole records.
# interrupt_while STAND_IN FOLDER COMMAND...: the status of the program
# interrupted while the stand-in waits.
interrupt_while() {
  local stand_in=$1 folder=$2
  shift 2
  (cd "$folder" && KESTRELFOLD_STAND_IN_WAIT=$stand_in exec "$@" > stdout.txt 2> stderr.txt) &
  local pid=$!
  local waited=0
  while [ ! -e "$folder/$stand_in.started" ] && [ $waited -lt 600 ]; do sleep 0.1; waited=$((waited + 1)); done
  kill -INT "$pid"
  local status=0
  wait "$pid" || status=$?
  : > "$folder/go"  # the stand-in, left to itself, ends
  sleep 0.3
  rm -f "$folder/go" "$folder/$stand_in.started"
  echo "$status"
}
export WINEDEBUG=-all
for stand_in in notepad wgnuplot; do
  name=interrupted-$stand_in
  prepare "$work/$name" saida.txt 3 1000 1 1 1 1
  : > "$work/$name/linux/saida.txt.Vantreuse"  # an earlier run's file, which must stay as it was
  : > "$work/$name/windows/saida.txt.Vantreuse"
  linux_status=$(interrupt_while $stand_in "$work/$name/linux" env PATH="$work/bin:/usr/bin:/bin" "$linux_program")
  windows_status=$(interrupt_while $stand_in "$work/$name/windows" env WINEPATH="$windows_stand_ins" wine "$windows_program")
  [ "$linux_status" = 130 ] || fail "$name: the Linux program ended with $linux_status, not 130"
  [ "$windows_status" = 58 ] || fail "$name: the Windows program ended with $windows_status, not 58"
  [ "$(console_lines "$work/$name/linux/stderr.txt")" = "$program_name: interrupted by SIGINT" ] ||
    fail "$name: the Linux program's message"
  [ "$(console_lines "$work/$name/windows/stderr.txt")" = "$program_name: interrupted by Ctrl-C" ] ||
    fail "$name: the Windows program's message"
  rm "$work/$name/linux/stderr.txt" "$work/$name/windows/stderr.txt"
  compare_folders $name "$work/$name/linux" "$work/$name/windows"
  echo "compared: $name"
done

if [ $failures -gt 0 ]; then
  echo "$failures differences"
  exit 1
fi
echo "every run the same on both systems"
