#!/usr/bin/env python3
"""The bench's break analysis on recordings built from its own feed: what a path may do to the
sound (delay it, insert silence, lose, repeat or alter frames) must come out as such."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audio_bench_signal as signal  # noqa: E402

FRAME = signal.FRAME
SECOND = signal.RATE


class BreakAnalysis(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Three seconds: the counter wraps once, so the feed holds one frame that is (0, 0).
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, 'feed.raw')
            cls.frames = signal.write_feed(path, 3)
            with open(path, 'rb') as f:
                cls.written = f.read()
        # The counter frames, after the lead-in of silence.
        cls.feed = cls.written[signal.LEAD_IN * FRAME:]

    def part(self, first, end=None):
        return self.feed[first * FRAME:(end if end is not None else self.frames) * FRAME]

    def test_each_kind_of_damage_is_one_break_of_its_kind(self):
        quiet = b'\0' * FRAME
        cases = [
            # name, recording, expected incidents as (silence, lost, repeated, altered, missing)
            ('delayed only', quiet * 3000 + self.feed + quiet * 5000, []),
            ('the lead-in of the feed as written is no break', self.written + quiet * 100, []),
            ('a lost start is a break', quiet * 100 + self.part(70), [(0, 70, 0, 0, 0)]),
            ('gap, then the skip that catches up',
             quiet * 100 + self.part(0, SECOND) + quiet * 800 + self.part(SECOND + 150) + quiet * 100,
             [(800, 150, 0, 0, 0)]),
            ('frames lost across the counter wrap',
             quiet * 100 + self.part(0, 65530) + self.part(65540) + quiet * 100, [(0, 10, 0, 0, 0)]),
            ('frames repeated',
             quiet * 100 + self.part(0, 50000) + self.part(49000) + quiet * 100, [(0, 0, 1000, 0, 0)]),
            ('a frame that is no frame of the feed',
             quiet * 100 + self.part(0, 20000) + b'\1\0\1\0' + self.part(20001) + quiet * 100,
             [(0, 0, 0, 1, 0)]),
            ('the path still holds the tail', quiet * 100 + self.part(0, 100000),
             [(0, 0, 0, 0, self.frames - 100000)]),
            ('two breaks a second apart',
             quiet * 100 + self.part(0, 30000) + quiet * 500 + self.part(30000, 80000) + self.part(80300)
             + quiet * 100, [(500, 0, 0, 0, 0), (0, 300, 0, 0, 0)]),
        ]
        for name, recording, expected in cases:
            with self.subTest(name):
                found = [(i.silence, i.lost, i.repeated, i.altered, i.missing)
                         for i in signal.analyse(recording, self.frames)]
                self.assertEqual(found, expected)

    def test_a_recording_without_the_feed_is_an_error_not_a_figure(self):
        noise = bytes((i * 37) & 0xFF for i in range(self.frames * FRAME))
        for name, recording in [('silence', b'\0' * self.frames * FRAME), ('not the feed', noise)]:
            with self.subTest(name):
                with self.assertRaises(ValueError):
                    signal.analyse(recording, self.frames)


class Latency(unittest.TestCase):
    def test_median_of_click_pairs_and_a_swallowed_click(self):
        with tempfile.TemporaryDirectory() as folder:
            clicks = os.path.join(folder, 'clicks.raw')
            signal.write_clicks(clicks)
            with open(clicks, 'rb') as f:
                feed = f.read()
            delay = 4410 * FRAME  # 100 ms
            # The direct copy plus the copy through the path, mixed as B's monitor would hold them.
            routed = bytearray(feed + b'\0' * delay)
            for i in range(len(feed)):
                if feed[i]:
                    routed[i + delay] = feed[i]
            # A break swallows the third click's routed copy.
            third = (2 * signal.CLICK_SPACING + signal.CLICK_SPACING // 2) * FRAME + delay
            routed[third:third + signal.CLICK_FRAMES * FRAME] = b'\0' * (signal.CLICK_FRAMES * FRAME)
            recording = os.path.join(folder, 'recording.raw')
            with open(recording, 'wb') as f:
                f.write(b'\0' * 1000 * FRAME + routed)
            from io import StringIO
            out, err = StringIO(), StringIO()
            stdout, stderr, sys.stdout, sys.stderr = sys.stdout, sys.stderr, out, err
            try:
                signal.latency('latency_ms', recording)
            finally:
                sys.stdout, sys.stderr = stdout, stderr
            self.assertEqual(out.getvalue(), 'latency_ms 100.0 ms\n')
            self.assertIn('5 pairs measured', err.getvalue())


if __name__ == '__main__':
    unittest.main()
