#!/usr/bin/env python3
"""Holds the stand-in host's journal against the module's request table.

Every request that crossed the stand-in driver must carry its own control
code, exactly the record sizes of its row, and the fixed fields as the
program fills them; all 15 requests must have been seen; and one refresh tick
must appear in order: ReqSOstate, ReqSIstate, then ReqSIreadWord for cells
0..255 of a receiving channel. Prints a count per request; exits 1 on a fault.

Usage: check-standin-journal.py JOURNAL
"""
import re
import sys

# name: (control code, input bytes, output bytes), as the module's table gives them.
TABLE = {
    "ReqDeviceChoice": (0x222030, 0, 2),
    "ReqDeviceInitialization": (0x222084, 16, 2),
    "ReqDeviceReset": (0x222088, 0, 0),
    "ReqSOsingleLoad": (0x22209C, 1032, 2),
    "ReqSOsinglePusk": (0x2220A0, 4, 2),
    "ReqSOstate": (0x2220A4, 2, 2),
    "ReqSOciclePusk": (0x2220A8, 1032, 2),
    "ReqSOstopChannel": (0x2220AC, 2, 2),
    "ReqSOwordUpdate": (0x2220B0, 8, 2),
    "ReqSIaddressPusk": (0x2220C4, 8, 2),
    "ReqSIstopChannel": (0x2220C8, 2, 2),
    "ReqSIfilePusk": (0x2220CC, 8, 2),
    "ReqSerialNumber": (0x2220D0, 0, 2),
    "ReqSIstate": (0x2220E8, 2, 2),
    "ReqSIreadWord": (0x2220EC, 6, 6),
}

LINE = re.compile(
    r"^#(\d+) control if=(\d+) 0x([0-9A-F]{6}) (\S+) in=(\d+)(?:: ([0-9a-f ]+?))? "
    r"out=(\d+)/(\d+)(?:: [0-9a-f ]+)? (ok|error \d+)$")


def u16(b, at):
    return b[at] | (b[at + 1] << 8)


def record_fault(name, data):
    """What is wrong with the fixed fields of a record, or None."""
    channel_ok = len(data) < 2 or 1 <= u16(data, 0) <= 8
    if name in ("ReqSOstate", "ReqSIstate", "ReqSOstopChannel", "ReqSIstopChannel"):
        return None if channel_ok else "channel not 1..8"
    if name in ("ReqSIaddressPusk", "ReqSIfilePusk"):
        ok = channel_ok and u16(data, 2) == 1 and u16(data, 4) == 0xFFFF and u16(data, 6) == 0xFFFF
        return None if ok else "not {channel, 1, 0xFFFF, 0xFFFF}"
    if name == "ReqSIreadWord":
        return None if channel_ok and u16(data, 2) == 1 and u16(data, 4) <= 255 else "not {channel, 1, cell}"
    if name == "ReqSOsinglePusk":
        return None if channel_ok and u16(data, 2) == 1 else "not {channel, 1}"
    if name == "ReqSOsingleLoad":
        ok = channel_ok and u16(data, 2) == 1 and u16(data, 4) == 0 and 1 <= u16(data, 6) <= 256
        return None if ok else "header not {channel, 1, 0, size}"
    if name == "ReqSOciclePusk":
        ok = channel_ok and 1 <= u16(data, 2) <= 256 and u16(data, 4) == u16(data, 2) and u16(data, 6) == 0
        return None if ok else "header not {channel, size, size, 0}"
    if name == "ReqSOwordUpdate":
        return None if channel_ok and u16(data, 2) <= 255 else "not {channel, index, word}"
    if name == "ReqDeviceInitialization":
        return None if all(code <= 2 for code in data) else "a bit-rate code above 2"
    return None


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    faults = []
    counts = {name: 0 for name in TABLE}
    controls = []  # (name, input bytes, ok)
    with open(sys.argv[1], encoding="utf-8") as journal:
        for number, text in enumerate(journal, 1):
            text = text.rstrip("\n")
            if " control " not in text:
                continue
            m = LINE.match(text)
            if not m:
                faults.append(f"line {number}: not a control line: {text[:120]}")
                continue
            code, name = int(m.group(3), 16), m.group(4)
            in_size, returned, room = int(m.group(5)), int(m.group(7)), int(m.group(8))
            data = bytes.fromhex(m.group(6) or "")
            ok = m.group(9) == "ok"
            if name not in TABLE:
                faults.append(f"line {number}: unknown request 0x{code:06X}")
                continue
            want_code, want_in, want_out = TABLE[name]
            if code != want_code or in_size != want_in or room != want_out or len(data) != in_size:
                faults.append(f"line {number}: {name} 0x{code:06X} in={in_size} out room {room}, "
                              f"the table says 0x{want_code:06X} in={want_in} out={want_out}")
            if returned > room:
                faults.append(f"line {number}: {name} returned {returned} bytes into {room}")
            why = record_fault(name, data)
            if why:
                faults.append(f"line {number}: {name}: {why}")
            counts[name] += 1
            controls.append((name, data, ok))

    missing = [name for name, n in counts.items() if n == 0]
    if missing:
        faults.append("never seen: " + ", ".join(missing))

    # One whole tick in order: state of the shown output, of the shown input, then every cell.
    tick_found = False
    for i in range(len(controls) - 258 + 1):
        if controls[i][0] != "ReqSOstate" or controls[i + 1][0] != "ReqSIstate":
            continue
        reads = controls[i + 2:i + 258]
        if all(r[0] == "ReqSIreadWord" and u16(r[1], 4) == cell and u16(r[1], 0) == u16(reads[0][1], 0)
               for cell, r in enumerate(reads)):
            tick_found = True
            break
    if not tick_found:
        faults.append("no tick in order: ReqSOstate, ReqSIstate, ReqSIreadWord cells 0..255 of one channel")

    print("journal: " + ", ".join(f"{name} {n}" for name, n in counts.items()))
    print(f"journal: {len(controls)} requests through DeviceIoControl, "
          f"{sum(1 for c in controls if not c[2])} failed; a tick in order: {'yes' if tick_found else 'no'}")
    for fault in faults:
        print("journal: " + fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
