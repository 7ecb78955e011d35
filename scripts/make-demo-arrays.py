#!/usr/bin/env python3
"""Writes the demo's output arrays: adc.so (air data) and irs.so (inertial reference).

An output array file is a little-endian u16 word count n, then n little-endian u32 words.
Each word is a BNR parameter as the demo's traffic sends it: label in bits 1..8, the value in
two's complement with its most significant bit at 28 and the sign at 29, SSM 3 (normal
operation) in bits 30..31, odd parity in bit 32. The bits and resolutions are those of the demo
formats (scripts/make-demo-formats.py), so the monitor shows the values below when the array
comes back on input 1. Run from the repository root: scripts/make-demo-arrays.py
"""
import math
import struct
from pathlib import Path

SSM_NORMAL = 3

# (octal label, significant bits, resolution, value): what the monitor should show.
ADC = [
    (0o203, 17, 1.0, 35000),           # pressure altitude, ft
    (0o204, 17, 1.0, 35020),           # baro-corrected altitude, ft
    (0o205, 16, 0.0000625, 0.78),      # Mach
    (0o206, 14, 0.0625, 280.5),        # computed airspeed, kt
    (0o210, 15, 0.0625, 462.25),       # true airspeed, kt
    (0o211, 11, 0.25, -17.5),          # total air temperature, deg C
    (0o212, 11, 16.0, -1504),          # altitude rate, ft/min
    (0o213, 11, 0.25, -44.25),         # static air temperature, deg C
]

IRS = [
    (0o310, 20, 180 / 2**20, 55.7558),  # latitude, deg
    (0o311, 20, 180 / 2**20, 37.6173),  # longitude, deg
    (0o312, 15, 0.125, 452.375),        # ground speed, kt
    (0o313, 15, 180 / 32768, 87.5),     # track angle true, deg
    (0o314, 15, 180 / 32768, 92.25),    # true heading, deg
    (0o320, 15, 180 / 32768, 84.375),   # magnetic heading, deg
    (0o324, 14, 180 / 16384, 2.8125),   # pitch angle, deg
    (0o325, 14, 180 / 16384, -12.5),    # roll angle, deg
]


def with_odd_parity(word):
    word &= 0x7FFFFFFF
    return word | 0x80000000 if bin(word).count("1") % 2 == 0 else word


def counts(value, resolution):
    """The value in steps of the resolution, halves rounded away from zero as the driver does."""
    x = value / resolution
    return int(math.copysign(math.floor(abs(x) + 0.5), x))


def bnr_word(label, bits, resolution, value):
    field = counts(value, resolution) & ((1 << (bits + 1)) - 1)  # sign and the significant bits
    word = label | (field << (28 - bits)) | (SSM_NORMAL << 29)
    return with_odd_parity(word)


def array_file(params):
    words = [bnr_word(*p) for p in params]
    return struct.pack("<H", len(words)) + b"".join(struct.pack("<I", w) for w in words)


def main():
    demo = Path("demo")
    (demo / "adc.so").write_bytes(array_file(ADC))
    (demo / "irs.so").write_bytes(array_file(IRS))


if __name__ == "__main__":
    main()
