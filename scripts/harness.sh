# Sourced by scripts/test, scripts/run and scripts/bench: a private Wine prefix, Xvfb display and
# PulseAudio server for one run, all stopped again by pid. Nothing touches the user's ~/.wine.
#   harness_start RUN_DIR   exports WINEPREFIX, DISPLAY, XDG_RUNTIME_DIR, PULSE_SERVER; writes RUN_DIR/env
#                           (call arch_use from scripts/arch.sh first: it picks the prefix's architecture
#                           and how it runs; emulated 32-bit code gets the namespace of scripts/emulation.sh)
#   harness_stop            stops what harness_start started
#   harness_wine_devices    (alsa path) offers every sink of the sound server, and its monitor, to Wine
#   HARNESS_WINE_AUDIO      Wine's audio path for the run: "pulse" (default) or "alsa" (see below)
#   HARNESS_PLAYBACK_BUFFER_MSEC  what the server keeps of each Wine playback stream on the pulse path
#   HARNESS_PULSE_OPTIONS   more options for the sound server (set by the caller, words split)
# Sinks: "lyrant_virtual" (the virtual device, "Tarnwick Virtual Audio"), "speakers_a" and
# "speakers_b" ("Lyrant Speakers A/B"). Select devices by name: their order changes between runs.

# The pulse path: Wine's PulseAudio driver asks the server to keep only three 10 ms periods of each
# playback stream and refills it from a 10 ms timer, so one late timer or a stalled machine empties
# it and the sound breaks. scripts/playback_buffer.c, preloaded into every Wine process of the run
# (scripts/winebin/wine), makes the server keep HARNESS_PLAYBACK_BUFFER_MSEC of each playback stream
# and leaves capture its 10 ms fragments. It holds no sound back: a stream only fills it as far as
# the program queues ahead (LyrantMain about 100 ms of its 200 ms ring), so latency stays the
# program's own, and 100 ms covers the stalls this kind of machine shows (the README's figures).
# libpulse's PULSE_LATENCY_MSEC is no substitute: it sets capture fragments too, and capture
# arriving in bursts breaks routed sound (15 to 93 breaks in five minutes at 60 ms). A
# WINE_PLAYBACK_BUFFER_MSEC or PULSE_LATENCY_MSEC the caller sets still wins. The device names are
# the sound server's own ("Lyrant Speakers B", "Monitor of Lyrant Speakers B").
HARNESS_PLAYBACK_BUFFER_MSEC=100

# The alsa path: Wine's ALSA driver through ALSA's PulseAudio plugin, each sink and its monitor an
# ALSA device of its own. Capture keeps small fragments, but the driver fixes playback at four 10 ms
# periods, so routed sound still breaks a few times in five minutes (the README's figures). Wine
# names the devices "Out: <sink>" and "In: <sink> monitor", cut at 31 characters.
HARNESS_WINE_AUDIO=${HARNESS_WINE_AUDIO:-pulse}

HARNESS_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

harness_log() { echo "harness: $*" >&2; }

# Gives the Wine processes started from here the pulse path's playback buffer. The library is built
# into DIR for both widths where the compiler can (a 64-bit prefix runs 32-bit programs too); the
# loader picks each process's own through $LIB.
harness_server_buffer() {
  unset LYRANT_WINE_PRELOAD
  if [ "$HARNESS_WINE_AUDIO" = alsa ]; then
    unset PULSE_LATENCY_MSEC   # the plugin's streams would take it too
    return 0
  fi
  local dir=$1 bits lib
  for bits in 64:x86_64 32:i386; do
    lib="$dir/lib/${bits#*:}-linux-gnu"
    mkdir -p "$lib"
    cc "-m${bits%%:*}" -O2 -shared -fPIC -o "$lib/playback_buffer.so" "$HARNESS_SCRIPTS/playback_buffer.c" \
      -ldl 2>/dev/null || rm -f "$lib/playback_buffer.so"
  done
  lib=x86_64
  [ "${WINEARCH:-}" = win32 ] && lib=i386
  [ -f "$dir/lib/$lib-linux-gnu/playback_buffer.so" ] \
    || { harness_log "the playback buffer library did not build for $lib"; return 1; }
  # shellcheck disable=SC2016
  export LYRANT_WINE_PRELOAD="$dir/\$LIB/playback_buffer.so"
  # The loader names its own library directory: a host whose $LIB differs would silently lose it.
  if wine --version 2>&1 | grep -q 'cannot be preloaded'; then
    harness_log "the loader does not find the playback buffer library under $LYRANT_WINE_PRELOAD"
    return 1
  fi
  export WINE_PLAYBACK_BUFFER_MSEC=${WINE_PLAYBACK_BUFFER_MSEC:-$HARNESS_PLAYBACK_BUFFER_MSEC}
}

