#!/usr/bin/env python3
"""The real installation.exe, quiet, fetching its package the way the internet delivers it:
from the download host and the mirrors a signed manifest lists (each mirror a front of the
test server before an nginx instance of its own), past servers that refuse, cut, say "later",
serve other bytes, or send more than the manifest's size. Each case runs on a clean machine
of the end-to-end driver (installer_e2e.py, whose helpers it uses)."""
import argparse
import hashlib
import os
import shutil
import sys
import tempfile
import time
import unittest

import installer_e2e as driver
from installer_e2e import VERSION, client_package, server

MIRRORS = []  # (package address, served folder) of each mirror, in order


def publish_release(package, mirrors=()):
    """Publishes `package` through the vendor's tool with the build's key, listing the mirrors'
    addresses, and puts the package at the download host and at every mirror."""
    with tempfile.TemporaryDirectory() as staging:
        source = os.path.join(staging, "package.zip")
        with open(source, "wb") as f:
            f.write(package)
        folder, _ = driver.tool().publish(source, VERSION, driver.ARGS.private_key, os.path.join(staging, "out"), 30,
                                          False, mirrors=[address for address, _ in mirrors])
        for name in ("quillmere.zip", "version.xml", "version.xml.sig"):
            shutil.copyfile(os.path.join(folder, name), os.path.join(driver.ARGS.www, name))
    for _, served in MIRRORS:
        place(served, package)
    return len(package)


def place(folder, data):
    with open(os.path.join(folder, "quillmere.zip"), "wb") as f:
        f.write(data)


def requests(prefixes=("package", "mirror")):
    return [line for line in server("/log").splitlines() if line.startswith(prefixes)]


def sent(target):
    for line in server("/sent").splitlines():
        name, count = line.split()
        if name == target:
            return int(count)
    return 0


