#!/usr/bin/env python3
"""pe_gate.py EXE LIST_DIR: does the 32-bit program EXE load on Windows XP SP3?

Reads EXE's PE headers, import table and embedded manifest (our own reader: no Windows tool runs
here) and fails, naming each fault, when
  - the machine is not i386, the subsystem not the Windows GUI, or the OS or subsystem version
    the header asks for is newer than 5.1 (XP);
  - a function is imported from a DLL that has no list in LIST_DIR (LIST_DIR/<dll>.txt, lower
    case), is not on that list, or is imported by ordinal, or the program delay-loads anything;
  - the manifest (RT_MANIFEST, id 1) is missing or not well-formed XML, or does not ask for x86,
    common controls 6 and requireAdministrator, or does not declare the program system DPI-aware
    (dpiAware "true" in asm.v3 application/windowsSettings, the 2005 WindowsSettings namespace:
    Vista and later honour it, XP ignores it; per-monitor awareness is refused, since the dialogs
    do not handle WM_DPICHANGED), or an element declares more than one namespace (Windows XP
    before SP3 reboots on such a manifest).
  - the header checksum is not the one computed over the file's bytes (a step after the link that
    changed bytes without computing it again).
Ends with "import gate: N passed, M failed" over the checks; exits 1 on any fault, 2 when EXE
cannot be read as a PE file at all.
"""
import os
import struct
import sys
import xml.parsers.expat

IMAGE_FILE_MACHINE_I386 = 0x014C
PE32_MAGIC = 0x010B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
XP_VERSION = (5, 1)
DIRECTORY_IMPORT, DIRECTORY_RESOURCE, DIRECTORY_DELAY_IMPORT = 1, 2, 13
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
ORDINAL_FLAG32 = 0x80000000
COMMON_CONTROLS = "Microsoft.Windows.Common-Controls"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
WINDOWS_SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"


class PeError(Exception):
    """The file is not a PE image this reader understands (truncated, wrong signature, ...)."""


class Image:
    """Bounds-checked reads over the bytes of a PE32 image, by file offset or by RVA."""

    def __init__(self, data):
        self.data = data
        if self.read(0, 2) != b"MZ":
            raise PeError("no MZ signature")
        e_lfanew = self.u32(0x3C)
        if self.read(e_lfanew, 4) != b"PE\0\0":
            raise PeError("no PE signature at e_lfanew")
        coff = e_lfanew + 4
        self.machine = self.u16(coff)
        number_of_sections = self.u16(coff + 2)
        size_of_optional_header = self.u16(coff + 16)
        optional = coff + 20
        self.magic = self.u16(optional)
        if self.magic != PE32_MAGIC:
            raise PeError(f"optional header magic {self.magic:#06x} is not PE32")
        self.os_version = (self.u16(optional + 40), self.u16(optional + 42))
        self.subsystem_version = (self.u16(optional + 48), self.u16(optional + 50))
        self.checksum_offset = optional + 64
        self.checksum = self.u32(self.checksum_offset)
        self.subsystem = self.u16(optional + 68)
        number_of_rva_and_sizes = self.u32(optional + 92)
        self.directories = []
        for index in range(min(number_of_rva_and_sizes, 16)):
            entry = optional + 96 + 8 * index
            self.directories.append((self.u32(entry), self.u32(entry + 4)))
        self.sections = []
        table = optional + size_of_optional_header
        for index in range(number_of_sections):
            header = table + 40 * index
            virtual_size, virtual_address, size_of_raw_data, pointer_to_raw_data = \
                struct.unpack_from("<IIII", self.read(header + 8, 16))
            self.sections.append((virtual_address, max(virtual_size, size_of_raw_data),
                                  pointer_to_raw_data, size_of_raw_data))

    def read(self, offset, n):
        # The overflow-safe form of offset + n <= len.
        if offset < 0 or n < 0 or n > len(self.data) or offset > len(self.data) - n:
            raise PeError(f"read of {n} bytes at {offset:#x} runs past the end of the file")
        return self.data[offset:offset + n]

    def u16(self, offset):
        return struct.unpack("<H", self.read(offset, 2))[0]

    def u32(self, offset):
        return struct.unpack("<I", self.read(offset, 4))[0]

    def offset_of(self, rva):
        for virtual_address, size, raw_pointer, raw_size in self.sections:
            if virtual_address <= rva < virtual_address + size:
                delta = rva - virtual_address
                if delta >= raw_size:
                    raise PeError(f"RVA {rva:#x} lies in a section's uninitialised tail")
                return raw_pointer + delta
        raise PeError(f"RVA {rva:#x} lies in no section")

    def string_at(self, rva, limit=512):
        offset = self.offset_of(rva)
        end = self.data.find(b"\0", offset, offset + limit)
        if end < 0:
            raise PeError(f"string at RVA {rva:#x} is not terminated")
        return self.data[offset:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)


