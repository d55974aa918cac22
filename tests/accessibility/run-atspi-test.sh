#!/usr/bin/env bash
# Reads the preview window with a real accessibility client: a virtual X server, a private
# session bus and accessibility bus, palvex-run showing a Hebrew report, and a pyatspi client
# that reads the window as a screen reader does and then presses Close. Exits 77 (skipped) only
# where there is no virtual X server; everything else missing is a failure. Never waits for
# long: the whole run is bounded.
# Usage: run-atspi-test.sh PALVEX_RUN PYTHON3 SCRIPT CLIENT
set -uo pipefail

fail() { echo "FAILED: $*"; exit 1; }

if [ "${1:-}" != --inside ]; then
    command -v Xvfb >/dev/null && command -v xvfb-run >/dev/null ||
        { echo "SKIPPED: Xvfb is not installed (Debian package xvfb)"; exit 77; }
    for tool in dbus-run-session /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null ||
            fail "$tool is missing (Debian packages dbus-daemon, at-spi2-core)"
    done
    "$2" -c 'import pyatspi' || fail "pyatspi is missing for $2 (Debian package python3-pyatspi)"
    exec timeout -k 5 60 xvfb-run -a -s "-screen 0 1366x768x24" \
        dbus-run-session -- bash "$0" --inside "$@"
fi

shift
runner=$(realpath "$1") python=$2 script=$(realpath "$3") client=$(realpath "$4")
work=$(mktemp -d /tmp/palvex-atspi.XXXXXX)
launcher="" app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$launcher" ] && kill "$launcher" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/launcher.log" 2>&1 &
launcher=$!
cd "$work" || fail "no working folder"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$runner" --show "$script" \
    >"$work/run.log" 2>&1 &
app=$!

timeout 30 "$python" "$client" 20
rc=$?
# The client pressed Close: the script host ends on its own.
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
    echo "FAILED: palvex-run still runs after Close"
    rc=1
else
    wait "$app" || { echo "FAILED: palvex-run ended with $?"; rc=1; }
    app=""
fi
if [ "$rc" -ne 0 ]; then
    echo "--- palvex-run said:"; cat "$work/run.log"
fi
exit "$rc"
