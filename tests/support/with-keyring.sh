#!/usr/bin/env bash
# Runs a test binary against a keyring of its own: a private D-Bus session
# with a gnome-keyring-daemon on a fresh home, unlocked by a throwaway
# password so that nothing prompts. The user's own keyring is never on that
# bus. Works from a plain shell without a desktop session (CI runs as root).
set -euo pipefail

# Listing the tests needs no keyring.
for argument in "$@"; do
  if [[ $argument == --gtest_list_tests ]]; then
    exec "$@"
  fi
done

if [[ -z ${QUORVEL_KEYRING_SESSION:-} ]]; then
  export QUORVEL_KEYRING_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-keyring-XXXXXX")
trap 'rm -rf "$home"' EXIT
export HOME=$home
export XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache
export XDG_RUNTIME_DIR=$home/runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY

# With --unlock the daemon creates the login keyring with this password and
# becomes the session's Secret Service before it returns.
printf 'quorvel-tests\n' | gnome-keyring-daemon --unlock --components=secrets >/dev/null

# The tests check that they run on this bus and no other.
export QUORVEL_PRIVATE_KEYRING=$DBUS_SESSION_BUS_ADDRESS
status=0
"$@" || status=$?
exit "$status"
