#!/usr/bin/env python3
"""The bench's break analysis on recordings built from its own feed, at the default format and at
the heaviest one the bench routes: what a path may do to the sound (delay it, insert silence, lose,
repeat or alter frames) must come out as such."""
import os
import sys
import tempfile
import unittest
from io import StringIO

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audio_bench_signal as signal  # noqa: E402

FORMATS = [('44100 Hz 16 bits', signal.Format()), ('192000 Hz 24 bits', signal.Format(192000, 24))]


def feed_of(fmt, seconds):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'feed.raw')
        frames = signal.write_feed(fmt, path, seconds)
        with open(path, 'rb') as f:
            return frames, f.read()


class BreakAnalysis(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Three seconds: the counter wraps at least once, so the feed holds a frame that is (0, 0).
        cls.feeds = {name: feed_of(fmt, 3) for name, fmt in FORMATS}

    def test_each_kind_of_damage_is_one_break_of_its_kind(self):
        for fmt_name, fmt in FORMATS:
            frames, written = self.feeds[fmt_name]
            size, second, wrap = fmt.frame, fmt.rate, fmt.wrap
            feed = written[fmt.lead_in * size:]   # the counter frames, after the lead-in of silence

            def part(first, end=frames):
                return feed[first * size:end * size]

            quiet = b'\0' * size
            cases = [
                # name, recording, expected incidents as (silence, lost, repeated, altered, missing)
                ('delayed only', quiet * 3000 + feed + quiet * 5000, []),
                ('the lead-in of the feed as written is no break', written + quiet * 100, []),
                ('a lost start is a break', quiet * 100 + part(70), [(0, 70, 0, 0, 0)]),
                ('gap, then the skip that catches up',
                 quiet * 100 + part(0, second) + quiet * 800 + part(second + 150) + quiet * 100,
                 [(800, 150, 0, 0, 0)]),
                ('frames lost across the counter wrap',
                 quiet * 100 + part(0, wrap - 6) + part(wrap + 4) + quiet * 100, [(0, 10, 0, 0, 0)]),
                ('frames repeated',
                 quiet * 100 + part(0, 50000) + part(49000) + quiet * 100, [(0, 0, 1000, 0, 0)]),
                ('a frame that is no frame of the feed',
                 quiet * 100 + part(0, 20000) + b'\1' * size + part(20001) + quiet * 100, [(0, 0, 0, 1, 0)]),
                ('the path still holds the tail', quiet * 100 + part(0, 100000),
                 [(0, 0, 0, 0, frames - 100000)]),
                ('two breaks a second apart',
                 quiet * 100 + part(0, 30000) + quiet * 500 + part(30000, 30000 + second)
                 + part(30000 + second + 300) + quiet * 100, [(500, 0, 0, 0, 0), (0, 300, 0, 0, 0)]),
            ]
            for name, recording, expected in cases:
                with self.subTest(fmt_name + ': ' + name):
                    found = [(i.silence, i.lost, i.repeated, i.altered, i.missing)
                             for i in signal.analyse(fmt, recording, frames)]
                    self.assertEqual(found, expected)

    def test_lone_slips_of_a_rate_adjusting_path_are_counted_apart_only_when_asked(self):
        for fmt_name, fmt in FORMATS:
            frames, written = self.feeds[fmt_name]
            size = fmt.frame
            feed = written[fmt.lead_in * size:]
            quiet = b'\0' * size
            # A frame dropped, then one repeated, every 1000 frames: as a resampler steps its rate.
            pieces, at, k = [], 0, 0
            while at + 1000 < frames:
                pieces.append(feed[at * size:(at + 1000) * size])
                at += 1000
                if k % 2 == 0:
                    at += 1                                        # a lone frame lost
                else:
                    pieces.append(feed[(at - 1) * size:at * size])  # a lone frame repeated
                k += 1
            pieces.append(feed[at * size:frames * size])
            slipping = b''.join(pieces)
            gap_at = len(slipping) // 2 // size * size
            cases = [
                # name, recording, slips mode, expected incident count, expected slips
                ('slips only', slipping, True, 0, k),
                ('a gap among slips', slipping[:gap_at] + quiet * 300 + slipping[gap_at:], True, 1, k),
                ('slips are breaks unless asked', slipping, False, None, 0),
            ]
            for name, body, slips_mode, incidents, expected_slips in cases:
                with self.subTest(fmt_name + ': ' + name):
                    slipped = [] if slips_mode else None
                    found = signal.analyse(fmt, quiet * 100 + body + quiet * 100, frames, slipped)
                    if incidents is None:
                        # Slips closer than a tenth of a second merge into one long break.
                        self.assertGreaterEqual(len(found), 1)
                        self.assertEqual(sum(i.lost for i in found), (k + 1) // 2)
                        self.assertEqual(sum(i.repeated for i in found), k // 2)
                    else:
                        self.assertEqual(len(found), incidents)
                        self.assertEqual(len(slipped), expected_slips)

    def test_a_recording_without_the_feed_is_an_error_not_a_figure(self):
        for fmt_name, fmt in FORMATS:
            frames, written = self.feeds[fmt_name]
            noise = bytes((i * 37) & 0xFF for i in range(frames * fmt.frame))
            cases = [('silence', b'\0' * frames * fmt.frame), ('not the feed', noise)]
            if fmt.width > 2:
                # A path that carried only the top 16 bits of each sample.
                cut = bytearray(written)
                cut[0::fmt.width] = bytes(len(cut[0::fmt.width]))
                cases.append(('the low byte lost', bytes(cut)))
            for name, recording in cases:
                with self.subTest(fmt_name + ': ' + name):
                    with self.assertRaises(ValueError):
                        signal.analyse(fmt, recording, frames)


class Latency(unittest.TestCase):
    def test_median_of_click_pairs_and_a_swallowed_click(self):
        # 100 ms: the program at its defaults; 10 ms: shorter than PulseAudio's loopback at 30 ms.
        # Drift: the feed sink's outputs run 0.2 % fast, so the clicks arrive 3 ms early a click.
        for (fmt_name, fmt), ms, drift in [(f, ms, d) for f in FORMATS for ms in (100, 10) for d in (0, 3)]:
            with self.subTest('%s, %d ms, drift %d ms' % (fmt_name, ms, drift)), \
                    tempfile.TemporaryDirectory() as folder:
                clicks = os.path.join(folder, 'clicks.raw')
                signal.write_clicks(fmt, clicks)
                with open(clicks, 'rb') as f:
                    feed = f.read()
                # Each click k moved k times the drift earlier.
                early = fmt.rate * drift // 1000 * fmt.frame
                if early:
                    moved = bytearray(len(feed))
                    for k in range(signal.CLICKS):
                        at = (k * fmt.click_spacing + fmt.click_spacing // 2) * fmt.frame
                        size = fmt.click_frames * fmt.frame
                        moved[at - k * early:at - k * early + size] = feed[at:at + size]
                    feed = bytes(moved)
                delay = fmt.rate * ms // 1000 * fmt.frame
                # The direct copy plus the copy through the path, mixed as B's monitor would hold them.
                routed = bytearray(feed + b'\0' * delay)
                for i in range(len(feed)):
                    if feed[i]:
                        routed[i + delay] = feed[i]
                # A break swallows the third click's routed copy.
                third = (2 * fmt.click_spacing + fmt.click_spacing // 2) * fmt.frame + delay - 2 * early
                routed[third:third + fmt.click_frames * fmt.frame] = b'\0' * (fmt.click_frames * fmt.frame)
                recording = os.path.join(folder, 'recording.raw')
                with open(recording, 'wb') as f:
                    f.write(b'\0' * 1000 * fmt.frame + routed)
                out, err = StringIO(), StringIO()
                stdout, stderr, sys.stdout, sys.stderr = sys.stdout, sys.stderr, out, err
                try:
                    signal.latency(fmt, 'latency_ms', recording)
                finally:
                    sys.stdout, sys.stderr = stdout, stderr
                self.assertEqual(out.getvalue(), 'latency_ms %.1f ms\n' % ms)
                self.assertIn('5 pairs measured', err.getvalue())


if __name__ == '__main__':
    unittest.main()
