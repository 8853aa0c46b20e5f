#!/bin/sh
# Feeds and records the test harness's sound server for tests that run under Wine (Wine starts
# Unix programs but cannot wait for them: each command touches "<file>.done" when it has finished).
#   play SINK FILE FORMAT RATE CHANNELS LATENCY_MS plays the raw file into the sink
#   record SOURCE FILE FORMAT RATE CHANNELS BYTES  records that many raw bytes into the file
#   sinks48k STATE   loads two s24le 48 kHz null sinks "Lyrant Engine 48k A/B" with keeper streams
#   unload STATE     removes what sinks48k loaded, then touches "STATE.unloaded"
# Nothing inherits the caller's output: a keeper stream would hold ctest's pipe open.
exec </dev/null >/dev/null 2>&1
cmd=$1
shift
STATE=${1:-}
# Only our own keeper streams: a stale id may belong to another process by now.
kill_keepers() {
  for pid; do
    grep -q engine48k_ "/proc/$pid/cmdline" 2>/dev/null && kill "$pid"
  done
}
case "$cmd" in
play)
  pacat -p -d "$1" --raw --format="$3" --rate="$4" --channels="$5" --latency-msec="${6:-20}" <"$2"
  touch "$2.done" ;;
record)
  parec -d "$1" --raw --format="$3" --rate="$4" --channels="$5" --latency-msec=20 | head -c "$6" >"$2"
  touch "$2.done" ;;
sinks48k)
  # What a run that ended early left behind: its keeper streams, then any such sink.
  [ -f "$1" ] && { set -- "$1" $(cat "$1"); shift 3; kill_keepers "$@"; set -- "$STATE"; }
  for m in $(pactl list short modules | grep 'sink_name=engine48k_' | cut -f1); do pactl unload-module "$m"; done
  a=$(pactl load-module module-null-sink sink_name=engine48k_a format=s24le rate=48000 channels=2 \
    'sink_properties=device.description="Lyrant\ Engine\ 48k\ A"')
  b=$(pactl load-module module-null-sink sink_name=engine48k_b format=s24le rate=48000 channels=2 \
    'sink_properties=device.description="Lyrant\ Engine\ 48k\ B"')
  pids=
  for sink in engine48k_a engine48k_b; do
    pacat -p -d "$sink" --format=s24le --rate=48000 --channels=2 --latency-msec=20 --raw /dev/zero &
    pids="$pids $!"
  done
  echo "$a $b$pids" >"$1"
  touch "$1.done" ;;
unload)
  state=$1
  set -- $(cat "$state") && rm -f "$state" "$state.done"
  pactl unload-module "$1"
  pactl unload-module "$2"
  shift 2
  kill_keepers "$@"
  touch "$state.unloaded" ;;
esac