def pe_checksum(data, checksum_offset):
    """The PE header checksum of data as Windows computes it (CheckSumMappedFile): the 16-bit
    words of the file (an odd last byte padded with 0), the checksum field itself counted as 0,
    added with the carries folded back in, plus the file's length."""
    words = bytearray(data)
    words[checksum_offset:checksum_offset + 4] = bytes(4)
    if len(words) % 2:
        words.append(0)
    total = sum(struct.unpack(f"<{len(words) // 2}H", words))
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def imports_of(image):
    """[(dll, function name or None, ordinal or None)] from the import directory."""
    rva, size = image.directory(DIRECTORY_IMPORT)
    found = []
    if rva == 0 or size == 0:
        return found
    descriptor = image.offset_of(rva)
    while True:
        original_first_thunk, _, _, name_rva, first_thunk = \
            struct.unpack("<IIIII", image.read(descriptor, 20))
        if name_rva == 0 and first_thunk == 0:
            break
        dll = image.string_at(name_rva)
        thunk = image.offset_of(original_first_thunk or first_thunk)
        while True:
            value = image.u32(thunk)
            if value == 0:
                break
            if value & ORDINAL_FLAG32:
                found.append((dll, None, value & 0xFFFF))
            else:
                found.append((dll, image.string_at(value + 2), None))  # past the hint
            thunk += 4
        descriptor += 20
    return found


def manifest_of(image):
    """The bytes of resource RT_MANIFEST / 1 (first language), or None."""
    rva, size = image.directory(DIRECTORY_RESOURCE)
    if rva == 0 or size == 0:
        return None
    root = image.offset_of(rva)

    def entries(directory):
        named, numbered = image.u16(directory + 12), image.u16(directory + 14)
        for index in range(named + numbered):
            entry = directory + 16 + 8 * index
            yield image.u32(entry), image.u32(entry + 4)

    def child(directory, wanted_id):
        for name, target in entries(directory):
            if not name & 0x80000000 and name == wanted_id:
                return target
        return None

    type_dir = child(root, RT_MANIFEST)
    if type_dir is None or not type_dir & 0x80000000:
        return None
    name_dir = child(root + (type_dir & 0x7FFFFFFF), CREATEPROCESS_MANIFEST_RESOURCE_ID)
    if name_dir is None or not name_dir & 0x80000000:
        return None
    languages = list(entries(root + (name_dir & 0x7FFFFFFF)))
    if not languages or languages[0][1] & 0x80000000:
        return None
    data_entry = root + languages[0][1]
    data_rva, data_size = image.u32(data_entry), image.u32(data_entry + 4)
    return image.read(image.offset_of(data_rva), data_size)


def manifest_faults(text):
    """The faults of a manifest's bytes, as strings; empty when it is what XP SP3 needs."""
    elements = []  # (name, attributes) in document order
    # Namespaces resolved by hand (the parser's own resolution would hide the xmlns attributes):
    # each element's (namespace, local name) path from the root, and its text.
    scopes, paths, texts, open_elements = [{}], [], [], []

    def start(name, attrs):
        pairs = list(zip(attrs[0::2], attrs[1::2]))
        elements.append((name, pairs))
        scope = dict(scopes[-1])
        for a, v in pairs:
            if a == "xmlns" or a.startswith("xmlns:"):
                scope[a[len("xmlns:"):] if ":" in a else ""] = v
        scopes.append(scope)
        prefix, _, local_name = name.rpartition(":")
        parent = paths[open_elements[-1]] if open_elements else ()
        paths.append(parent + ((scope.get(prefix), local_name),))
        texts.append("")
        open_elements.append(len(paths) - 1)

    def end(name):
        scopes.pop()
        open_elements.pop()

    def characters(data):
        if open_elements:
            texts[open_elements[-1]] += data

    parser = xml.parsers.expat.ParserCreate()  # namespaces off: xmlns stays a visible attribute
    parser.ordered_attributes = True
    parser.StartElementHandler = start
    parser.EndElementHandler = end
    parser.CharacterDataHandler = characters
    try:
        parser.Parse(text, True)
    except xml.parsers.expat.ExpatError as error:
        return [f"manifest is not well-formed XML: {error}"]
    faults = []
    for name, attrs in elements:
        declarations = [a for a, _ in attrs if a == "xmlns" or a.startswith("xmlns:")]
        if len(declarations) > 1:
            faults.append(f"manifest element <{name}> declares {len(declarations)} namespaces "
                          f"({', '.join(declarations)}): XP before SP3 reboots on that")

    def local(name):
        return name.split(":")[-1]

    def attribute(attrs, wanted):
        return next((v for a, v in attrs if local(a) == wanted), None)

    if not elements or local(elements[0][0]) != "assembly":
        return faults + ["manifest root is not <assembly>"]
    identities = [(i, attrs) for i, (n, attrs) in enumerate(elements) if local(n) == "assemblyIdentity"]
    own = identities[0][1] if identities else None
    if own is None or (attribute(own, "processorArchitecture") or "").lower() != "x86":
        faults.append("manifest's own assemblyIdentity does not say processorArchitecture=\"X86\"")
    if not any(attribute(attrs, "name") == COMMON_CONTROLS and attribute(attrs, "version") == "6.0.0.0"
               for _, attrs in identities[1:]):
        faults.append(f"manifest does not depend on {COMMON_CONTROLS} 6.0.0.0")
    levels = [attribute(attrs, "level") for n, attrs in elements if local(n) == "requestedExecutionLevel"]
    if levels != ["requireAdministrator"]:
        faults.append(f"manifest's requestedExecutionLevel is {levels or 'missing'}, "
                      "not one requireAdministrator")
    dpi_aware_path = ((ASM_V3, "application"), (ASM_V3, "windowsSettings"),
                      (WINDOWS_SETTINGS_2005, "dpiAware"))
    aware = [texts[i].strip() for i, path in enumerate(paths) if path[1:] == dpi_aware_path]
    if aware != ["true"]:
        faults.append(f"manifest's dpiAware (asm.v3 application/windowsSettings, {WINDOWS_SETTINGS_2005}) "
                      f"is {aware or 'missing'}, not one \"true\": Windows would stretch the dialogs "
                      "into a blur on a display scaled above 100%")
    if any(path[-1][1] == "dpiAwareness" for path in paths):
        faults.append("manifest declares dpiAwareness (per-monitor): the dialogs do not handle "
                      "WM_DPICHANGED, so the program stays system-aware")
    return faults


