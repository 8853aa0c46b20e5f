# shellcheck shell=bash
# Sourced by scripts/bench once its harness runs: the sinks, signals and measured stretches of its
# runs. Every sound is fed and recorded with the sound server's own tools at the format use_format
# chose; the program under test (AudioBench route) only routes.

fail() { echo "bench: FAILED: $*" >&2; exit 1; }
load() { echo "load $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) on $(nproc) processors"; }
signal() { python3 "$top/core/tests/audio_bench_signal.py" "--format=$fmt_rate:$fmt_bits" "$@"; }
# The feeding and recording tools keep the server's default buffers (2 s): the measuring path must
# not break on a loaded machine, and the Wine setting is not theirs.
play() {
  env -u PULSE_LATENCY_MSEC pacat -p -d "$1" --raw --format="$fmt_pcm" --rate="$fmt_rate" --channels=2 "$2"
}
record() {
  env -u PULSE_LATENCY_MSEC parec -d "$1.monitor" --raw --format="$fmt_pcm" --rate="$fmt_rate" --channels=2 \
    2>/dev/null | head -c "$2" >"$3"
}

# use_format RATE BITS: the stereo format that the signals, the tools and the sinks loaded from now
# on use, and its clicks.
use_format() {
  fmt_rate=$1 fmt_bits=$2 fmt_pcm=s${2}le fmt_frame=$(($2 / 8 * 2))
  clicks_file=$run/clicks-$1-$2.raw
  [ -f "$clicks_file" ] || signal clicks "$clicks_file" || fail "no clicks written"
  click_bytes=$(($(stat -c %s "$clicks_file") + 2 * fmt_rate * fmt_frame))
}

# make_feed SECONDS: the counter feed of that length at the format, in $feed ($frames counter frames,
# $tone_bytes the recording of it with room for the delay a break adds).
make_feed() {
  feed=$run/feed-$fmt_rate-$fmt_bits-$1.raw
  frames=$(signal feed "$feed" "$1") || fail "no feed written"
  tone_bytes=$(((frames + 10 * fmt_rate) * fmt_frame))
}

# sink NAME DESCRIPTION [MODULE ARGS...]: a null sink with a silent keeper stream (an idle sink's
# monitor starts delivering late).
sink() {
  local name=$1 description=$2
  shift 2
  pactl load-module module-null-sink sink_name="$name" \
    "sink_properties=device.description=\"${description// /\\ }\"" "$@" >/dev/null || return 1
  env -u PULSE_LATENCY_MSEC pacat -p -d "$name" --latency-msec=20 --raw --format="$fmt_pcm" --rate="$fmt_rate" \
    --channels=2 /dev/zero >/dev/null 2>&1 &
  keepers+=("$!")
}
# feed_sink NAME SLAVES DESCRIPTION [MODULE ARGS...]: a sink that plays into all its slaves at once, so
# that one recording holds each click both directly and after the path under test.
feed_sink() {
  local name=$1 slaves=$2 description=$3
  shift 3
  pactl load-module module-combine-sink sink_name="$name" slaves="$slaves" \
    "sink_properties=device.description=\"${description// /\\ }\"" "$@" >/dev/null
}

# loopback SOURCE SINK MS [ADJUST_SECONDS]: PulseAudio's own loopback at that latency, by default
# without rate adjustment (its rate stays that of both sinks); prints the module's index.
loopback() {
  pactl load-module module-loopback source="$1" sink="$2" latency_msec="$3" adjust_time="${4:-0}"
}

# clicks FEED_SINK NAME:SINK...: plays the clicks into the feed sink and prints each named sink's
# latency: the median distance of each click's direct copy and its copy through the path. A latency
# that cannot be measured (a break swallowed the clicks) is named in "missing".
clicks() {
  local into=$1 pair recorders=()
  shift
  for pair; do
    record "${pair#*:}" "$click_bytes" "$run/${pair%%:*}.raw" &
    recorders+=("$!")
  done
  sleep 0.5
  play "$into" "$clicks_file"
  wait "${recorders[@]}"
  for pair; do
    signal latency "${pair%%:*}" "$run/${pair%%:*}.raw" || echo "${pair%%:*}" >>"$run/missing"
  done
}

