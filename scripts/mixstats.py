#!/usr/bin/env python3
"""Level figures of a raw stereo 44.1 kHz recording (SDL's disk audio driver).

  mixstats.py FILE s16|f32 [--from S] [--to S] [--window S] [--bursts NAME,NAME,...]
              [--limiter] [--against REF] [--compare REF]

Leading silence (up to the first sample above -90 dBFS) is skipped; --from
and --to then cut the part to look at, in seconds from there. Prints the peak, the RMS, how many samples sit at
full scale, the median and loudest RMS over 0.2 s (what the ear takes as
loudness of short sounds), and the quietest and loudest RMS over any WINDOW
seconds (default 3, sliding by 0.5 s). With --bursts, also each stretch of
sound between gaps of 0.25 s below -70 dBFS, named in order, with its peak
and loudest 0.2 s.

--limiter works out what the output's limiter took away: below its knee
(-3 dBFS) it passes samples unchanged and above it its gain follows a peak
envelope (instant attack, 0.1 s release) through a tanh curve, so its input
can be rebuilt from its output frame by frame. Prints the largest gain
reduction, and the largest mean over any 1 s (in dB).

--against REF: REF is a recording of the same run without the effects (the
music alone, started the same way). The effects are what this one has more;
each burst of them (as with --bursts) is named and its peak set against the
music's RMS around it (in REF, from 1 s before the burst to 1 s after it).

--compare REF: the RMS of this recording against REF's over the same span,
in dB (for the player's volume settings: the same run at another setting).
Only the standard library: no numpy on a fresh Debian.
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


def load(path, fmt):
    """The samples, their full scale, the value counted as full scale, and the
    index of the first frame above -90 dBFS (None for silence)."""
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
    if first is not None:
        first -= first % 2
    return a, scale, top, first


def cut(a, first, skip, until):
    if until < float("inf"):
        return a[first: first + 2 * int(min(until - skip, len(a) / 2 / RATE) * RATE)]
    return a[first:]


def limiter_reduction(s, scale):
    """Gain reduction per frame (as a gain <= 1) that the limiter applied to
    make the output s, by rebuilding its input."""
    knee = 10 ** (-300 / 2000)
    span = 10 ** (-50 / 2000) - knee
    release = math.exp(-1.0 / (0.1 * RATE))
    env = 0.0
    gains = array.array("f", bytes(4 * (len(s) // 2)))
    for i in range(len(s) // 2):
        y = max(abs(s[2 * i]), abs(s[2 * i + 1])) / scale
        decayed = release * env  # the envelope if this frame's peak is below it (peak + release * (env - peak) >= that)
        if decayed <= knee and y <= knee:
            # The identity, unless the envelope is held above the knee by this frame itself.
            gains[i] = 1.0
            env = y + release * (env - y) if y < env else y
            continue
        # Case 1: this frame's input peak p is the new envelope: y = Curve(p).
        if y > knee:
            u = min((y - knee) / span, 0.999999)
            p = knee + span * math.atanh(u)
        else:
            p = y
        if p >= env:
            env = p
            gains[i] = y / p if p > 0 else 1.0
            continue
        # Case 2: the envelope decays towards an input peak below it:
        # env' = p + release * (env - p) and y = p * Curve(env') / env'.
        # Solved by a few steps of fixed point (the gain moves little).
        g = 1.0
        for _ in range(6):
            p = y / g
            e = p + release * (env - p)
            g = (knee + span * math.tanh((e - knee) / span)) / e if e > knee else 1.0
        env = y / g + release * (env - y / g)
        gains[i] = g
    return gains


def align(a, at, b, bat):
    """The offset in frames that, added to b's positions, finds b's samples at
    bat in a near at: within 1 s, by the least difference over 64 samples."""
    snippet = b[bat: bat + 128]
    best, best_lag = float("inf"), 0
    for lag in range(-RATE, RATE):
        i = at + 2 * lag
        if i < 0 or i + 128 > len(a):
            continue
        total = 0.0
        for k in range(0, 128, 2):
            total += abs(a[i + k] - snippet[k])
            if total >= best:
                break
        if total < best:
            best, best_lag = total, lag
    return best_lag


def option(args, name, default):
    return args[args.index(name) + 1] if name in args else default


def main():
    args = sys.argv[1:]
    path, fmt = args[0], args[1]
    window = float(option(args, "--window", "3"))
    skip = float(option(args, "--from", "0"))
    until = float(option(args, "--to", "inf"))
    a, scale, top, first = load(path, fmt)
    if first is None:
        print("silence only")
        return
    first += 2 * int(skip * RATE)
    s = cut(a, first, skip, until)
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
    if "--limiter" in args:
        g = limiter_reduction(s, scale)
        worst = min(g, default=1.0)
        sec = RATE
        means = [sum(20 * math.log10(v) for v in g[i: i + sec]) / sec for i in range(0, max(1, len(g) - sec + 1), RATE // 10)]
        print(f"limiter: largest gain reduction {max(0.0, -20 * math.log10(worst)):.1f} dB, "
              f"largest mean over 1 s {max(0.0, -min(means, default=0.0)):.2f} dB")
    if "--compare" in args:
        b, bscale, _, bfirst = load(option(args, "--compare", ""), fmt)
        r = cut(b, bfirst + 2 * int(skip * RATE), skip, until)
        n = min(len(r), len(s))
        mine = math.sqrt(math.fsum(float(v) * v for v in s[:n]) / max(1, n))
        theirs = math.sqrt(math.fsum(float(v) * v for v in r[:n]) / max(1, n))
        print(f"against {option(args, '--compare', '')}: {20 * math.log10(mine / theirs):+.2f} dB RMS "
              f"over {n / 2 / RATE:.1f} s")
    if "--against" in args:
        b, _, _, bfirst = load(option(args, "--against", ""), fmt)
        # The music is the same sample for sample, but where it first rises
        # above -90 dBFS depends on the fade-in's gain at its start: the
        # offset is found by matching a stretch of REF exactly.
        lag = align(a, first, b, bfirst + 2 * int(skip * RATE))
        r = cut(b, bfirst + 2 * int(skip * RATE) - 2 * lag, skip, until)
        n = min(len(r), len(s)) // 2
        names = option(args, "--bursts", "").split(",")
        thresh, gap = 10 ** (-70 / 20) * scale, int(0.25 * RATE)
        bursts, start, silent, last = [], None, 0, 0
        for f in range(n):
            v = max(abs(s[2 * f] - r[2 * f]), abs(s[2 * f + 1] - r[2 * f + 1]))
            if v > thresh:
                if start is None:
                    start = f
                silent, last = 0, f
            elif start is not None:
                silent += 1
                if silent >= gap:
                    bursts.append((start, last))
                    start = None
        if start is not None:
            bursts.append((start, last))
        for i, (b0, b1) in enumerate(bursts):
            name = names[i] if i < len(names) else "?"
            peak = max(abs(s[j] - r[j]) for j in range(2 * b0, 2 * (b1 + 1))) / scale
            lo, hi = max(0, b0 - RATE), min(n, b1 + RATE)
            music = math.sqrt(math.fsum(float(v) * v for v in r[2 * lo: 2 * hi]) / max(1, 2 * (hi - lo))) / scale
            print(f"  {name}: at {b0 / RATE:.2f} s, effect peak {db(peak)} dBFS, music RMS around it {db(music)} dBFS: "
                  f"{20 * math.log10(peak / music) if music > 0 else float('inf'):+.1f} dB")
        return
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
