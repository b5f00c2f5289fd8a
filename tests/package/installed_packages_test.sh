#!/usr/bin/env bash
# The packages of `cmake --workflow --preset package`, installed as a user
# installs them: the Debian package through apt-get, then a run of the
# installed program on the installed example with the installed batch
# adapters, and a mesh study; the ZIP unpacked, its files and README
# checked, and its program run under Wine on the same example, which must
# leave the same files as the Linux program. Run by CI as root (apt-get);
# the package is removed again at the end.
# Usage: installed_packages_test.sh PACKAGE_DIR SOURCE_DIR
set -euo pipefail
package_dir=$(cd "$1" && pwd) source_dir=$(cd "$2" && pwd)
version=$(sed -n 's/^project(kestrelfold VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
deb=$package_dir/kestrelfold_${version}_amd64.deb
zip=$package_dir/kestrelfold-${version}-win64.zip
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- The Debian package.
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" </dev/null > "$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; fail "apt-get install $deb"; exit 1; }
for file in /usr/bin/kestrelfold /usr/bin/kestrelfold-quad /usr/bin/kestrelfold-study \
            /usr/share/kestrelfold/batch/notepad /usr/share/kestrelfold/batch/wgnuplot \
            /usr/share/kestrelfold/desktop/notepad /usr/share/kestrelfold/desktop/wgnuplot \
            /usr/share/kestrelfold/examples/Kestrelfold.in /usr/share/man/man1/kestrelfold.1 \
            /usr/share/man/man1/kestrelfold-quad.1 /usr/share/man/man1/kestrelfold-study.1; do
  dpkg -S "$file" > /dev/null 2>&1 || fail "the package does not hold $file"
done
man -l /usr/share/man/man1/kestrelfold.1 2> /dev/null | grep -q '/usr/share/kestrelfold/batch' ||
  fail "the man page does not name the installed adapters"
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "the package does not declare libstdc++6"

programs=(kestrelfold kestrelfold-quad)
for program in "${programs[@]}"; do
  mkdir "$tmp/linux-$program"
  cp /usr/share/kestrelfold/examples/* "$tmp/linux-$program/"
  status=0
  (cd "$tmp/linux-$program" && PATH=/usr/share/kestrelfold/batch:$PATH $program > run.log 2>&1) || status=$?
  [ $status = 0 ] || { cat "$tmp/linux-$program/run.log"; fail "the installed $program ended with $status"; }
  [ -s "$tmp/linux-$program/saida.txt" ] || fail "the installed $program wrote no listing"
done
if command -v gnuplot > /dev/null; then
  [ -s "$tmp/linux-kestrelfold/Kestrelfold_T.png" ] || fail "the installed batch wgnuplot drew no plot"
fi
status=0
(cd "$tmp" && kestrelfold-study --fonte 1 --meshes 10,20,40 --dir estudo > study.log 2>&1) || status=$?
if [ $status != 0 ] || [ ! -s "$tmp/estudo/estudo.csv" ]; then
  cat "$tmp/study.log"
  fail "the installed study ended with $status"
fi
DEBIAN_FRONTEND=noninteractive apt-get remove -y kestrelfold </dev/null > /dev/null 2>&1 || fail "apt-get remove"
echo "checked: $(basename "$deb")"

# --- The ZIP for Windows.
(cd "$tmp" && cmake -E tar xf "$zip")
top=$tmp/kestrelfold-${version}-win64
for file in kestrelfold.exe kestrelfold-quad.exe README.txt examples/Kestrelfold.in examples/Kestrelfold_T.gnu examples/Kestrelfold_E.gnu; do
  [ -f "$top/$file" ] || fail "the ZIP does not hold $file"
done
[ "$(grep -c $'\r$' "$top/README.txt")" = "$(wc -l < "$top/README.txt")" ] || fail "README.txt has lines without CR LF"
for words in wgnuplot gnuplot.info 'bin folder on PATH'; do
  grep -q "$words" "$top/README.txt" || fail "README.txt does not say '$words'"
done
# Only the system's own DLLs: the runtimes are linked in.
for exe in "$top"/*.exe; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u | tr '\n' ' ')
  for dll in $imports; do
    case $dll in kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | ws2_32.dll) ;; *) fail "$(basename "$exe") imports $dll" ;; esac
  done
done
# Stand-ins that do nothing, in cmd.exe's own language, first on Wine's PATH.
mkdir "$tmp/stand-ins"
printf '@exit /b 0\r\n' > "$tmp/stand-ins/notepad.cmd"
printf '@exit /b 0\r\n' > "$tmp/stand-ins/wgnuplot.cmd"
stand_ins=$tmp/stand-ins
for program in "${programs[@]}"; do
  mkdir "$tmp/windows-$program"
  cp "$top"/examples/* "$tmp/windows-$program/"
  status=0
  (cd "$tmp/windows-$program" && WINEPATH="Z:${stand_ins//\//\\}" \
    "$source_dir/tools/windows/wine_run.sh" "$top/$program.exe" > run.log 2>&1) || status=$?
  [ $status = 0 ] || { cat "$tmp/windows-$program/run.log"; fail "the unpacked $program.exe ended with $status"; }
  for file in saida.txt saida.txt.Vantreuse Kestrelfold_T.dat Kestrelfold_T.gnu Kestrelfold_E.gnu; do
    cmp -s "$tmp/linux-$program/$file" "$tmp/windows-$program/$file" ||
      fail "$file of $program.exe differs from the Linux program's"
  done
done
echo "checked: $(basename "$zip")"

[ $failures = 0 ] || { echo "$failures failures"; exit 1; }