# Names the run's audio path, for the figures and logs that depend on it.
harness_wine_audio() {
  if [ "$HARNESS_WINE_AUDIO" = alsa ]; then
    echo "alsa path"
  else
    echo "pulse path, playback buffer ${WINE_PLAYBACK_BUFFER_MSEC:-} ms${PULSE_LATENCY_MSEC:+, PULSE_LATENCY_MSEC $PULSE_LATENCY_MSEC}"
  fi
}

harness_wine_devices() {
  [ "$HARNESS_WINE_AUDIO" = alsa ] || return 0
  mkdir -p "$XDG_CONFIG_HOME/alsa"
  pactl list sinks | python3 "$HARNESS_SCRIPTS/wine_alsa_devices.py" "$XDG_CONFIG_HOME/alsa/asoundrc" \
    "$HARNESS_RUN/alsa.reg" || return 1
  wine regedit /S "$(winepath -w "$HARNESS_RUN/alsa.reg" 2>/dev/null)" >>"$HARNESS_RUN/wineboot.log" 2>&1
}

harness_start() {
  HARNESS_RUN=$(mkdir -p "$1" && cd "$1" && pwd)
  rm -rf "$HARNESS_RUN/prefix" "$HARNESS_RUN/xdg" "$HARNESS_RUN/pids"
  mkdir -p "$HARNESS_RUN/xdg" && chmod 700 "$HARNESS_RUN/xdg"
  : >"$HARNESS_RUN/pids"
  [ -n "${WINEARCH:-}" ] && [ -n "${WINELOADER:-}" ] || { harness_log "no architecture chosen (arch_use)"; return 1; }
  # 32-bit Wine on a host that cannot execute it: every wine command of the run enters this namespace.
  if [ "${ARCH_HOW:-}" = emulated ]; then
    emulation_start "$HARNESS_RUN/emulation" || return 1
    echo "$LYRANT_EMULATION_PID" >>"$HARNESS_RUN/pids"
  fi

  # Display first: every wine command of the run must see the same one.
  local fdfile="$HARNESS_RUN/display"
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$fdfile" >"$HARNESS_RUN/xvfb.log" 2>&1 &
  echo "$!" >>"$HARNESS_RUN/pids"
  local i
  for i in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { harness_log "Xvfb did not start"; return 1; }
  export DISPLAY=":$(tr -dc 0-9 <"$fdfile")"

  # Sound server with null sinks and a silent keeper stream each (an idle sink's monitor starts late).
  export XDG_RUNTIME_DIR="$HARNESS_RUN/xdg"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  # shellcheck disable=SC2086
  HOME="$HARNESS_RUN/xdg" pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes ${HARNESS_PULSE_OPTIONS:-} \
    --load=module-native-protocol-unix \
    --load='module-null-sink sink_name=lyrant_virtual sink_properties=device.description="Tarnwick\ Virtual\ Audio"' \
    --load='module-null-sink sink_name=speakers_a sink_properties=device.description="Lyrant\ Speakers\ A"' \
    --load='module-null-sink sink_name=speakers_b sink_properties=device.description="Lyrant\ Speakers\ B"' \
    >"$HARNESS_RUN/pulse.log" 2>&1 || { harness_log "pulseaudio did not start"; return 1; }
  for i in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink speakers_a >/dev/null
  local pulsepid
  pulsepid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)
  [ -n "$pulsepid" ] && echo "$pulsepid" >>"$HARNESS_RUN/pids"
  local sink
  for sink in lyrant_virtual speakers_a speakers_b; do
    env -u PULSE_LATENCY_MSEC pacat -p -d "$sink" --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
    echo "$!" >>"$HARNESS_RUN/pids"
  done

  # Wine prefix: boot it without the add-on installers, set the virtual desktop, then keep one
  # persistent server for the whole run (services it starts write to a file, not to our pipes).
  export WINEPREFIX="$HARNESS_RUN/prefix"
  export WINEDEBUG=-all
  harness_server_buffer "$HARNESS_RUN" || return 1
  # The alsa path's device file; ALSA reads it from here, so nothing touches the user's ~/.asoundrc.
  [ "$HARNESS_WINE_AUDIO" = alsa ] && export XDG_CONFIG_HOME="$HARNESS_RUN/xdg/config"
  WINEDLLOVERRIDES="mscoree=d;mshtml=d" wineboot -i >"$HARNESS_RUN/wineboot.log" 2>&1
  wineserver -w
  cat >"$HARNESS_RUN/harness.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

