#!/usr/bin/env python3
"""Signals of scripts/bench and their analysis, on raw little-endian stereo: s16le at 44100 Hz, or
the format that a leading --format=RATE:BITS names (BITS 16 or 24).

  feed FILE SECONDS     the counter feed after a lead-in of silence: right channel a frame counter
                        (1, 2, ... wrapping at 65536 in 16 bits, at 524288 in 24), left channel a
                        tone computed from that counter, so every frame names itself; prints the
                        number of counter frames
  clicks FILE           short clicks for the latency measurement
  breaks [--slips] NAME FRAMES FILE...
                        breaks of the counter feed in each recording; prints "NAME <count> count";
                        with --slips a lone frame lost or repeated (the step of a resampler that
                        adjusts its rate) is counted on stderr instead of as a break
  latency NAME FILE     median distance of click pairs (direct, then through the path) in ms

The counter names a frame within one wrap: a jump of more than half of that (0.74 s at 44100 Hz in
16 bits, 1.37 s at 192000 Hz in 24) reads as its opposite (a loss as a repeat), so such a break
still counts once but its delay figure is wrong. A recording must hold the feed bit-exact, every
byte of every sample: the path under test may only delay it, insert silence, lose or repeat frames.
Anything else counts as altered frames, and a recording of mostly altered frames is an error, not a
figure.
"""
import math
import mmap
import struct
import sys

TONE_HZ = 1000
TONE_PEAK = 12000             # in 16-bit units, scaled to the sample width
CLICKS = 6
CLICK_LEVEL = 20000
ONSET_LEVEL = 5000            # on the top 16 bits of a sample
CHUNK = 4096                  # frames compared in one step while the feed arrives intact


class Format:
    """The bench's raw format and every figure of the signals that depends on it."""

    def __init__(self, rate=44100, bits=16):
        if bits not in (16, 24) or rate <= 0:
            raise ValueError('no signal for %d Hz at %d bits' % (rate, bits))
        self.rate = rate
        self.width = bits // 8
        self.frame = 2 * self.width
        self.scale = 1 << (bits - 16)
        # The counter wraps at the 16-bit limit, or where a 24-bit sample keeps a wrap of over a
        # second even at 192 kHz; whole tone cycles per wrap keep the tone continuous across it.
        self.wrap = 1 << 16 if bits == 16 else 1 << 19
        self.tone_cycles = round(TONE_HZ * self.wrap / rate)
        self.merge = rate // 10           # incidents closer than this are one break (a gap and its skip)
        self.click_spacing = int(1.5 * rate)  # far above any path latency, so pairs cannot mix
        self.click_frames = rate // 1000
        # A click's copy through the path is told from its direct copy from 5 ms on: PulseAudio's
        # loopback at a short ring comes close to 20 ms.
        self.onset_quiet = rate // 200
        # A stream that starts on a running sink makes the server rewind and mix it into frames that
        # the sink's monitor has already handed to readers with small fragments (the program under
        # test): the first 5 to 200 frames of it never reach them. The feed starts with silence, so
        # only silence is lost.
        self.lead_in = rate // 2
        self._table = None

    def sample(self, value):
        return (value % (1 << 8 * self.width)).to_bytes(self.width, 'little')

    def tone(self, counter):
        return int(round(TONE_PEAK * self.scale * math.sin(2 * math.pi * self.tone_cycles * counter / self.wrap)))

    def table(self):
        """Frame bytes of every counter value, twice over so any run of up to a wrap is one slice."""
        if self._table is None:
            one = b''.join(self.sample(self.tone(c)) + self.sample(c) for c in range(self.wrap))
            self._table = one + one
        return self._table

    def counter_of(self, frame):
        """The counter a frame names and whether its tone matches it; None for no frame of the feed."""
        got = int.from_bytes(frame[self.width:], 'little')
        if got >= self.wrap:
            return None
        left = int.from_bytes(frame[:self.width], 'little', signed=True)
        return got if left == self.tone(got) else None

    def top16(self, data):
        """The top 16 bits of each frame's left sample."""
        n = len(data) // self.frame
        top = bytearray(2 * n)
        top[0::2] = data[self.width - 2:n * self.frame:self.frame]
        top[1::2] = data[self.width - 1:n * self.frame:self.frame]
        return [v for (v,) in struct.iter_unpack('<h', top)]


