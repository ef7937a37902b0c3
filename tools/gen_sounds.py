#!/usr/bin/env python3
"""Synthesise the game's four sound effects into assets/.

Everything is made from noise and sine waves here, so the sounds are our own
and can be regenerated at any time.  Each sound uses its own seeded random
generator, which makes the output byte-for-byte reproducible.

Usage: tools/gen_sounds.py [output-directory]   (default: <repo>/assets)
       tools/gen_sounds.py --check [directory]  exit 1 unless the WAV files there
                                                 are exactly what this script makes
"""

import io
import math
import os
import random
import struct
import sys
import wave

RATE = 44100
PEAK_DBFS = -3.0


# --- small DSP helpers -------------------------------------------------------


def n_samples(ms):
    return int(round(RATE * ms / 1000.0))


class Biquad:
    """RBJ cookbook biquad (direct form I); enough for shaping noise."""

    def __init__(self, kind, freq, q):
        w0 = 2.0 * math.pi * freq / RATE
        alpha = math.sin(w0) / (2.0 * q)
        cw = math.cos(w0)
        if kind == "lowpass":
            b0, b1, b2 = (1 - cw) / 2, 1 - cw, (1 - cw) / 2
        elif kind == "highpass":
            b0, b1, b2 = (1 + cw) / 2, -(1 + cw), (1 + cw) / 2
        elif kind == "bandpass":  # constant 0 dB peak gain
            b0, b1, b2 = alpha, 0.0, -alpha
        else:
            raise ValueError(kind)
        a0, a1, a2 = 1 + alpha, -2 * cw, 1 - alpha
        self.b = (b0 / a0, b1 / a0, b2 / a0)
        self.a = (a1 / a0, a2 / a0)
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0

    def __call__(self, x):
        b0, b1, b2 = self.b
        a1, a2 = self.a
        y = b0 * x + b1 * self.x1 + b2 * self.x2 - a1 * self.y1 - a2 * self.y2
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


def filtered(signal, *filters):
    out = []
    for s in signal:
        for f in filters:
            s = f(s)
        out.append(s)
    return out


def noise(rng, count):
    return [rng.uniform(-1.0, 1.0) for _ in range(count)]


def mix_into(dest, src, offset, gain=1.0):
    for i, s in enumerate(src):
        j = offset + i
        if 0 <= j < len(dest):
            dest[j] += s * gain


def fade(signal, in_ms, out_ms):
    """Raised-cosine fades so neither end of the file starts or stops on a step."""
    fi, fo = n_samples(in_ms), n_samples(out_ms)
    count = len(signal)
    for i in range(min(fi, count)):
        signal[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fi)
    for i in range(min(fo, count)):
        signal[count - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fo)
    # The very last sample is exactly silent after the fade; make the first one so too.
    if count:
        signal[0] = 0.0
        signal[-1] = 0.0
    return signal


def remove_dc(signal):
    mean = sum(signal) / len(signal)
    return [s - mean for s in signal]


def normalise(signal, dbfs=PEAK_DBFS):
    peak = max(abs(s) for s in signal) or 1.0
    gain = 10.0 ** (dbfs / 20.0) / peak
    return [s * gain for s in signal]


