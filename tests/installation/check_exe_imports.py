#!/usr/bin/env python3
"""Reads the import tables of programs that start elevated from a downloads folder: every
library they import the ordinary way must be one the system always takes from its own
folder (a known DLL, or common controls, which the program's manifest binds to the system's
side-by-side copy). Any other library must be delay-loaded (cmake/DelayLoad.cmake), so that
it is loaded after the program's first statements have restricted the search. The installer
itself (the first program named) imports the ordinary way only what its start and common
controls need, and its load configuration has what those libraries import looked for in the
system folder alone.

  check_exe_imports.py [--objdump OBJDUMP] [installer.exe [program.exe ...]]

Without programs, the installer of the build tree beside the sources ("build"); without
--objdump, the mingw objdump for the installer's machine found on the PATH."""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import unittest

ARGS = None

# Known DLLs of every Windows version the installer supports (Windows 7 to 11); the
# loader maps these from the system folder whatever folder the program starts in.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll",
    "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
# Bound by the program's manifest (checked by check_exe_resources.py).
MANIFEST_BOUND = {"comctl32.dll"}
# What the installer's start needs (the C runtime and the kernel) and what common controls
# load with themselves before its first statement anyway. Everything else it uses, known DLL
# or not, waits until the search is restricted: a library loaded at start has its own
# imports, and whatever its initialisation loads, looked for beside the program first.
INSTALLER_START = {"kernel32.dll", "msvcrt.dll", "comctl32.dll", "user32.dll", "gdi32.dll", "advapi32.dll"}

MACHINES = {0x8664: "x86_64", 0x14C: "i686"}
LOAD_CONFIG = 10  # index in the data directory
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
DEPENDENT_LOAD_FLAGS_AT = 0x4E  # in the 64-bit load configuration structure


class Image:
    """The headers of a PE file that the checks read."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        self.machine, sections, optional_size = struct.unpack_from("<HH12xH", self.data, pe + 4)
        optional = pe + 24
        self.pe32_plus = struct.unpack_from("<H", self.data, optional)[0] == 0x20B
        directory = optional + (112 if self.pe32_plus else 96)
        self.directory = [struct.unpack_from("<II", self.data, directory + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            size, address, raw_size, raw_offset = struct.unpack_from("<8xIIII", self.data, table + 40 * i)
            self.sections.append((address, max(size, raw_size), raw_offset))

    def read(self, rva, size):
        for address, size_in_memory, raw_offset in self.sections:
            if address <= rva and rva + size <= address + size_in_memory:
                return self.data[raw_offset + rva - address:raw_offset + rva - address + size]
        return None


def find_objdump(exe):
    """The mingw objdump for the program's machine, else any objdump that reads PE files."""
    triple = MACHINES.get(Image(exe).machine)
    for name in (triple and "%s-w64-mingw32-objdump" % triple, "objdump"):
        if name and shutil.which(name):
            return shutil.which(name)
    sys.exit("no objdump for %s on the PATH; name one with --objdump" % exe)


def imported_dlls(exe):
    """The libraries of the ordinary import table; objdump heads each table it prints with a
    line "The ... Tables", and delay-loaded libraries are not in the import table."""
    out = subprocess.run([ARGS.objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    dlls, in_imports = [], False
    for line in out.splitlines():
        if line.startswith("The "):
            in_imports = line.startswith("The Import Tables")
        elif in_imports and "DLL Name:" in line:
            dlls.append(line.split(":", 1)[1].strip().lower())
    return dlls


class ImportTables(unittest.TestCase):
    def test_only_libraries_the_system_takes_from_its_own_folder_are_imported(self):
        for exe in ARGS.exe:
            with self.subTest(exe=exe):
                dlls = imported_dlls(exe)
                self.assertIn("kernel32.dll", dlls, "the import table was not read")
                allowed = KNOWN_DLLS | MANIFEST_BOUND
                planted = [dll for dll in dlls if dll not in allowed and not dll.startswith("api-ms-win-")]
                self.assertEqual(planted, [], "imported the ordinary way, so looked for beside the program first")

    def test_the_installer_imports_only_what_its_start_and_common_controls_need(self):
        dlls = imported_dlls(ARGS.exe[0])
        self.assertIn("kernel32.dll", dlls, "the import table was not read")
        self.assertEqual(sorted(set(dlls) - INSTALLER_START), [], "loaded, with what it loads, before the first statement")

    def test_the_installers_load_configuration_has_dependent_libraries_looked_for_in_the_system_folder(self):
        image = Image(ARGS.exe[0])
        if not image.pe32_plus:
            self.skipTest("a 32-bit installer is built without a load configuration")
        rva, size = image.directory[LOAD_CONFIG]
        self.assertNotEqual(rva, 0, "no load configuration in the data directory")
        config = image.read(rva, size)
        self.assertIsNotNone(config, "the load configuration lies outside the image's sections")
        self.assertGreaterEqual(size, DEPENDENT_LOAD_FLAGS_AT + 2, "too short to carry DependentLoadFlags")
        self.assertEqual(struct.unpack_from("<I", config, 0)[0], size, "the structure's size and the entry's differ")
        flags = struct.unpack_from("<H", config, DEPENDENT_LOAD_FLAGS_AT)[0]
        self.assertEqual(flags, LOAD_LIBRARY_SEARCH_SYSTEM32, "DependentLoadFlags")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump")
    parser.add_argument("exe", nargs="*")
    ARGS, rest = parser.parse_known_args()
    if not ARGS.exe:
        top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        ARGS.exe = [os.path.normpath(os.path.join(top, "build", "installation", "installation.exe"))]
    ARGS.objdump = ARGS.objdump or find_objdump(ARGS.exe[0])
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