def write_feed(fmt, path, seconds):
    frames = int(seconds * fmt.rate)
    table = fmt.table()
    with open(path, 'wb') as out:
        out.write(b'\0' * (fmt.lead_in * fmt.frame))
        # Counter 1 first: the frame of counter 0 is (0, 0), which looks like silence.
        first, left = 1, frames
        while left:
            n = min(left, fmt.wrap)
            out.write(table[first * fmt.frame:(first + n) * fmt.frame])
            first, left = (first + n) % fmt.wrap, left - n
    return frames


def write_clicks(fmt, path):
    frames = bytearray((CLICKS + 1) * fmt.click_spacing * fmt.frame)
    level = fmt.sample(CLICK_LEVEL * fmt.scale)
    click = (level + level) * fmt.click_frames
    for k in range(CLICKS):
        at = (k * fmt.click_spacing + fmt.click_spacing // 2) * fmt.frame
        frames[at:at + len(click)] = click
    with open(path, 'wb') as out:
        out.write(frames)


class Incident:
    def __init__(self, start):
        self.start = start    # recording frame
        self.end = start
        self.feed_second = 0.0
        self.silence = 0      # frames of silence inserted
        self.lost = 0         # feed frames that never arrived
        self.repeated = 0     # feed frames that arrived again
        self.altered = 0      # frames that are no frame of the feed
        self.missing = 0      # feed frames still on their way when the recording ended

    def describe(self):
        parts = [('silence', self.silence), ('lost', self.lost), ('repeated', self.repeated),
                 ('altered', self.altered), ('still on the way at the end', self.missing)]
        return '%.2f s: %s' % (self.feed_second, ', '.join('%s %d' % (n, v) for n, v in parts if v))


def analyse(fmt, data, feed_frames, slips=None):
    """Incidents of the counter feed in one recording, in order; raises ValueError when the
    recording cannot be measured (no feed in it, or not the feed's frames). A list given as slips
    takes the recording frame of each lone frame lost or repeated, which then is no incident."""
    table = fmt.table()
    size, wrap = fmt.frame, fmt.wrap
    total = len(data) // size
    zero = b'\0' * size
    p = 0
    while p < total and data[p * size:(p + 1) * size] == zero:
        p += 1
    if p == total:
        raise ValueError('nothing of the feed arrived')
    incidents = []
    expected = 1              # absolute feed frame expected next (1 .. feed_frames)

    def note(start, end, **counts):
        if incidents and start - incidents[-1].end <= fmt.merge:
            incident = incidents[-1]
        else:
            incident = Incident(start)
            incident.feed_second = (expected - 1) / fmt.rate
            incidents.append(incident)
        incident.end = end
        for name, value in counts.items():
            setattr(incident, name, getattr(incident, name) + value)

    while p < total and expected <= feed_frames:
        counter = expected % wrap
        n = min(CHUNK, total - p, feed_frames - expected + 1)
        if data[p * size:(p + n) * size] == table[counter * size:(counter + n) * size]:
            p += n
            expected += n
            continue
        # Step to the first frame that differs, then say what it is.
        while data[p * size:(p + 1) * size] == table[counter * size:(counter + 1) * size]:
            p += 1
            expected += 1
            counter = expected % wrap
        frame = data[p * size:(p + 1) * size]
        if frame == zero:
            run = p
            while run < total and data[run * size:(run + 1) * size] == zero:
                run += 1
            if run == total:
                break         # the recording ended inside a gap: reported below as cut short
            note(p, run, silence=run - p)
            p = run
            continue
        got = fmt.counter_of(frame)
        if got is None or got == counter:   # the latter only for a frame that differs from its own
            note(p, p + 1, altered=1)
            p += 1
            expected += 1
            continue
        step = (got - counter) % wrap
        if slips is not None and step in (1, wrap - 1):
            slips.append(p)
            expected += 1 if step == 1 else -1
        elif step < wrap // 2:
            note(p, p, lost=step)
            expected += step
        else:
            note(p, p, repeated=wrap - step)
            expected -= wrap - step
    if expected <= feed_frames:
        # The path held back more than the recording's margin: that delay is a break of its own.
        note(total, total, silence=0)
        incidents[-1].missing = feed_frames - expected + 1
    altered = sum(i.altered for i in incidents)
    if altered > feed_frames // 100:
        raise ValueError('%d frames are not frames of the feed: the path does not carry it bit-exact'
                         % altered)
    return incidents


def read(path):
    """The whole file, mapped rather than read: a long recording at 192 kHz is hundreds of MB."""
    with open(path, 'rb') as f:
        if not f.seek(0, 2):
            return b''
        return mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)


