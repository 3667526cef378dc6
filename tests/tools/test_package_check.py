import io
import os
import shutil
import struct
import subprocess
import tempfile
import unittest
import warnings
import zipfile
import zlib

from publishtest import REQUIRED, make_zip, patch_entry

from quillpublish import Refused
from quillpublish.package import check_package

CAFE = "caf\u00e9.txt"


def check(data, warned=None):
    return check_package(io.BytesIO(data), None if warned is None else warned.append)


def unflagged(name, host, stored=None):
    """An entry of `name` with flag bit 11 clear, made on `host`, its bytes `stored` (UTF-8 unless given)."""
    data = patch_entry(make_zip([(name, b"t")]), name, flags_clear=0x800, host=host)
    return data if stored is None else data.replace(name.encode("utf-8"), stored)


def unicode_path_entry(raw_name, unicode_name, crc_of=None):
    """An entry whose header name is raw_name, unflagged, with an Info-ZIP Unicode Path."""
    info = zipfile.ZipInfo(raw_name)
    encoded = unicode_name.encode("utf-8")
    crc = zlib.crc32((crc_of or raw_name).encode("utf-8"))
    info.extra = struct.pack("<HHBI", 0x7075, 5 + len(encoded), 1, crc) + encoded
    return patch_entry(make_zip([(info, b"text")]), raw_name, flags_clear=0x800)


