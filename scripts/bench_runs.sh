# shellcheck shell=bash
# Sourced by scripts/bench: its runs, each with the sinks it loads before Wine reads the device list
# (bench_sinks_NAME) and what it measures (bench_NAME). See scripts/bench for what each prints.

# The default ring, of the program and of every control.
control_ms=200

describe() { echo "bench: $bench_run: $*; the $arch build, Wine audio: $(harness_wine_audio); $(load)" >&2; }

# The default run: two more sinks for the second and third channel, and one that feeds A and B at once.
bench_sinks_default() {
  use_format 44100 16
  sink bench_c "Lyrant Bench C" && sink bench_d "Lyrant Bench D" \
    && feed_sink bench_feed speakers_a,speakers_b "Lyrant Bench Feed"
}

bench_default() {
  local seconds=${BENCH_SECONDS:-300} module control status
  describe "cost at the default format, then the control, one and three channels, ${seconds} s each"
  (cd "$build/tests" && wine AudioBench.exe rtf) || fail "the cost measurement did not run"
  make_feed "$seconds"
  # The control: the server's loopback at the engine's default ring (10 x 20 ms).
  module=$(loopback speakers_a.monitor speakers_b "$control_ms") || fail "the loopback module did not load"
  control=$(measure loopback_latency breaks_loopback_5min speakers_b)
  status=$?
  pactl unload-module "$module"
  echo "$control"
  [ $status -eq 0 ] && [ ! -s "$run/missing" ] || fail "the control could not be measured"
  case "$control" in
    *"breaks_loopback_5min 0 count"*) ;;
    *) fail "the control is not clean: PulseAudio's own loopback broke on this machine, so breaks of the program cannot be told from breaks of the machine" ;;
  esac

  route 1 || fail "one channel did not start"
  measure latency breaks_5min speakers_b || { unroute; fail "the one-channel run could not be measured"; }
  unroute

  route 3 || fail "three channels did not start"
  measure latency_3ch breaks_5min_3ch speakers_b bench_c bench_d \
    || { unroute; fail "the three-channel run could not be measured"; }
  unroute
}

# The named runs at the default format: the default run's sinks, and one more that only the control
# plays into (its name shares no part with a channel's output: devices are found by a part of it).
named_sinks_44k() {
  use_format 44100 16
  feed_input=speakers_a feed_sink=bench_feed control_sink=bench_control
  sink bench_c "Lyrant Bench C" && sink bench_d "Lyrant Bench D" && sink bench_control "Lyrant Control" \
    && feed_sink bench_feed speakers_a,speakers_b,bench_control "Lyrant Bench Feed"
}
# The control of a named run: PulseAudio's loopback from the feed's input into the control's sink,
# beside the program, loaded afresh for each stretch. Without rate adjustment its buffer drains by
# 10 to 25 ms a minute here, so at 200 ms it underruns after some 20 minutes and breaks on its own,
# not because the machine dropped sound. start_control ADJUST_SECONDS lets it adjust its rate, for
# stretches longer than that: each step of the trivial resampler then drops or repeats one lone
# frame, which the control's analysis counts apart (--slips) instead of as a break.
control_module= control_slips=
start_control() {
  control_slips=
  [ "${1:-0}" -gt 0 ] && control_slips=--slips
  control_module=$(loopback "$feed_input.monitor" "$control_sink" "$control_ms" "${1:-0}") \
    || fail "the control's loopback did not load"
}
stop_control() {
  [ -z "$control_module" ] || pactl unload-module "$control_module"
  control_module=
}

# scale: everything at the heaviest format the program takes, on sinks of that format.
scale_rate=192000 scale_bits=24
bench_sinks_scale() {
  use_format "$scale_rate" "$scale_bits"
  feed_input=scale_a feed_sink=scale_feed control_sink=scale_control
  local spec=(rate="$scale_rate" format="$fmt_pcm" channels=2) name
  for name in A B C D; do
    sink "scale_${name,,}" "Lyrant Scale $name" "${spec[@]}" || return 1
  done
  sink scale_control "Lyrant Control 192k" "${spec[@]}" \
    && feed_sink scale_feed scale_a,scale_b,scale_control "Lyrant Scale Feed" "${spec[@]}"
}

