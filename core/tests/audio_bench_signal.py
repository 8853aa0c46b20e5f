#!/usr/bin/env python3
"""Signals of scripts/bench and their analysis, on raw s16le stereo at 44100 Hz.

  feed FILE SECONDS     the counter feed after a lead-in of silence: right channel a frame counter
                        (1, 2, ... wrapping at 65536), left channel a tone computed from that
                        counter, so every frame names itself; prints the number of counter frames
  clicks FILE           short clicks for the latency measurement
  breaks NAME FRAMES FILE...
                        breaks of the counter feed in each recording; prints "NAME <count> count"
  latency NAME FILE     median distance of click pairs (direct, then through the path) in ms

The counter names a frame within 65536 frames: a jump of more than half of that (0.74 s) reads as
its opposite (a loss as a repeat), so such a break still counts once but its delay figure is wrong.
A recording must hold the feed bit-exact: the path under test may only delay it, insert silence,
lose or repeat frames. Anything else counts as altered frames, and a recording of mostly altered
frames is an error, not a figure.
"""
import math
import struct
import sys

RATE = 44100
FRAME = 4
WRAP = 65536
TONE_CYCLES = 1486            # per counter wrap: about 1000 Hz
TONE_PEAK = 12000
MERGE_FRAMES = RATE // 10     # incidents closer than this are one break (a gap and its skip)
CLICKS = 6
CLICK_SPACING = int(1.5 * RATE)  # far above any path latency, so pairs cannot mix
CLICK_FRAMES = 44
CLICK_LEVEL = 20000
ONSET_LEVEL = 5000
ONSET_QUIET = RATE // 50
# A stream that starts on a running sink makes the server rewind and mix it into frames that the
# sink's monitor has already handed to readers with small fragments (the program under test): the
# first 5 to 200 frames of it never reach them. The feed starts with silence, so only silence is lost.
LEAD_IN = RATE // 2


def tone(counter):
    return int(round(TONE_PEAK * math.sin(2 * math.pi * TONE_CYCLES * counter / WRAP)))