# KnownDLLs of Windows XP (HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs),
# mapped from System32 at boot with the DLLs they import where Windows builds that closure (msvcrt,
# which shell32 and rpcrt4 import; the C runtime of a MinGW program, which it cannot drop),
# and ntdll (in every process before the program). Not comctl32: common controls 6 come from the
# side-by-side store, but start by loading the theme DLL, which is no KnownDLL, by the search path.
LOADED_FROM_SYSTEM32 = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ntdll.dll",
    "msvcrt.dll",
}


def read_lists(folder):
    """{dll in lower case: set of function names} from folder/<dll>.txt."""
    lists = {}
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".txt"):
            continue
        names = set()
        with open(os.path.join(folder, entry), encoding="utf-8") as f:
            for line in f:
                line = line.split("#", 1)[0].strip()
                if line:
                    names.add(line)
        lists[entry[:-len(".txt")].lower()] = names
    return lists


def check(image, lists):
    """[(check name, [faults])] for every check of the gate."""
    results = []
    header = []
    if image.machine != IMAGE_FILE_MACHINE_I386:
        header.append(f"machine {image.machine:#06x} is not i386 (0x014c)")
    if image.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        header.append(f"subsystem {image.subsystem} is not the Windows GUI (2)")
    for what, version in (("OS", image.os_version), ("subsystem", image.subsystem_version)):
        if version > XP_VERSION:
            header.append(f"{what} version {version[0]}.{version[1]} is newer than XP's 5.1")
    results.append(("PE header: i386, GUI, versions <= 5.1", header))
    computed = pe_checksum(image.data, image.checksum_offset)
    results.append(("PE header: checksum over the file's bytes",
                    [] if image.checksum == computed else
                    [f"header checksum {image.checksum:#010x}, the file's bytes give {computed:#010x}"]))

    imports = []
    for dll, name, ordinal in imports_of(image):
        allowed = lists.get(dll.lower())
        if name is None:
            imports.append(f"{dll} ordinal {ordinal}: imported by ordinal, cannot be checked")
        elif allowed is None:
            imports.append(f"{dll}!{name}: no list of XP SP3 functions for {dll}")
        elif name not in allowed:
            imports.append(f"{dll}!{name}: not on the list of functions Windows XP SP3 has")
    delay_rva, delay_size = image.directory(DIRECTORY_DELAY_IMPORT)
    if delay_rva and delay_size:
        imports.append("the program delay-loads DLLs: the gate cannot check those imports")
    results.append(("imports: every one on the XP SP3 lists", imports))

    # An imported DLL is resolved before the program's first instruction, before it can restrict
    # the DLL search: only DLLs that Windows takes from System32 whatever lies beside the program
    # may be imported (anything else is loaded at run time by full path).
    search = [f"{dll}: not a DLL Windows XP takes from System32 whatever the program's folder holds"
              for dll in sorted({dll for dll, _, _ in imports_of(image)})
              if dll.lower() not in LOADED_FROM_SYSTEM32]
    results.append(("imports: only DLLs that cannot be planted beside the program", search))

    manifest = manifest_of(image)
    results.append(("manifest: well-formed, X86, common controls 6, requireAdministrator, "
                    "system DPI-aware, one namespace per element",
                    ["no manifest resource (RT_MANIFEST 1)"] if manifest is None
                    else manifest_faults(manifest)))
    return results


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    exe, folder = argv[1], argv[2]
    try:
        with open(exe, "rb") as f:
            image = Image(f.read())
        results = check(image, read_lists(folder))
    except (OSError, PeError) as error:
        print(f"import gate: cannot read {exe}: {error}")
        return 2
    print(f"import gate: {exe}: {len(imports_of(image))} imports")
    failed = 0
    for name, faults in results:
        print(f"{'FAIL' if faults else 'ok  '} {name}")
        for fault in faults:
            print(f"     {fault}")
        failed += bool(faults)
    print(f"import gate: {len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
