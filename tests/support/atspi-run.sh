#!/bin/bash
# Runs the app in demo mode on a private display, session bus and home, with
# the stand-in service beside it and the accessibility bus on, and walks it
# with atspi-dump.py as a screen reader would:
#
#   dbus-run-session -- xvfb-run -a -s "-screen 0 1400x900x24" \
#     tests/support/atspi-run.sh BUILD [NAME=VALUE...] -- [atspi-dump.py steps...]
#
# e.g. QUORVEL_OPEN=demo:maya -- --controls --press "Read Our Messages" --dump wizard
set -u
build=$(realpath "$1")
shift
here=$(dirname "$(realpath "$0")")
home=$(mktemp -d)
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
export QUORVEL_DEMO=$here/../../samples/sample-book.json
while [ $# -gt 0 ] && [ "$1" != "--" ]; do export "$1"; shift; done
[ $# -gt 0 ] && shift
"$build/stage/libexec/quorvel/quorvel-service" --port 8797 --data "$home/service" --mode stripe \
  >"$home/service.log" 2>&1 &
service=$!
export QUORVEL_API=http://127.0.0.1:8797 QUORVEL_HANDOFF_ORIGIN=http://127.0.0.1:8797
"$build/stage/bin/quorvel" >"$home/app.log" 2>&1 &
app=$!
/usr/bin/python3 "$here/atspi-dump.py" Quorvel "$@"
status=$?
kill $app $service 2>/dev/null
wait $app $service 2>/dev/null
rm -rf "$home"
exit $status