; The update library asks an address where nothing listens, never the maker's web host: tests that
; want an update server start their own on 127.0.0.1 and point this value at it.
[HKEY_CURRENT_USER\Software\Freshet]
"Server"="http://127.0.0.1:1"

; A crashing program ends at once instead of waiting on a crash dialog nobody sees.
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  wine regedit /S "$(winepath -w "$HARNESS_RUN/harness.reg" 2>/dev/null)" >>"$HARNESS_RUN/wineboot.log" 2>&1
  wineserver -w
  wineserver -p >"$HARNESS_RUN/wineserver.log" 2>&1
  wine cmd /c exit >>"$HARNESS_RUN/wineboot.log" 2>&1
  harness_wine_devices || { harness_log "no ALSA devices for Wine"; return 1; }
  cat >"$HARNESS_RUN/env" <<ENV
export DISPLAY='$DISPLAY'
export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'
export PULSE_SERVER='$PULSE_SERVER'
export WINEPREFIX='$WINEPREFIX'
export WINEARCH='$WINEARCH'
export WINELOADER='$WINELOADER'
export PATH='$PATH'
export WINEDEBUG=-all
ENV
  [ -n "${LYRANT_EMULATION_PID:-}" ] && echo "export LYRANT_EMULATION_PID='$LYRANT_EMULATION_PID'" >>"$HARNESS_RUN/env"
  if [ "$HARNESS_WINE_AUDIO" = alsa ]; then
    echo "export XDG_CONFIG_HOME='$XDG_CONFIG_HOME'" >>"$HARNESS_RUN/env"
  else
    echo "export LYRANT_WINE_PRELOAD='$LYRANT_WINE_PRELOAD'" >>"$HARNESS_RUN/env"
    echo "export WINE_PLAYBACK_BUFFER_MSEC='$WINE_PLAYBACK_BUFFER_MSEC'" >>"$HARNESS_RUN/env"
    if [ -n "${PULSE_LATENCY_MSEC:-}" ]; then
      echo "export PULSE_LATENCY_MSEC='$PULSE_LATENCY_MSEC'" >>"$HARNESS_RUN/env"
    fi
  fi
  harness_log "display $DISPLAY, prefix $WINEPREFIX ($WINEARCH, ${ARCH_HOW:-native}), Wine audio: $(harness_wine_audio)"
}

harness_stop() {
  [ -n "${HARNESS_RUN:-}" ] || return 0
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  local pid
  if [ -f "$HARNESS_RUN/pids" ]; then
    while read -r pid; do
      [ -n "$pid" ] && kill "$pid" >/dev/null 2>&1
    done <"$HARNESS_RUN/pids"
  fi
  rm -f "$HARNESS_RUN/env"
  unset LYRANT_EMULATION_PID
  HARNESS_RUN=
}