def wav_bytes(signal):
    frames = b"".join(
        struct.pack("<h", max(-32768, min(32767, int(round(s * 32767.0))))) for s in signal
    )
    buf = io.BytesIO()
    with wave.open(buf, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    return buf.getvalue()


def finish(signal, fade_in_ms, fade_out_ms):
    signal = remove_dc(signal)
    signal = fade(signal, fade_in_ms, fade_out_ms)
    return normalise(signal)


# --- the sounds --------------------------------------------------------------


def card_deal():
    """A crisp flick: a bright, quickly dying burst of air noise, then a faint slap."""
    rng = random.Random(0xDEA1)
    total = n_samples(80)
    out = [0.0] * total

    # The flick itself: band-limited noise around 3 kHz, very fast attack.
    flick_len = total  # let it die away on its own; the final fade does the rest
    flick = filtered(noise(rng, flick_len), Biquad("bandpass", 3200, 0.9), Biquad("highpass", 900, 0.7))
    for i in range(flick_len):
        t = i / RATE
        env = (1.0 - math.exp(-t / 0.0008)) * math.exp(-t / 0.009)
        flick[i] *= env
    mix_into(out, flick, 0)

    # The card meeting the table a moment later: softer and darker.
    slap_at = n_samples(28)
    slap_len = total - slap_at
    slap = filtered(noise(rng, slap_len), Biquad("bandpass", 1400, 1.2))
    for i in range(slap_len):
        t = i / RATE
        slap[i] *= (1.0 - math.exp(-t / 0.0006)) * math.exp(-t / 0.006)
    mix_into(out, slap, slap_at, 0.45)

    return finish(out, 0.5, 12)


def riffle():
    """A riffle shuffle: about 25 tiny clicks, quickening then slowing, over a soft rush."""
    rng = random.Random(0x5FF1E)
    total = n_samples(350)
    out = [0.0] * total

    # Click times: a smooth speed-up and slow-down, with a little human jitter.
    clicks = 25
    start, span = 0.012, 0.300
    times = []
    for k in range(clicks):
        u = k / (clicks - 1)
        # Cards fall faster in the middle of the riffle than at its ends.
        warped = 0.5 - 0.5 * math.cos(math.pi * u)
        warped = 0.6 * warped + 0.4 * u
        times.append(start + span * warped + rng.uniform(-0.002, 0.002))

    click_len = n_samples(6)
    for t0 in times:
        centre = rng.uniform(2500, 4500)
        burst = filtered(noise(rng, click_len), Biquad("bandpass", centre, 1.4))
        for i in range(click_len):
            t = i / RATE
            burst[i] *= (1.0 - math.exp(-t / 0.0002)) * math.exp(-t / 0.0012)
        mix_into(out, burst, n_samples(t0 * 1000), rng.uniform(0.6, 1.0))

    # The paper rush underneath, swelling with the density of the clicks.
    rush = filtered(noise(rng, total), Biquad("bandpass", 2000, 0.6))
    for i in range(total):
        u = i / total
        rush[i] *= 0.06 * math.sin(math.pi * min(1.0, u * 1.05)) ** 2
    mix_into(out, rush, 0)

    return finish(out, 2, 25)


def card_down():
    """A card landing softly on cloth: a low, short thud with a breath of felt noise."""
    rng = random.Random(0xC10D)
    total = n_samples(120)
    out = [0.0] * total

    phase = 0.0
    for i in range(total):
        t = i / RATE
        freq = 70.0 + 60.0 * math.exp(-t / 0.015)  # pitch drops as the card settles
        phase += 2.0 * math.pi * freq / RATE
        env = (1.0 - math.exp(-t / 0.002)) * math.exp(-t / 0.028)
        out[i] = math.sin(phase) * env

    felt = filtered(noise(rng, total), Biquad("lowpass", 1800, 0.7), Biquad("highpass", 200, 0.7))
    for i in range(total):
        t = i / RATE
        felt[i] *= (1.0 - math.exp(-t / 0.001)) * math.exp(-t / 0.018)
    mix_into(out, felt, 0, 0.8)

    return finish(out, 1, 30)


def ringout():
    """A small bell: a few inharmonic partials, the higher ones dying away sooner."""
    total = n_samples(400)
    out = [0.0] * total
    fundamental = 1046.5  # C6
    # (frequency ratio, amplitude, decay time in seconds)
    partials = [
        (1.000, 1.00, 0.180),
        (2.756, 0.45, 0.090),
        (5.404, 0.22, 0.050),
        (8.933, 0.10, 0.030),
        (0.502, 0.18, 0.220),  # a soft hum below the strike tone
    ]
    for ratio, amp, tau in partials:
        freq = fundamental * ratio
        w = 2.0 * math.pi * freq / RATE
        for i in range(total):
            t = i / RATE
            out[i] += amp * math.sin(w * i) * math.exp(-t / tau)
    # A tiny strike transient so the bell sounds struck rather than switched on.
    for i in range(total):
        t = i / RATE
        out[i] *= 1.0 - math.exp(-t / 0.0015)

    return finish(out, 1, 60)


SOUNDS = {
    "CardDeal1.wav": card_deal,
    "RIFFLE.wav": riffle,
    "CardDown.wav": card_down,
    "ringout.wav": ringout,
}


def main(argv):
    args = argv[1:]
    check = bool(args) and args[0] == "--check"
    if check:
        args = args[1:]
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = args[0] if args else os.path.join(here, os.pardir, "assets")
    if not check:
        os.makedirs(out_dir, exist_ok=True)
    stale = []
    for name, make in SOUNDS.items():
        path = os.path.normpath(os.path.join(out_dir, name))
        signal = make()
        data = wav_bytes(signal)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            print("%s: %s" % (path, "up to date" if same else "DIFFERS from generator"))
            if not same:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
            print("%s: %d ms" % (path, round(1000.0 * len(signal) / RATE)))
    if stale:
        print("regenerate with tools/gen_sounds.py: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
