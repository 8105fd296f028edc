#!/usr/bin/env python3
"""Finds the benchmark's music and the outside engine loop in a recording of the null sink.

usage: bench_sound_check.py capture.raw   (s16le, 44100 Hz, stereo)
The outside engine loop carries a turbine whine at 3150 Hz; the evening music opens on
a bass D at 73.4 Hz and later walks to G at 49.0 Hz, where the engine has no line. Each is found
as a narrow spectral line well above its neighbours in some one-second window.
"""
import array
import math
import sys

RATE = 44100


def goertzel(samples, start, count, step, frequency):
    rate = RATE / step
    coefficient = 2 * math.cos(2 * math.pi * frequency / rate)
    s1 = s2 = 0.0
    for i in range(start, start + count * step, step):
        s0 = samples[i] + coefficient * s1 - s2
        s2, s1 = s1, s0
    return math.sqrt(max(s1 * s1 + s2 * s2 - coefficient * s1 * s2, 0.0)) / count


def line_strength(samples, start, count, step, frequency, spread):
    """The line's level over the mean of two neighbours `spread` Hz away."""
    on = goertzel(samples, start, count, step, frequency)
    off = (goertzel(samples, start, count, step, frequency - spread) +
           goertzel(samples, start, count, step, frequency + spread)) / 2
    return on / (off + 1e-3)


def main():
    data = array.array('h')
    with open(sys.argv[1], 'rb') as f:
        data.frombytes(f.read())
    left = data[0::2]
    seconds = len(left) // RATE
    loud = [i for i in range(seconds) if max(abs(x) for x in left[i * RATE:i * RATE + RATE:50]) > 300]
    print(f"capture: {seconds} s, {len(loud)} s with sound")
    # The whine needs the full rate; the bass lines are read from every 8th sample (5512 Hz).
    whine = max((line_strength(left, i * RATE, RATE // 2, 1, 3150.0, 40) for i in loud), default=0)
    bass_d = max((line_strength(left, i * RATE, RATE // 8, 8, 73.42, 5) for i in loud), default=0)
    bass_g = max((line_strength(left, i * RATE, RATE // 8, 8, 49.00, 5) for i in loud), default=0)
    print(f"engine whine 3150 Hz: {whine:.1f}x, music bass D 73.4 Hz: {bass_d:.1f}x, G 49.0 Hz: {bass_g:.1f}x")
    ok = whine > 8 and bass_d > 4 and bass_g > 4
    print("sound check:", "engine loop and music found" if ok else "MISSING")
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