class DeliveryEndToEnd(driver.EndToEndCase):
    def run_quiet(self, machine, seconds=300):
        started = time.monotonic()
        code = self.finish(machine.start_installer("/quiet"), seconds)
        self.elapsed = time.monotonic() - started
        return code

    def assert_nothing_left(self, machine):
        self.assertFalse(os.path.exists(machine.path("ProgramData", "Quillmere")), "the data folder stays")
        self.assertEqual(machine.records("runtime") + machine.records("client"), [], "something ran")

    # --- mirrors ------------------------------------------------------------------------

    def test_a_a_refused_host_and_a_busy_mirror_are_passed_and_the_next_mirror_serves(self):
        publish_release(client_package(), MIRRORS)
        # The manifest and its signature come from the host, which then refuses connections.
        server("/set?target=signature&mode=pass&then=down")
        server("/set?target=mirror1&mode=status&code=503&retry_after=2")
        machine = self.machine("mirrors_refused_busy")
        self.assertEqual(self.run_quiet(machine), 0, machine.log(with_info=True))
        self.assert_installed_and_started(machine)
        timed = [line.split(" ", 1) for line in server("/timed-log").splitlines()]
        mirrors = [(float(at), line) for at, line in timed if line.startswith("mirror")]
        self.assertEqual([line for _, line in mirrors], ["mirror1 503 -", "mirror2 200 -"])
        self.assertGreaterEqual(mirrors[1][0] - mirrors[0][0], 2.0, "asked again sooner than the server said")
        self.assertLess(mirrors[1][0] - mirrors[0][0], 3.5)
        log = machine.log(with_info=True)
        (first, _), (second, _) = MIRRORS
        host = driver.ARGS.package_address
        self.assertTrue(any(line.startswith("info: package: left %s at byte 0 (Couldn't connect to server); %s next"
                                            % (host, first)) for line in log), log)
        self.assertIn("info: package: left %s at byte 0 (status 503); %s next, in 2000 ms" % (first, second), log)
        self.assertIn("info: package: bytes 0-%d from %s" % (len(client_package()) - 1, second), log)
        self.assertEqual(machine.log(), [])

    def test_b_a_transfer_cut_at_40_percent_is_continued_from_a_mirror_and_verifies(self):
        size = publish_release(client_package("random", 6 << 20), MIRRORS)
        cut = size * 2 // 5
        server("/set?target=package&mode=cut&after=%d" % cut)
        machine = self.machine("mirrors_cut")
        self.assertEqual(self.run_quiet(machine), 0, machine.log(with_info=True))
        self.assert_installed_and_started(machine)
        self.assertEqual(requests(), ["package 200 -", "mirror1 206 bytes=%d-" % cut])
        log = machine.log(with_info=True)
        self.assertIn("info: package: bytes 0-%d from %s" % (cut - 1, driver.ARGS.package_address), log)
        self.assertIn("info: package: bytes %d-%d from %s" % (cut, size - 1, MIRRORS[0][0]), log)

    def test_c_a_mirror_with_other_bytes_of_the_same_size_makes_the_run_fetch_whole_from_one_address(self):
        cases = [
            # (name, every address serves other bytes, exit code, requests for the package)
            ("mirrors_other_bytes", False, 0, ["package 200 -", "mirror1 206 bytes=@-", "package 200 -"]),
            ("mirrors_no_right_bytes", True, 3,
             ["package 200 -", "mirror1 206 bytes=@-", "package 200 -", "mirror1 200 -", "mirror2 200 -"]),
        ]
        for name, nowhere, code, expected in cases:
            with self.subTest(name):
                server("/reset")
                server("/clear-log")
                package = client_package("random", 6 << 20)
                size = publish_release(package, MIRRORS)
                place(MIRRORS[0][1], os.urandom(size))
                if nowhere:
                    place(driver.ARGS.www, os.urandom(size))
                    place(MIRRORS[1][1], os.urandom(size))
                cut = size * 2 // 5
                server("/set?target=package&mode=cut&times=1&after=%d" % cut)
                machine = self.machine(name)
                self.assertEqual(self.run_quiet(machine), code, machine.log(with_info=True))
                self.assertEqual(requests(), [line.replace("@", str(cut)) for line in expected])
                if code == 0:
                    self.assert_installed_and_started(machine)
                else:
                    self.assertIn("package verification failed", machine.log())
                    self.assert_nothing_left(machine)

    # --- the manifest's size bounds the transfer --------------------------------------------

    def test_d_an_answer_larger_than_the_signed_size_is_refused_as_not_the_package(self):
        cases = [
            # (name, the front's mode, at most this many bytes sent before the installer let go)
            ("size_oversize_body", "mode=oversize&extra=20000000", None),
            ("size_endless_chunked_body", "mode=endless", 256 << 20),
            ("size_huge_content_length", "mode=huge", 256 << 20),
        ]
        for name, mode, most in cases:
            with self.subTest(name):
                server("/reset")
                server("/clear-log")
                size = publish_release(client_package())
                server("/set?target=package&" + mode)
                machine = self.machine(name)
                self.assertEqual(self.run_quiet(machine, seconds=180), 3, machine.log(with_info=True))
                self.assertIn("package refused: not the size the manifest gives", machine.log())
                self.assertNotIn("not enough disk space", " ".join(machine.log()))
                self.assertTrue(any("the manifest gives %d" % size in line for line in machine.log(with_info=True)))
                self.assert_nothing_left(machine)
                if most:
                    self.assertLess(sent("package"), most, "the installer kept reading")

    def test_e_a_range_total_that_disagrees_is_refused_and_the_part_on_disk_stays(self):
        size = publish_release(client_package("random", 2 << 20))
        with open(os.path.join(driver.ARGS.www, "quillmere.zip"), "rb") as f:
            part = f.read(size * 2 // 5)
        machine = self.machine("size_range_total")
        data = machine.path("ProgramData", "Quillmere")
        os.makedirs(data)
        with open(os.path.join(data, "setup.zip"), "wb") as f:
            f.write(part)
        with open(os.path.join(data, "version.xml"), "wb") as f:
            f.write(b"<config><version>%s</version></config>" % VERSION.encode())
        server("/set?target=package&mode=range-total&delta=1000")
        self.assertEqual(self.run_quiet(machine), 3, machine.log(with_info=True))
        self.assertEqual(requests(), ["package 206 bytes=%d-" % len(part)])
        self.assertIn("package refused: not the size the manifest gives", machine.log())
        self.assertEqual(sorted(os.listdir(data)), ["setup.zip", "version.xml"], "what continuing it needs, no more")
        with open(os.path.join(data, "setup.zip"), "rb") as f:
            self.assertEqual(hashlib.sha256(f.read()).digest(), hashlib.sha256(part).digest(), "the part changed")


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--mirror", action="append", required=True, help="a mirror's package address=served folder")
    parser.add_argument("--package-address", required=True, help="the download host's package address")
    args, sys.argv[1:] = parser.parse_known_args()
    MIRRORS.extend(tuple(mirror.split("=", 1)) for mirror in args.mirror)
    driver.ARGS = driver.parse_arguments()
    driver.ARGS.package_address = args.package_address
    driver.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(DeliveryEndToEnd))


if __name__ == "__main__":
    main()
