#!/usr/bin/env python3
"""Writes the demo's decimal formats (TLV5frmt.stt) and parameter formats (demo.si).

Records are the program's own: 24-byte decimal formats {tag[9], bit29IsData, msbBit, lsbBit,
float msbWeight, units[8]} and 11-byte parameter formats {label, channel, formatTag[9]},
little-endian, texts in Windows-1251. Run from the repository root: scripts/make-demo-formats.py
"""
import struct
import sys
from pathlib import Path

# tag, msbBit, lsbBit, msbWeight, units: standard BNR fields, sign in bit 29.
FORMATS = [
    ("ALT", 28, 12, 65536.0, "фут"),
    ("MACH", 28, 13, 2.048, "М"),
    ("CAS", 28, 15, 512.0, "уз"),
    ("TAS", 28, 14, 1024.0, "уз"),
    ("TAT", 28, 18, 256.0, "°C"),
    ("VSPEED", 28, 18, 16384.0, "фут/мн"),
    ("SAT", 28, 18, 256.0, "°C"),
    ("LATLON", 28, 9, 90.0, "град"),
    ("GS", 28, 14, 2048.0, "уз"),
    ("ANGLE", 28, 14, 90.0, "град"),
    ("ATTITUDE", 28, 15, 90.0, "град"),
    ("RATE", 28, 16, 64.0, "гр/с"),
    ("IALT", 28, 9, 65536.0, "фут"),
    ("IVSPEED", 28, 14, 16384.0, "фут/мн"),
]

# (octal label, input channel, tag): the parameters of the virtual driver's demo traffic
# (demo/telvar5-vdrv.conf), by the input they arrive on; the same channel numbers serve every
# module. Input 1 also decodes the inertial labels, so that either demo array
# (scripts/make-demo-arrays.py) sent on output 1 shows its values on input 1.
# New records go at the end: the records above keep their places.
PARAMS = [
    (0o203, 1, "ALT"), (0o204, 1, "ALT"), (0o205, 1, "MACH"), (0o206, 1, "CAS"), (0o210, 1, "TAS"),
    (0o211, 1, "TAT"), (0o212, 1, "VSPEED"), (0o213, 1, "SAT"),
    (0o310, 1, "LATLON"), (0o311, 1, "LATLON"), (0o312, 1, "GS"), (0o313, 1, "ANGLE"), (0o314, 1, "ANGLE"),
    (0o320, 1, "ANGLE"), (0o324, 1, "ATTITUDE"), (0o325, 1, "ATTITUDE"),
    (0o310, 2, "LATLON"), (0o311, 2, "LATLON"), (0o312, 2, "GS"), (0o313, 2, "ANGLE"), (0o314, 2, "ANGLE"),
    (0o320, 2, "ANGLE"), (0o324, 2, "ATTITUDE"), (0o325, 2, "ATTITUDE"),
    (0o324, 3, "ATTITUDE"), (0o325, 3, "ATTITUDE"), (0o326, 3, "RATE"), (0o327, 3, "RATE"),
    # Inertial altitude (20 bits of 0.125 ft) and inertial vertical speed (15 bits of 1 ft/min).
    (0o361, 2, "IALT"), (0o365, 2, "IVSPEED"),
    # Magnetic heading among the fast attitude data.
    (0o320, 3, "ANGLE"),
    # The second air data computer; its status word (label 270) is discrete and has no format.
    (0o203, 4, "ALT"), (0o206, 4, "CAS"),
]


def text_field(text, size, longest):
    raw = text.encode("cp1251")
    if len(raw) > longest:
        sys.exit(f"text too long for its field: {text}")
    return raw + b"\0" * (size - len(raw))


def decimal_format(tag, msb, lsb, weight, units):
    # The program edits at most 8 bytes of a tag and 6 of units.
    return text_field(tag, 9, 8) + bytes([0, msb, lsb]) + struct.pack("<f", weight) + text_field(units, 8, 6)


def param_format(label, channel, tag):
    return bytes([label, channel]) + text_field(tag, 9, 8)


def main():
    demo = Path("demo")
    stt = b"".join(decimal_format(*f) for f in FORMATS)
    assert len(stt) == 24 * len(FORMATS)
    tags = [f[0] for f in FORMATS]
    assert len(set(tags)) == len(tags), "a tag finds only its first format"
    assert all(p[2] in tags for p in PARAMS), "every parameter names a format"
    (demo / "TLV5frmt.stt").write_bytes(stt)
    si = b"".join(param_format(*p) for p in PARAMS)
    (demo / "demo.si").write_bytes(si)


if __name__ == "__main__":
    main()
