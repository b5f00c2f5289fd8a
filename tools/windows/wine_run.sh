#!/bin/sh
# wine_run.sh PROGRAM.exe [ARGUMENTS...]: runs a Windows program under Wine
# for the build and the tests, with its exit status, within a time limit
# (WINE_RUN_TIMEOUT seconds, default 600).
#
# Wine's background services (services.exe, explorer.exe, ...) outlive the
# program they were started for, and keep whatever output pipe that program
# had: CTest, reading a test's output to its end, would wait for them for
# ever. So the Wine server is kept running (-p) and the services are
# started once by a command whose output goes nowhere; every later program
# finds them running and ends alone. `wineserver -k` ends them all.
set -u
export WINEDEBUG=-all
export LANG=C.UTF-8
# No .NET (Mono) and no HTML engine (Gecko): nothing here uses them, and a
# new Wine folder would otherwise offer to download them, in a window.
export WINEDLLOVERRIDES="mscoree=;mshtml="
wineserver -p </dev/null >/dev/null 2>&1  # fails when it runs already: as good
timeout 120 wine cmd /c exit 0 </dev/null >/dev/null 2>&1
exec timeout "${WINE_RUN_TIMEOUT:-600}" wine "$@"
