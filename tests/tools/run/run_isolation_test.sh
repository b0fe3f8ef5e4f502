#!/bin/sh
# make run's print server, display and VNC server against another local
# user (nobody): scripts/run starts them all around a stand-in wizard, which
# tries each as that user and as the owner, then ends the run.
# Usage: run_isolation_test.sh SOURCE_DIR SIMULATOR SESSION_PROBE
set -eu
source_dir=$1
simulator=$2
probe=$3
[ "$(id -u)" = 0 ] || { echo "FAIL: needs root (cupsd, runuser)"; exit 1; }
command -v runuser >/dev/null || { echo "FAIL: runuser (util-linux) is missing"; exit 1; }

work=$(mktemp -d /tmp/kpm-run-isolation.XXXXXX)
copies=
trap 'rm -rf "$work" $copies' EXIT
# nobody runs the probe from a copy: the build tree may lie in a home folder
# only its owner can enter.
copies=$("$source_dir/tests/support/copy-for-another-user" nobody "$probe")
probe=$copies/${probe##*/}
mkdir -p "$work/build/app" "$work/build/tools/printer-sim"
ln -s "$simulator" "$work/build/tools/printer-sim/kpm-printer-sim"
# The stand-in wizard: waits for the VNC details the test reads from the
# run's output, then records one line per check.
cat >"$work/build/app/kpm-wizard" <<'WIZARD'
#!/bin/sh
i=0
while [ ! -f "$WORK/go" ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
as_nobody() { runuser -u nobody -- env CUPS_SERVER="$CUPS_SERVER" "$@" </dev/null >/dev/null 2>&1; }
{
    echo "socket-folder-mode $(stat -c %a "$(dirname "$CUPS_SERVER")")"
    lpstat -v KPM-740-Simulator >/dev/null 2>&1 && echo "owner-lpstat ok" || echo "owner-lpstat FAILED"
    as_nobody lpstat -v && echo "nobody-lpstat FAILED" || echo "nobody-lpstat ok"
    as_nobody lpadmin -p KPM-740-Simulator -v file:/dev/null && echo "nobody-lpadmin FAILED" ||
        echo "nobody-lpadmin ok"
    as_nobody cupsctl --debug-logging && echo "nobody-cupsctl FAILED" || echo "nobody-cupsctl ok"
    lpstat -v KPM-740-Simulator 2>&1 | grep -q 'socket://' && echo "queue-unchanged ok" ||
        echo "queue-unchanged FAILED"
    lpstat -r 2>&1 | grep -q 'is running' && echo "server-running ok" || echo "server-running FAILED"
    n=${DISPLAY#:}
    "$PROBE" x11 "$n" "$XAUTHORITY" && echo "owner-display ok" || echo "owner-display FAILED"
    runuser -u nobody -- "$PROBE" x11 "$n" && echo "nobody-display FAILED" || echo "nobody-display ok"
    runuser -u nobody -- "$PROBE" x11 "$n" "$XAUTHORITY" 2>/dev/null &&
        echo "nobody-cookie FAILED" || echo "nobody-cookie ok"
    # shellcheck disable=SC2046
    runuser -u nobody -- "$PROBE" rfb $(cat "$WORK/vnc") && echo "nobody-vnc FAILED" ||
        echo "nobody-vnc ok"
} >"$WORK/result" 2>&1
WIZARD
chmod 755 "$work/build/app/kpm-wizard" "$work"

# The print server's policy on its own, with its socket where anybody can
# reach it: another user's requests are refused all the same.
mkdir -m 755 "$work/open"
"$source_dir/scripts/cupsd-harness" start "$work/open/cupsd" "$work/open/cups.sock" >/dev/null
"$source_dir/scripts/cupsd-harness" add-queue "$work/open/cupsd" KPM-Open socket://127.0.0.1:9 \
    >/dev/null
policy=ok
for attempt in "lpadmin -p KPM-Open -v file:/dev/null" "cupsctl --debug-logging" "lpstat -v"; do
    # shellcheck disable=SC2086
    if runuser -u nobody -- env CUPS_SERVER="$work/open/cups.sock" $attempt </dev/null \
        >/dev/null 2>&1; then
        echo "FAIL: another user's \"$attempt\" was taken"
        policy=failed
    fi
done
CUPS_SERVER="$work/open/cups.sock" lpstat -v KPM-Open | grep -q 'socket://' || policy=failed
"$source_dir/scripts/cupsd-harness" stop "$work/open/cupsd"
[ $policy = ok ] || exit 1

export WORK="$work" PROBE="$probe"
env -u DISPLAY -u WAYLAND_DISPLAY "$source_dir/scripts/run" "$work/build" >"$work/output" 2>&1 &
run_pid=$!
i=0
until grep -q 'starting the wizard' "$work/output" 2>/dev/null; do
    if ! kill -0 $run_pid 2>/dev/null || [ $i -ge 300 ]; then
        echo "FAIL: make run did not start the wizard:"
        cat "$work/output"
        kill $run_pid 2>/dev/null || true
        exit 1
    fi
    sleep 0.1
    i=$((i + 1))
done
sed -n 's/.*VNC server on \([0-9.]*\):\([0-9]*\)\..*/\1 \2/p' "$work/output" >"$work/vnc"
grep -q 'VNC password: *[0-9a-f]' "$work/output" || { echo "FAIL: no VNC password shown"; exit 1; }
chmod 644 "$work/vnc"
touch "$work/go"
status=0
wait $run_pid || status=$?
cat "$work/output"
echo "--- checks:"
cat "$work/result"
[ $status -eq 0 ] || { echo "FAIL: make run ended with $status"; exit 1; }
grep -q '^socket-folder-mode 700$' "$work/result" || { echo "FAIL: socket folder not private"; exit 1; }
if grep -q 'FAILED' "$work/result" || [ "$(grep -c ' ok$' "$work/result")" -ne 10 ]; then
    echo "FAIL"
    exit 1
fi
echo "PASS"