bench_scale() {
  local seconds=${BENCH_SCALE_SECONDS:-300}
  describe "cost at $scale_rate Hz ${scale_bits}-bit and with the pitch path at 48000 Hz 16-bit, then three channels of $scale_rate Hz ${scale_bits}-bit stereo for ${seconds} s"
  (cd "$build/tests" && wine AudioBench.exe rtf "$scale_rate" "$scale_bits" && wine AudioBench.exe rtf 48000 16) \
    || fail "the cost measurement did not run"
  make_feed "$seconds"
  start_control
  if route 3 rate="$scale_rate" bits="$scale_bits" "input=Lyrant Scale A" \
    "outputs=Lyrant Scale B,Lyrant Scale C,Lyrant Scale D"; then
    checked scale scale_b scale_c scale_d
    unroute
  else
    echo "scale (three channels did not start)" >>"$run/missing"
  fi
  stop_control
}

# floor: the ring's buffers keep 20 ms blocks where they fit, else 10 ms ones.
floor_rings="200 120 80 60 40 30"
floor_buffers() {
  if (($1 % 20 == 0)); then echo $(($1 / 20)); else echo $(($1 / 10)); fi
}
bench_sinks_floor() { named_sinks_44k; }

bench_floor() {
  local try=${BENCH_FLOOR_TRY_SECONDS:-60} final=${BENCH_FLOOR_SECONDS:-300} finals=${BENCH_FLOOR_FINALS:-1}
  local ring buffers best='' suffix k module
  describe "one channel at rings of ${floor_rings// / ms, } ms for ${try} s each, then the shortest without a break for ${final} s beside PulseAudio's loopback at that latency ($finals time(s))"
  make_feed "$try"
  for ring in $floor_rings; do
    buffers=$(floor_buffers "$ring")
    start_control
    if route 1 ring="$ring" buffers="$buffers"; then
      checked "floor_${ring}ms" speakers_b && [ "$checked_breaks" -eq 0 ] && best=$ring
      unroute
    else
      echo "floor_${ring}ms (the channel did not start with $buffers buffers)" >>"$run/missing"
    fi
    stop_control
  done
  if [ -z "$best" ]; then
    echo "bench: floor: no ring ran ${try} s without a break" >&2
    return 0
  fi
  echo "floor_ring_ms $best ms"
  echo "floor_buffers $(floor_buffers "$best") count"
  make_feed "$final"
  for k in $(seq 1 "$finals"); do
    suffix=
    [ "$finals" -gt 1 ] && suffix=_$k
    start_control
    if route 1 ring="$best" buffers="$(floor_buffers "$best")"; then
      checked "floor$suffix" speakers_b
      unroute
    else
      echo "floor$suffix (the channel did not start)" >>"$run/missing"
    fi
    stop_control
    # PulseAudio's own loopback at the same latency, on the same path.
    start_control
    module=$(loopback speakers_a.monitor speakers_b "$best") || fail "the loopback module did not load"
    checked "floor_loopback$suffix" speakers_b
    pactl unload-module "$module"
    stop_control
  done
}

# soak: the defaults for long, one channel and then three.
bench_sinks_soak() { named_sinks_44k; }

bench_soak() {
  local seconds=${BENCH_SOAK_SECONDS:-1800} prefix
  describe "one, then three channels at the defaults for ${seconds} s each"
  make_feed "$seconds"
  for prefix in soak soak_3ch; do
    stop_control
    start_control 10
    if ! route "$([ $prefix = soak ] && echo 1 || echo 3)"; then
      echo "$prefix (the channels did not start)" >>"$run/missing"
      continue
    fi
    if [ $prefix = soak ]; then checked soak speakers_b; else checked soak_3ch speakers_b bench_c bench_d; fi \
      && [ -n "$checked_start" ] && [ -n "$checked_end" ] \
      && awk -v s="$checked_start" -v e="$checked_end" -v n="${prefix}_latency_creep_ms" \
        'BEGIN { printf "%s %.1f ms\n", n, e - s }'
    unroute
  done
  stop_control
}
