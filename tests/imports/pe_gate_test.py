#!/usr/bin/env python3
"""pe_gate_test.py EXE MANIFEST_TEMPLATE: the import gate's own rules.

The manifest rules on variants of the program's manifest template (each fault is seen, the real
manifest passes), the header checksum on changed copies of EXE, and the PE reader on EXE cut off at many lengths: every cut either reads or is
refused as a PE error, never crashes the gate.
"""
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_gate  # noqa: E402

EXE, TEMPLATE = sys.argv[1], sys.argv[2]
del sys.argv[1:]


def program_manifest():
    with open(TEMPLATE, encoding="utf-8") as f:
        return f.read().replace("@KC_MANIFEST_ARCH@", "X86")


class ManifestRules(unittest.TestCase):
    def faults_after(self, old, new):
        text = program_manifest()
        self.assertIn(old, text)
        return pe_gate.manifest_faults(text.replace(old, new, 1).encode("utf-8"))

    def assert_one_fault(self, faults, words):
        self.assertEqual(len(faults), 1, faults)
        self.assertIn(words, faults[0])

    def test_program_manifest_passes(self):
        self.assertEqual(pe_gate.manifest_faults(program_manifest().encode("utf-8")), [])

    def test_each_requirement_is_checked(self):
        cases = [
            ('processorArchitecture="X86" name="KestrelCharter',
             'processorArchitecture="amd64" name="KestrelCharter', "X86"),
            ('version="6.0.0.0"', 'version="5.82.0.0"', "Common-Controls 6.0.0.0"),
            ('level="requireAdministrator"', 'level="asInvoker"', "requireAdministrator"),
            ("<requestedExecutionLevel", "<requestedExecutionLevelX", "requireAdministrator"),
            ("</assembly>", "</assembly", "well-formed"),
            ("<description>", "<description attr='a' attr='b'>", "well-formed"),
            (">true</dpiAware>", ">false</dpiAware>", "dpiAware"),
            (">true</dpiAware>", ">true/pm</dpiAware>", "dpiAware"),
            ("SMI/2005/WindowsSettings", "SMI/2016/WindowsSettings", "dpiAware"),
            ("<windowsSettings>", "<windowsSettings xmlns=\"urn:schemas-microsoft-com:asm.v1\">", "dpiAware"),
            ("</windowsSettings>", "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
             "WindowsSettings\">PerMonitorV2</dpiAwareness></windowsSettings>", "per-monitor"),
        ]
        for old, new, words in cases:
            with self.subTest(new=new):
                self.assert_one_fault(self.faults_after(old, new), words)

    def test_two_namespace_declarations_on_one_element(self):
        faults = self.faults_after(
            '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">',
            '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3" '
            'xmlns:asmv3="urn:schemas-microsoft-com:asm.v3">')
        self.assert_one_fault(faults, "<trustInfo> declares 2 namespaces")

    def test_prefixed_elements_are_understood(self):
        text = program_manifest()
        for name in ("trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel",
                     "application", "windowsSettings"):
            text = text.replace(f"<{name}", f"<v3:{name}").replace(f"</{name}", f"</v3:{name}")
        text = text.replace("<v3:trustInfo xmlns=", "<v3:trustInfo xmlns:v3=")
        text = text.replace("<v3:application xmlns=", "<v3:application xmlns:v3=")
        self.assertEqual(pe_gate.manifest_faults(text.encode("utf-8")), [])


class HeaderChecksum(unittest.TestCase):
    CHECK = "PE header: checksum over the file's bytes"

    def faults(self, data):
        return dict(pe_gate.check(pe_gate.Image(bytes(data)), {}))[self.CHECK]

    def test_linker_checksum_agrees_and_any_later_change_is_seen(self):
        with open(EXE, "rb") as f:
            data = bytearray(f.read())
        # ld's checksum and ours are two implementations: they must agree on the real program.
        self.assertEqual(self.faults(data), [])
        time_stamp = struct.unpack_from("<I", data, 0x3C)[0] + 8
        changes = [
            ("a link time stamp written after the link", time_stamp, b"\x01\x02\x03\x04"),
            ("the file's last byte", len(data) - 1, None),
            ("three bytes appended", len(data), b"\0\0\0"),
        ]
        for what, offset, new in changes:
            with self.subTest(what):
                changed = bytearray(data)
                if new is None:
                    changed[offset] ^= 0xFF
                else:
                    changed[offset:offset + len(new)] = new
                faults = self.faults(changed)
                self.assertEqual(len(faults), 1, faults)
                self.assertIn("the file's bytes give", faults[0])


class ReaderBounds(unittest.TestCase):
    def test_cut_off_program_never_crashes_the_gate(self):
        with open(EXE, "rb") as f:
            data = f.read()
        lists = {}
        lengths = sorted(set(list(range(0, 1024, 7)) + list(range(1024, len(data), 4099)) +
                             [len(data) - 1, len(data)]))
        refused = 0
        for n in lengths:
            try:
                pe_gate.check(pe_gate.Image(data[:n]), lists)
            except pe_gate.PeError:
                refused += 1
        self.assertGreater(refused, 0)
        # The whole file reads, and with empty lists every import is named as a fault.
        results = dict(pe_gate.check(pe_gate.Image(data), lists))
        self.assertTrue(any("GetVersionExA" in fault
                            for fault in results["imports: every one on the XP SP3 lists"]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