# tone NAME INPUT SINK...: records the counter feed from each sink, as $run/NAME.SINK.raw, while it
# plays into the input sink.
tone() {
  local name=$1 input=$2 sink recorders=()
  shift 2
  for sink; do
    record "$sink" "$tone_bytes" "$run/$name.$sink.raw" &
    recorders+=("$!")
  done
  sleep 0.5
  # Sets the breaks beside the times at which the program's queues ran empty.
  [ -n "$routed_at" ] && awk -v a="$routed_at" -v b="$(date +%s.%N)" -v n="$name" \
    'BEGIN { printf "bench: %s: the feed starts %.1f s after routing began, its counter 0.5 s later\n", n, b - a }' >&2
  play "$input" "$feed"
  wait "${recorders[@]}"
}

# measure PREFIX BREAKS_NAME SINKS...: the default run's stretch: latency, the counter tone recorded
# from each sink, latency again; the breaks of all sinks together. Only the first sink's latency is
# measured.
measure() {
  local prefix=$1 name=$2 sink files=()
  shift 2
  sleep 1
  clicks bench_feed "${prefix}_start_ms:$1"
  tone "$name" speakers_a "$@"
  clicks bench_feed "${prefix}_5min_ms:$1"
  for sink; do files+=("$run/$name.$sink.raw"); done
  signal breaks "$name" "$frames" "${files[@]}"
}

# checked PREFIX SINK...: a named run's stretch, beside its control (the loopback into $control_sink
# that the run keeps loaded): latency of the first sink and of the control, the counter feed
# recorded from the control and every sink, latency again; then the control's breaks, and only when
# it had none the stretch's figures: "PREFIX_breaks" (or "PREFIX_breaks_chN" for each of several
# sinks). Leaves the program's breaks in $checked_breaks and its latencies in $checked_start and
# $checked_end (empty when not measured); returns 1 when the stretch was not measured.
checked() {
  local prefix=$1 lines control sink n=0 figure
  shift
  checked_breaks='' checked_start='' checked_end=''
  echo "bench: $prefix: the feed from $feed_input into $*, the control into $control_sink; $(load)" >&2
  sleep 1
  lines=$(clicks "$feed_sink" "${prefix}_latency_start_ms:$1" "${prefix}_control_latency_start_ms:$control_sink")
  tone "$prefix" "$feed_input" "$control_sink" "$@"
  lines+=$'\n'$(clicks "$feed_sink" "${prefix}_latency_end_ms:$1" "${prefix}_control_latency_end_ms:$control_sink")
  control=$(signal breaks $control_slips "${prefix}_control_breaks" "$frames" "$run/$prefix.$control_sink.raw")
  if [ "$control" != "${prefix}_control_breaks 0 count" ]; then
    echo "bench: $prefix: not measured: PulseAudio's own loopback broke beside it (${control:-no feed arrived})" >&2
    echo "$prefix" >>"$run/missing"
    return 1
  fi
  checked_breaks=0
  for sink; do
    n=$((n + 1))
    figure=$(signal breaks "${prefix}_breaks$([ $# -gt 1 ] && echo "_ch$n")" "$frames" "$run/$prefix.$sink.raw") \
      || { echo "$prefix" >>"$run/missing"; return 1; }
    lines+=$'\n'$figure
    checked_breaks=$((checked_breaks + $(echo "$figure" | cut -d' ' -f2)))
  done
  # The control's figures first, then the program's.
  echo "$lines" | grep "^${prefix}_control_"
  echo "$control"
  echo "$lines" | grep -v -e '^$' -e "^${prefix}_control_"
  checked_start=$(echo "$lines" | awk -v n="${prefix}_latency_start_ms" '$1 == n { print $2 }')
  checked_end=$(echo "$lines" | awk -v n="${prefix}_latency_end_ms" '$1 == n { print $2 }')
  return 0
}

# route CHANNELS [KEY=VALUE...]: starts the program under test routing (AudioBench's route and its
# keys: ring, buffers, rate, bits, input, outputs).
routed_at=
route() {
  rm -f "$build/tests/bench-ready" "$build/tests/bench-stop"
  (cd "$build/tests" && exec wine AudioBench.exe route "$@") &
  router=$!
  local i
  for i in $(seq 1 600); do
    if [ -f "$build/tests/bench-ready" ]; then
      routed_at=$(date +%s.%N)
      return 0
    fi
    kill -0 "$router" 2>/dev/null || break
    sleep 0.1
  done
  # It never said it runs: it may hang in a device, so it is not asked to stop.
  kill "$router" >/dev/null 2>&1
  wait "$router" 2>/dev/null
  router=
  return 1
}
unroute() {
  touch "$build/tests/bench-stop"
  wait "$router"
  router='' routed_at=''
}
