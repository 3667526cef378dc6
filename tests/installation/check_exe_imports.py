#!/usr/bin/env python3
"""Reads the import tables of programs that start elevated from a downloads folder: every
library they import the ordinary way must be one the system always takes from its own
folder (a known DLL, or common controls, which the program's manifest binds to the system's
side-by-side copy). Any other library must be delay-loaded (cmake/DelayLoad.cmake), so that
it is loaded after the program's first statements have restricted the search."""
import argparse
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


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("exe", nargs="+")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