def frame_table():
    """Frame bytes of every counter value, twice over so any run of up to WRAP frames is one slice."""
    table = b''.join(struct.pack('<hh', tone(c), c - WRAP if c >= WRAP // 2 else c) for c in range(WRAP))
    return table + table


def write_feed(path, seconds):
    frames = int(seconds * RATE)
    table = frame_table()
    with open(path, 'wb') as out:
        out.write(b'\0' * (LEAD_IN * FRAME))
        # Counter 1 first: the frame of counter 0 is (0, 0), which looks like silence.
        first, left = 1, frames
        while left:
            n = min(left, WRAP)
            out.write(table[first * FRAME:(first + n) * FRAME])
            first, left = (first + n) % WRAP, left - n
    return frames


def write_clicks(path):
    frames = bytearray((CLICKS + 1) * CLICK_SPACING * FRAME)
    click = struct.pack('<hh', CLICK_LEVEL, CLICK_LEVEL) * CLICK_FRAMES
    for k in range(CLICKS):
        at = (k * CLICK_SPACING + CLICK_SPACING // 2) * FRAME
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


def analyse(data, feed_frames):
    """Incidents of the counter feed in one recording, in order; raises ValueError when the
    recording cannot be measured (no feed in it, or not the feed's frames)."""
    table = frame_table()
    total = len(data) // FRAME
    zero = b'\0' * FRAME
    p = 0
    while p < total and data[p * FRAME:(p + 1) * FRAME] == zero:
        p += 1
    if p == total:
        raise ValueError('nothing of the feed arrived')
    incidents = []
    expected = 1              # absolute feed frame expected next (1 .. feed_frames)

    def note(start, end, **counts):
        if incidents and start - incidents[-1].end <= MERGE_FRAMES:
            incident = incidents[-1]
        else:
            incident = Incident(start)
            incident.feed_second = (expected - 1) / RATE
            incidents.append(incident)
        incident.end = end
        for name, value in counts.items():
            setattr(incident, name, getattr(incident, name) + value)

    while p < total and expected <= feed_frames:
        counter = expected % WRAP
        n = min(4096, total - p, feed_frames - expected + 1)
        if data[p * FRAME:(p + n) * FRAME] == table[counter * FRAME:(counter + n) * FRAME]:
            p += n
            expected += n
            continue
        # Step to the first frame that differs, then say what it is.
        while data[p * FRAME:(p + 1) * FRAME] == table[counter * FRAME:(counter + 1) * FRAME]:
            p += 1
            expected += 1
            counter = expected % WRAP
        frame = data[p * FRAME:(p + 1) * FRAME]
        if frame == zero:
            run = p
            while run < total and data[run * FRAME:(run + 1) * FRAME] == zero:
                run += 1
            if run == total:
                break         # the recording ended inside a gap: reported below as cut short
            note(p, run, silence=run - p)
            p = run
            continue
        left, right = struct.unpack('<hh', frame)
        got = right % WRAP
        if left != tone(got):
            note(p, p + 1, altered=1)
            p += 1
            expected += 1
            continue
        step = (got - counter) % WRAP
        if step < WRAP // 2:
            note(p, p, lost=step)
            expected += step
        else:
            note(p, p, repeated=WRAP - step)
            expected -= WRAP - step
    if expected <= feed_frames:
        # The path held back more than the recording's margin: that delay is a break of its own.
        note(total, total, silence=0)
        incidents[-1].missing = feed_frames - expected + 1
    altered = sum(i.altered for i in incidents)
    if altered > feed_frames // 100:
        raise ValueError('%d frames are not frames of the feed: the path does not carry it bit-exact'
                         % altered)
    return incidents


def breaks(name, feed_frames, paths):
    total = 0
    for path in paths:
        with open(path, 'rb') as f:
            incidents = analyse(f.read(), feed_frames)
        total += len(incidents)
        net = sum(i.silence - i.lost + i.repeated + i.missing for i in incidents)
        print('bench: %s: %s: %d breaks, %.1f ms of delay added' % (name, path.rsplit('/', 1)[-1],
              len(incidents), 1000.0 * net / RATE), file=sys.stderr)
        for incident in incidents:
            print('bench:   at %s' % incident.describe(), file=sys.stderr)
    print('%s %d count' % (name, total))


def onsets(data):
    """Frames where the left channel rises above the onset level after a quiet stretch."""
    found, last = [], None
    for f, (left, _) in enumerate(struct.iter_unpack('<hh', data[:len(data) // FRAME * FRAME])):
        if abs(left) <= ONSET_LEVEL:
            continue
        if last is None or f - last > ONSET_QUIET:
            found.append(f)
        last = f
    return found


def latency(name, path):
    """The first onset is the first click's direct copy; the others come at known distances from it,
    so a click that a break swallowed costs only its own pair."""
    with open(path, 'rb') as f:
        found = onsets(f.read())
    if not found:
        raise ValueError('no click arrived')
    delays = []
    for k in range(CLICKS):
        direct = found[0] + k * CLICK_SPACING
        near = [f for f in found if abs(f - direct) <= ONSET_QUIET]
        later = [f for f in found if direct + ONSET_QUIET < f < direct + CLICK_SPACING - ONSET_QUIET]
        if near and later:
            delays.append(1000.0 * (later[0] - near[0]) / RATE)
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
        if len(argv) == 3 and argv[0] == 'feed':
            print(write_feed(argv[1], float(argv[2])))
        elif len(argv) == 2 and argv[0] == 'clicks':
            write_clicks(argv[1])
        elif len(argv) >= 4 and argv[0] == 'breaks':
            breaks(argv[1], int(argv[2]), argv[3:])
        elif len(argv) == 3 and argv[0] == 'latency':
            latency(argv[1], argv[2])
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (OSError, ValueError) as error:
        print('bench: %s: %s' % (argv[1], error), file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
