#!/usr/bin/env python3
"""Level figures of a raw stereo 44.1 kHz recording (SDL's disk audio driver).

  mixstats.py FILE s16|f32 [--from S] [--to S] [--window S] [--bursts NAME,NAME,...]

Leading silence (up to the first sample above -90 dBFS) is skipped; --from
and --to then cut the part to look at, in seconds from there. Prints the peak, the RMS, how many samples sit at
full scale, the median and loudest RMS over 0.2 s (what the ear takes as
loudness of short sounds), and the quietest and loudest RMS over any WINDOW
seconds (default 10, sliding by 0.5 s). With --bursts, also each stretch of
sound between gaps of 0.25 s below -70 dBFS, named in order, with its peak
and loudest 0.2 s. Only the standard library: no numpy on a fresh Debian.
"""
import array
import math
import sys

RATE = 44100


def db(x):
    return f"{20 * math.log10(x):.1f}" if x > 0 else "-inf"


SHORT = RATE // 5


def short_rms(s, frames, scale):
    """RMS of each 0.2 s stretch, in order."""
    return [math.sqrt(math.fsum(float(v) * v for v in s[2 * i: 2 * (i + SHORT)]) / (2 * SHORT)) / scale
            for i in range(0, frames - SHORT + 1, SHORT)]


def option(args, name, default):
    return args[args.index(name) + 1] if name in args else default


def main():
    args = sys.argv[1:]
    path, fmt = args[0], args[1]
    window = float(option(args, "--window", "10"))
    skip = float(option(args, "--from", "0"))
    until = float(option(args, "--to", "inf"))
    with open(path, "rb") as f:
        data = f.read()
    if fmt == "s16":
        a = array.array("h")
        scale, top = 32768.0, 32767
    else:
        a = array.array("f")
        scale, top = 1.0, 1.0
    a.frombytes(data[: len(data) // (4 * a.itemsize) * 4 * a.itemsize])
    if sys.byteorder != "little":
        a.byteswap()
    quiet = 10 ** (-90 / 20) * scale
    first = next((i for i, v in enumerate(a) if abs(v) > quiet), None)
    if first is None:
        print("silence only")
        return
    first -= first % 2
    first += 2 * int(skip * RATE)
    s = a[first: first + 2 * int(min(until - skip, len(a) / 2 / RATE) * RATE)] if until < float("inf") else a[first:]
    frames = len(s) // 2
    peak = max((abs(v) for v in s), default=0) / scale
    full = sum(1 for v in s if v >= top or v <= -top)
    rms = math.sqrt(math.fsum(float(v) * v for v in s) / max(1, len(s))) / scale
    print(f"{frames / RATE:.1f} s from {first / 2 / RATE:.2f} s: peak {db(peak)} dBFS, RMS {db(rms)} dBFS, "
          f"{full} samples at full scale")
    shorts = sorted(short_rms(s, frames, scale))
    if shorts:
        print(f"RMS over 0.2 s: median {db(shorts[len(shorts) // 2])}, loudest {db(shorts[-1])} dBFS")
    step = RATE // 2
    sums = [math.fsum(float(v) * v for v in s[2 * i: 2 * (i + step)]) for i in range(0, frames - step + 1, step)]
    n = int(window * 2)
    if len(sums) >= n:
        w = [math.sqrt(math.fsum(sums[i:i + n]) / (n * step * 2)) / scale for i in range(len(sums) - n + 1)]
        print(f"RMS over any {window:g} s: {db(min(w))} to {db(max(w))} dBFS ({len(w)} windows)")
    if "--bursts" in args:
        names = option(args, "--bursts", "").split(",")
        gap, thresh = int(0.25 * RATE), 10 ** (-70 / 20) * scale
        bursts, start, silent, bpeak, last = [], None, 0, 0.0, 0
        for f in range(frames):
            v = max(abs(s[2 * f]), abs(s[2 * f + 1]))
            if v > thresh:
                if start is None:
                    start, bpeak = f, 0.0
                silent, last, bpeak = 0, f, max(bpeak, v)
            elif start is not None:
                silent += 1
                if silent >= gap:
                    bursts.append((start, last, bpeak))
                    start = None
        if start is not None:
            bursts.append((start, last, bpeak))
        for i, (b0, b1, p) in enumerate(bursts):
            name = names[i] if i < len(names) else "?"
            part = s[2 * b0: 2 * (b1 + 1)]
            n = len(part) // 2
            loudest = max(short_rms(part, n, scale), default=math.sqrt(
                math.fsum(float(v) * v for v in part) / max(1, len(part))) / scale)
            clipped = sum(1 for v in part if v >= top or v <= -top)
            print(f"  {name}: at {b0 / RATE:.2f} s, {(b1 - b0) / RATE:.2f} s long, peak {db(p / scale)} dBFS, "
                  f"loudest 0.2 s {db(loudest)} dBFS RMS, {clipped} samples at full scale "
                  f"({100 * clipped / max(1, len(part)):.1f} %)")


main()
