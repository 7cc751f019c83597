#!/usr/bin/env bash
# Runs a test binary on a private D-Bus session on which nothing answers for
# the Secret Service: the bus starts no services on demand, so no keyring
# daemon comes up, as on a desktop that has none. The user's own session bus
# is never used.
set -euo pipefail

# Listing the tests needs no bus.
for argument in "$@"; do
  if [[ $argument == --gtest_list_tests ]]; then
    exec "$@"
  fi
done

if [[ -z ${QUORVEL_BARE_SESSION:-} ]]; then
  folder=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-bare-bus-XXXXXX")
  trap 'rm -rf "$folder"' EXIT
  # A session bus like the usual one, less its service folders.
  cat >"$folder/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir=$folder</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  export QUORVEL_BARE_SESSION=1
  status=0
  dbus-run-session --config-file="$folder/session.conf" -- "$0" "$@" || status=$?
  exit "$status"
fi

unset DISPLAY WAYLAND_DISPLAY
# The tests check that they run on this bus and no other.
export QUORVEL_BARE_BUS=$DBUS_SESSION_BUS_ADDRESS
exec "$@"