def breaks(fmt, name, feed_frames, paths, slips=False):
    total = 0
    for path in paths:
        slipped = [] if slips else None
        incidents = analyse(fmt, read(path), feed_frames, slipped)
        total += len(incidents)
        net = sum(i.silence - i.lost + i.repeated + i.missing for i in incidents)
        print('bench: %s: %s: %d breaks, %.1f ms of delay added%s' % (
              name, path.rsplit('/', 1)[-1], len(incidents), 1000.0 * net / fmt.rate,
              '; %d lone frames slipped' % len(slipped) if slips else ''), file=sys.stderr)
        for incident in incidents:
            print('bench:   at %s' % incident.describe(), file=sys.stderr)
    print('%s %d count' % (name, total))


def onsets(fmt, data):
    """Frames where the left channel rises above the onset level after a quiet stretch."""
    found, last = [], None
    for f, left in enumerate(fmt.top16(data)):
        if abs(left) <= ONSET_LEVEL:
            continue
        if last is None or f - last > fmt.onset_quiet:
            found.append(f)
        last = f
    return found


def latency(fmt, name, path):
    """The first onset is the first click's direct copy; each next one comes a known distance after
    the last direct copy found, so a click that a break swallowed costs only its own pair. The feed
    sink keeps its outputs in step by adjusting their rates, which moves the direct copies by a few
    ms a click: each is looked for from the one before, not from the first."""
    with open(path, 'rb') as f:
        found = onsets(fmt, f.read())
    if not found:
        raise ValueError('no click arrived')
    quiet, spacing = fmt.onset_quiet, fmt.click_spacing
    delays = []
    last = found[0] - spacing
    for k in range(CLICKS):
        direct = last + spacing
        near = [f for f in found if abs(f - direct) <= quiet]
        if near:
            direct = last = near[0]
        else:
            last = direct
        later = [f for f in found if direct + quiet < f < direct + spacing - quiet]
        if near and later:
            delays.append(1000.0 * (later[0] - near[0]) / fmt.rate)
    if len(delays) < CLICKS // 2 + 1:
        raise ValueError('only %d of %d clicks arrived both directly and through the path'
                         % (len(delays), CLICKS))
    if len(delays) < CLICKS or len(found) != 2 * CLICKS:
        print('bench: %s: %d onsets for %d clicks; %d pairs measured' % (name, len(found), CLICKS, len(delays)),
              file=sys.stderr)
    delays.sort()
    middle = len(delays) // 2
    print('%s %.1f ms' % (name, delays[middle] if len(delays) % 2 else (delays[middle - 1] + delays[middle]) / 2))


def main(argv):
    try:
        fmt = Format()
        if argv and argv[0].startswith('--format='):
            rate, _, bits = argv[0][len('--format='):].partition(':')
            fmt = Format(int(rate), int(bits))
            argv = argv[1:]
        if len(argv) == 3 and argv[0] == 'feed':
            print(write_feed(fmt, argv[1], float(argv[2])))
        elif len(argv) == 2 and argv[0] == 'clicks':
            write_clicks(fmt, argv[1])
        elif len(argv) >= 5 and argv[0] == 'breaks' and argv[1] == '--slips':
            breaks(fmt, argv[2], int(argv[3]), argv[4:], slips=True)
        elif len(argv) >= 4 and argv[0] == 'breaks':
            breaks(fmt, argv[1], int(argv[2]), argv[3:])
        elif len(argv) == 3 and argv[0] == 'latency':
            latency(fmt, argv[1], argv[2])
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (OSError, ValueError) as error:
        print('bench: %s: %s' % (argv[1] if len(argv) > 1 else 'signal', error), file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
