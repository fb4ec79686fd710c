#!/usr/bin/env python3
"""compare_exe.py EXPECTED ACTUAL: are two builds of the program the same bytes?

Exits 0 when they are. Otherwise names each run of differing bytes by what holds it in EXPECTED
(a field of the PE headers, a section, or what lies past the sections), so a failure says which
cause of an unreproducible build came back (a link time stamp, a path in a section, ...), and
exits 1.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "imports"))
import pe_gate  # noqa: E402

SHOWN = 20  # runs listed at most


def places(data):
    """[(start, end, name)] of the parts of a PE file worth naming, headers' fields first."""
    image = pe_gate.Image(data)
    e_lfanew = image.u32(0x3C)
    coff = e_lfanew + 4
    optional = coff + 20
    security = optional + 96 + 8 * 4  # the certificate table's entry in the data directory
    found = [(coff + 4, coff + 8, "COFF header TimeDateStamp (the link time)"),
             (image.checksum_offset, image.checksum_offset + 4, "optional header CheckSum"),
             (security, security + 8, "data directory: certificate table (a signature)")]
    number_of_sections = image.u16(coff + 2)
    table = optional + image.u16(coff + 16)
    for index in range(number_of_sections):
        header = table + 40 * index
        name = image.read(header, 8).rstrip(b"\0").decode("ascii", "replace")
        size, pointer = struct.unpack_from("<II", image.read(header + 16, 8))
        found.append((pointer, pointer + size, f"section {name}"))
    found.append((0, image.u32(optional + 60), "PE headers"))  # SizeOfHeaders
    return found


def name_of(offset, parts):
    for start, end, name in parts:
        if start <= offset < end:
            return name
    return "past the sections (symbols, a signature or appended data)"


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    expected, actual = (open(path, "rb").read() for path in argv[1:])
    if expected == actual:
        print(f"same bytes: {argv[2]} is {argv[1]}, {len(expected)} bytes")
        return 0
    parts = places(expected)
    runs = []  # [start, end) of each run of differing bytes
    for offset in range(min(len(expected), len(actual))):
        if expected[offset] != actual[offset]:
            if runs and runs[-1][1] == offset:
                runs[-1][1] = offset + 1
            else:
                runs.append([offset, offset + 1])
    print(f"!! {argv[2]} differs from {argv[1]}:")
    if len(expected) != len(actual):
        print(f"   sizes {len(expected)} and {len(actual)} bytes")
    for start, end in runs[:SHOWN]:
        print(f"   {end - start} bytes at {start:#x}: {name_of(start, parts)}: "
              f"{expected[start:min(end, start + 8)].hex()} / {actual[start:min(end, start + 8)].hex()}")
    if len(runs) > SHOWN:
        print(f"   ... {len(runs) - SHOWN} more runs")
    print(f"same bytes: {sum(end - start for start, end in runs)} bytes differ in {len(runs)} runs")
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
