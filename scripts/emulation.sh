# Sourced by scripts/arch.sh: 32-bit Wine on a host whose processor cannot run 32-bit code, through
# qemu-i386 user emulation registered for i386 ELF files in a binfmt_misc instance of our own. The
# host's binfmt_misc is never touched: the registration lives in a private user namespace (Linux 6.7
# and later give each one its own instance), held open by one process, and only the commands that
# enter that namespace (scripts/winebin/wine) see it.
#   emulation_qemu            the qemu-i386 to use (10.x or later), or nothing
#   emulation_start DIR       starts the namespace's holder (its files in DIR), exports LYRANT_EMULATION_PID
#   emulation_stop            stops the holder by its pid (Wine's processes end with their server)
#   scripts/winebin/wine enters the namespace (user namespace only: its binfmt_misc instance is what
#   an exec looks up, and the working folder stays the caller's)

# Older qemu (bookworm's own 7.2) crashes inside Wine.
EMULATION_QEMU_MAJOR=10
# i386 ELF executables and shared objects: ELF class 1, little-endian, machine 3.
EMULATION_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
EMULATION_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

emulation_qemu() {
  local qemu major
  for qemu in /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
    [ -x "$qemu" ] || continue
    major=$("$qemu" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')
    if [ -n "$major" ] && [ "$major" -ge "$EMULATION_QEMU_MAJOR" ]; then
      echo "$qemu"
      return 0
    fi
  done
  return 1
}

emulation_start() {
  local dir=$1 qemu pid i
  qemu=$(emulation_qemu) || { echo "emulation: no qemu-i386 $EMULATION_QEMU_MAJOR.x or later (scripts/setup installs it)" >&2; return 1; }
  mkdir -p "$dir/binfmt"
  rm -f "$dir/ready" "$dir/failed"
  # The holder waits for its identity map (written from outside, so root stays root and every file
  # keeps its owner), mounts the namespace's own binfmt_misc, registers qemu with flag F (the
  # interpreter is opened now, so it works from any mount namespace) and then only waits.
  unshare --user --mount --propagation private /bin/sh -c '
    i=0
    while [ -z "$(cat /proc/self/uid_map)" ] || [ -z "$(cat /proc/self/gid_map)" ]; do
      i=$((i + 1)); [ "$i" -gt 500 ] && exit 1; sleep 0.01
    done
    mount -t binfmt_misc binfmt_misc "$1/binfmt" 2>"$1/failed" || exit 1
    printf "%s" ":lyrant-i386:M::$2:$3:$4:F" >"$1/binfmt/register" 2>"$1/failed" || exit 1
    rm -f "$1/failed"; : >"$1/ready"
    exec sleep infinity' holder "$dir" "$EMULATION_MAGIC" "$EMULATION_MASK" "$qemu" </dev/null >/dev/null 2>&1 &
  pid=$!
  for i in $(seq 1 500); do
    [ "$(readlink "/proc/$pid/ns/user" 2>/dev/null)" != "$(readlink /proc/self/ns/user)" ] && break
    sleep 0.01
  done
  if ! { echo "0 0 65536" >"/proc/$pid/uid_map" && echo "0 0 65536" >"/proc/$pid/gid_map"; } 2>/dev/null; then
    kill "$pid" 2>/dev/null
    echo "emulation: cannot create a user namespace here" >&2
    return 1
  fi
  for i in $(seq 1 500); do
    [ -e "$dir/ready" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  if [ ! -e "$dir/ready" ]; then
    kill "$pid" 2>/dev/null
    echo "emulation: no binfmt_misc of our own (needs Linux 6.7 or later): $(cat "$dir/failed" 2>/dev/null)" >&2
    return 1
  fi
  export LYRANT_EMULATION_PID=$pid
}

emulation_stop() {
  [ -n "${LYRANT_EMULATION_PID:-}" ] || return 0
  kill "$LYRANT_EMULATION_PID" >/dev/null 2>&1
  unset LYRANT_EMULATION_PID
}

