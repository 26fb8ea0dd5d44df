#!/usr/bin/env bash
# Runs a command beside a private PulseAudio daemon whose default sink is a
# null sink, so that sound is really played (and can be recorded from the
# sink's monitor) on a machine without sound hardware. The daemon and its
# runtime folder go away afterwards.
#
#   with-pulseaudio.sh COMMAND [ARGS...]
set -euo pipefail

runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
unset PULSE_SERVER
log=$runtime/pulseaudio.log

cleanup() {
    pulseaudio --kill >/dev/null 2>&1 || true
    rm -rf "$runtime"
}
trap cleanup EXIT

# -n: no default script, so nothing looks for sound hardware; only the
# protocol clients need and the null sink are loaded. As root the daemon warns
# that it is meant for a user session, which is harmless here.
if ! pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load=module-native-protocol-unix >"$log" 2>&1; then
    echo "with-pulseaudio: the PulseAudio daemon did not start:" >&2
    cat "$log" >&2
    exit 1
fi
for _ in 1 2 3 4 5 6 7 8 9 10; do
    pactl info >/dev/null 2>&1 && break
    sleep 0.2
done
pactl load-module module-null-sink sink_name=kantel_null >/dev/null
pactl set-default-sink kantel_null

"$@"