class PackageCheckTest(unittest.TestCase):
    def assertRefused(self, data, fragment):
        with self.assertRaises(Refused) as caught:
            check(data)
        self.assertIn(fragment, str(caught.exception))
        self.assertNotIn("\n", str(caught.exception))

    def test_accepts_packages_the_installer_extracts(self):
        cases = {
            "deflate": make_zip([("docs/readme.txt", b"read me")]),
            "stored": make_zip([("docs/", b""), ("docs/a.txt", b"a")], method=zipfile.ZIP_STORED),
            "zip64": make_zip([("big.bin", b"\0" * 5000)], zip64=True),
            "UTF-8 flagged name": make_zip([(CAFE, b"text")]),
            "Unicode Path with matching CRC": unicode_path_entry(CAFE, CAFE),
            "every name after ./": make_zip([("./", b""), ("./docs/readme.txt", b"r")]),
            "a path past 260 characters": make_zip([("/".join(["d" * 100] * 3) + "/deep.txt", b"d")]),
        }
        for label, data in cases.items():
            with self.subTest(label):
                self.assertEqual(check(data), len(zipfile.ZipFile(io.BytesIO(data)).infolist()))

    @unittest.skipUnless(shutil.which("zip"), "Info-ZIP zip is not installed")
    def test_accepts_info_zip_output(self):
        chinese = "\u8bf4\u660e/\u4f7f\u7528\u8bf4\u660e.txt"  # 说明/使用说明.txt
        with tempfile.TemporaryDirectory() as folder:
            os.makedirs(f"{folder}/tree/sub")
            os.makedirs(f"{folder}/tree/\u8bf4\u660e")
            for name, data in REQUIRED + [("sub/notes.txt", b"n"), (chinese, b"c")]:
                with open(f"{folder}/tree/{name}", "wb") as file:
                    file.write(data)
            for options in ([], ["-fz"]):  # -fz: Zip64 records throughout
                with self.subTest(options):
                    subprocess.run(["zip", "-q", "-X", "-r", *options, f"../{len(options)}.zip", "."],
                                   cwd=f"{folder}/tree", check=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
                    with open(f"{folder}/{len(options)}.zip", "rb") as file:
                        # Whether this zip flags its UTF-8 names decides whether there is a warning.
                        unflagged = [i for i in zipfile.ZipFile(file).infolist()
                                     if not i.filename.isascii() and not i.flag_bits & 0x800]
                        warned = []
                        self.assertEqual(check_package(file, warned.append), 6)  # sub/ and 说明/ are entries too
                        self.assertEqual(len(warned), 1 if unflagged else 0)

    def test_accepts_names_that_only_look_unsafe(self):
        for name in ["CONSOLE.txt", "COM10.txt", "nul_device.txt", "LPT.txt", ".hidden", "a..b.txt",
                     "sub/x/", "sub\\y.txt", "trailing.dot."]:
            with self.subTest(name):
                self.assertEqual(check(make_zip([(name, b"x")])), 3)

    def test_refuses_what_is_not_a_zip(self):
        whole = make_zip()
        for label, data in {"text": b"hello, world\n" * 20, "empty": b"", "cut short": whole[:len(whole) // 2]}.items():
            with self.subTest(label):
                self.assertRefused(data, "not a zip archive")

    def test_refuses_without_both_installers_at_the_top(self):
        (_, runtime), (_, client) = REQUIRED
        for entries in ([("vcredist_x86.exe", runtime)], [("vcredist_x86.exe", runtime), ("sub/Quillmere.msi", client)],
                        [("vcredist_x86.exe", runtime), ("quillmere.msi", client)]):
            with self.subTest(entries=[name for name, _ in entries]):
                self.assertRefused(make_zip(required=entries), "lacks Quillmere.msi")
        self.assertRefused(make_zip(required=[("Quillmere.msi", client)]), "lacks vcredist_x86.exe")

    def test_refuses_unsafe_names(self):
        names = ["/abs.txt", "\\rooted.txt", "C:evil.txt", "c:/x.txt", "file.txt:stream", "..", "a/../../x.txt",
                 "a/. ./b.txt", "a/.. /b.txt", "a//b.txt", "x*.txt", "what?.txt", 'q".txt', "a<b", "a>b", "a|b",
                 "ctl\x01.txt", "tab\t.txt", "del\x7f.txt", "CON", "con.txt", "sub/Nul.txt", "NUL .txt", "PRN",
                 "AUX.log", "COM1", "lpt9.txt", "COM\u00b9.txt", "CONIN$", "conout$.txt", "CLOCK$"]
        for name in names:
            with self.subTest(name=name):
                self.assertRefused(make_zip([(name, b"x")]), "unsafe")
        with self.subTest("Unicode Path"):
            self.assertRefused(unicode_path_entry("plain.txt", "../plain.txt"), "unsafe")

    def test_accepts_unflagged_utf8_names_from_unix_and_macos_with_one_warning(self):
        for host, system in ((3, "Unix"), (19, "macOS")):
            with self.subTest(system):
                warned = []
                data = unflagged(CAFE, host)
                self.assertEqual(check(data, warned), 3)
                self.assertEqual(len(warned), 1)
                self.assertIn(f"{CAFE!r} is UTF-8 without the UTF-8 flag, as zip on {system}", warned[0])
                self.assertIn("7-Zip (7z a -tzip)", warned[0])
        flagged = []
        check(make_zip([(CAFE, b"text")]), flagged)
        self.assertEqual(flagged, [])

    def test_refuses_names_that_depend_on_the_code_page(self):
        # café.txt is nine bytes in UTF-8 and in GBK alike, so the bytes swap in place.
        cases = {"unflagged UTF-8 from MS-DOS": unflagged(CAFE, 0),
                 "unflagged UTF-8 from NTFS": unflagged(CAFE, 10),
                 "GBK from Unix": unflagged(CAFE, 3, CAFE.encode("gbk")),
                 "Unicode Path of another name": patch_entry(unicode_path_entry(CAFE, CAFE, crc_of="cafe.txt"),
                                                             CAFE, host=0)}
        for label, data in cases.items():
            with self.subTest(label):
                self.assertRefused(data, "code page")

    def test_refuses_names_no_file_system_can_hold(self):
        self.assertRefused(make_zip([("n" * 256, b"x")]), "longer than 255 characters")

    def test_refuses_names_that_are_one_file_on_windows(self):
        cases = [(["Quillmere.msi", "QUILLMERE.MSI"], "same file"), (["a/b.txt", "A\\B.txt"], "same file"),
                 (["x.txt", "x.txt. "], "same file"), (["d/", "D/"], "same file"),
                 (["x", "X/y.txt"], "both a file and a folder")]
        for names, fragment in cases:
            with self.subTest(names=names), warnings.catch_warnings():
                warnings.simplefilter("ignore")  # zipfile warns of the exact duplicate it writes
                self.assertRefused(make_zip([(name, b"") for name in names]), fragment)

    def test_refuses_what_the_installer_cannot_unpack(self):
        msi = "Quillmere.msi"
        cases = [
            (make_zip([("b.txt", b"b" * 100)], method=zipfile.ZIP_BZIP2), "bzip2"),
            (make_zip([("l.txt", b"l" * 100)], method=zipfile.ZIP_LZMA), "LZMA"),
            (patch_entry(make_zip(), msi, method=9), "Deflate64"),
            (patch_entry(make_zip(), msi, flags_set=1), "encrypted"),
            (patch_entry(make_zip(), msi, local_method=12), "local header"),
        ]
        for data, fragment in cases:
            with self.subTest(fragment):
                self.assertRefused(data, fragment)

    def test_refuses_damaged_entries(self):
        msi = "Quillmere.msi"
        stored = make_zip(method=zipfile.ZIP_STORED)
        flipped = bytearray(stored)
        flipped[stored.index(b"client package") + 3] ^= 1
        cases = {"data byte changed": (bytes(flipped), "CRC"),
                 "size recorded too large": (patch_entry(make_zip(), msi, size_delta=1), "not the recorded"),
                 "size recorded too small": (patch_entry(stored, msi, size_delta=-1), "CRC")}
        for label, (data, fragment) in cases.items():
            with self.subTest(label):
                self.assertRefused(data, fragment)


if __name__ == "__main__":
    unittest.main()
