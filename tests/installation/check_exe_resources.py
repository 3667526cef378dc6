#!/usr/bin/env python3
"""Reads the built installer back with the mingw binutils and checks what Windows and the
user will see of it: the manifest, icon 128, the user-visible strings, the version
resource, the skin archive, and that no MinGW runtime DLL is needed next to it."""
import argparse
import io
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ARGS = None

RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24


def read_id(data, pos):
    if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def parse_res(data):
    """Yields (type, name, language, bytes) for every entry of a compiled .res file."""
    pos = 0
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        rtype, p = read_id(data, pos + 8)
        name, p = read_id(data, p)
        p = (p + 3) & ~3
        _, _, language = struct.unpack_from("<IHH", data, p)
        body = data[pos + header: pos + header + size]
        if size or rtype != 0:
            yield rtype, name, language, body
        pos = (pos + header + size + 3) & ~3


def string_table(entries):
    strings = {}
    for rtype, name, _, body in entries:
        if rtype != RT_STRING:
            continue
        p = 0
        for i in range(16):
            (n,) = struct.unpack_from("<H", body, p)
            p += 2
            if n:
                strings[(name - 1) * 16 + i] = body[p:p + n * 2].decode("utf-16-le")
            p += n * 2
    return strings


class ExeResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.NamedTemporaryFile(suffix=".res") as res:
            subprocess.run([ARGS.windres, "-i", ARGS.exe, "-O", "res", "-o", res.name], check=True)
            cls.entries = list(parse_res(res.read()))

    def by_type(self, rtype):
        return [e for e in self.entries if e[0] == rtype]

    def test_user_visible_strings_are_exact_utf16(self):
        strings = string_table(self.entries)
        self.assertEqual(strings.get(10001), "下载文件异常，请重新下载")
        self.assertEqual(strings.get(10002), "网络异常，下载失败")
        self.assertEqual(strings.get(10003), "写入磁盘失败")
        self.assertEqual(strings.get(10004), "引导安装程序")
        self.assertEqual(strings.get(10005), "新版本安装失败，已恢复原来的版本")
        self.assertEqual(strings.get(10006), "安装完成，请重新启动计算机")

    def test_icon_group_128_holds_real_images(self):
        groups = [e for e in self.by_type(RT_GROUP_ICON) if e[1] == 128]
        self.assertEqual(len(groups), 1, "icon group 128")
        body = groups[0][3]
        _, kind, count = struct.unpack_from("<HHH", body, 0)
        self.assertEqual(kind, 1)
        self.assertGreaterEqual(count, 1)
        icon_ids = {e[1] for e in self.by_type(RT_ICON)}
        for i in range(count):
            width, height, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", body, 6 + 14 * i)
            self.assertIn(icon_id, icon_ids)
            self.assertEqual(bits, 32)

    def test_manifest_requests_administrator_common_controls_6_and_per_monitor_dpi(self):
        manifests = self.by_type(RT_MANIFEST)
        self.assertEqual([m[1] for m in manifests], [1], "exactly one process manifest")
        text = manifests[0][3].decode("utf-8")
        self.assertRegex(text, r'requestedExecutionLevel\s+level="requireAdministrator"')
        self.assertRegex(text, r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"')
        self.assertIn("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", text, "Windows 7 in the supported-OS list")
        # Per-monitor v2 where the system has it, per monitor before that (Windows 8.1 and 10
        # before 1703 read only the older element).
        self.assertRegex(text, r'<dpiAwareness\s+xmlns="http://schemas\.microsoft\.com/SMI/2016/'
                               r'WindowsSettings">\s*PerMonitorV2,\s*PerMonitor\s*</dpiAwareness>')
        self.assertRegex(text, r'<dpiAware\s+xmlns="http://schemas\.microsoft\.com/SMI/2005/'
                               r'WindowsSettings">\s*true/pm\s*</dpiAware>')

    def test_skin_archive_is_zipres_129_with_the_skins_and_their_images(self):
        archives = [e for e in self.entries if e[0] == "ZIPRES"]
        self.assertEqual([a[1] for a in archives], [129])
        with zipfile.ZipFile(io.BytesIO(archives[0][3])) as archive:
            self.assertIsNone(archive.testzip())
            names = archive.namelist()
            images = ["common/button/btn_blue_normal", "common/button/btn_blue_pushed",
                      "common/button/btn_gray_normal", "common/button/btn_gray_pushed",
                      "common/close/btn_close_normal", "common/close/btn_close_pushed",
                      "common/window/shadow", "installation/bkimage",
                      "installation/btn_close_normal", "installation/btn_close_pushed"]
            self.assertEqual(sorted(names), sorted(
                ["installation.xml", "msgbox.xml", "uninstall_tip.xml", "proxy_login.xml"] +
                [f"{image}{suffix}.png" for image in images for suffix in ("", "@1.5x", "@2x")]))
            for skin in ("installation.xml", "msgbox.xml", "uninstall_tip.xml", "proxy_login.xml"):
                head = archive.read(skin).decode("utf-8").splitlines()[0]
                self.assertEqual(head, '<?xml version="1.0" encoding="utf-8" standalone="yes" ?>')

    def test_version_resource_names_the_product(self):
        versions = self.by_type(RT_VERSION)
        self.assertEqual(len(versions), 1)
        self.assertIn("Quillmere".encode("utf-16-le"), versions[0][3])

    def test_no_mingw_runtime_dll_is_needed(self):
        out = subprocess.run([ARGS.objdump, "-p", ARGS.exe], check=True, capture_output=True, text=True).stdout
        dlls = [line.split(":", 1)[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line]
        self.assertTrue(dlls)
        for dll in dlls:
            self.assertNotRegex(dll, r"libstdc|libgcc|libwinpthread|zlib1|libcurl")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--windres", required=True)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("exe")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
