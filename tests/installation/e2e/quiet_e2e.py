#!/usr/bin/env python3
"""The real installation.exe as an administrator deploys it: "/quiet", on clean machines of
the end-to-end driver with real msiexec. No window may ever be mapped on the display (the
display is searched all through each run), and the exit code must tell what happened."""
import os
import subprocess
import sys
import time
import unittest
import zipfile

import installer_e2e as driver
from installer_e2e import OLD_VERSION, VERSION, client_package, publish, server, wait_for


def mapped_windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ".*"], capture_output=True, text=True)
    return found.stdout.split()


def failing_package():
    """The stand-in package with a client installer that fails (1603)."""
    import io
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive, \
            zipfile.ZipFile(os.path.join(driver.ARGS.fixtures, "quillmere-%s.zip" % VERSION)) as original:
        for item in original.infolist():
            if item.filename.endswith(".msi"):
                with open(os.path.join(driver.ARGS.fixtures, "Quillmere-failing.msi"), "rb") as f:
                    archive.writestr(item.filename, f.read())
            else:
                archive.writestr(item, original.read(item.filename))
    return out.getvalue()


class QuietRun:
    """Runs the installer as a deployment does; mixed into the cases that need it."""

    def run_quiet(self, machine, *arguments, seconds=300):
        """Runs the installer with the arguments; its exit code, once no window was ever mapped."""
        before = set(mapped_windows())
        installer = machine.start_installer(*arguments)
        shown = set()
        deadline = time.monotonic() + seconds
        while installer.poll() is None and time.monotonic() < deadline:
            shown |= set(mapped_windows()) - before
            time.sleep(0.05)
        code = self.finish(installer, 1)
        self.assertEqual(shown, set(), "a window was mapped during a quiet run")
        return code


class QuietEndToEnd(QuietRun, driver.EndToEndCase):
    def test_a_a_clean_machine_is_installed_without_a_window(self):
        publish(client_package())
        machine = self.machine("quiet_clean")
        log_copy = os.path.join(machine.work, "deploy.log")
        # Switches are taken in any letter case.
        self.assertEqual(self.run_quiet(machine, "/QUIET", "/Log", driver.windows_path(log_copy)), 0)
        self.assert_installed_and_started(machine)
        with open(log_copy, "rb") as f:
            self.assertIn(b"quiet: exit code 0", f.read(), "the second log has the run")

    def test_b_each_failure_has_its_exit_code(self):
        cases = [
            ("package_not_found", "/set?target=package&mode=status&code=404", None, 2),
            ("signature_missing", None, "signature", 2),
            ("package_damaged", None, "damaged", 3),
            ("folder_at_the_package_path", None, "folder", 4),
            ("client_installer_fails", None, "failing", 5),
        ]
        for name, fault, spoil, code in cases:
            with self.subTest(name):
                server("/reset")
                publish(failing_package() if spoil == "failing" else client_package())
                machine = self.machine("quiet_" + name)
                if fault:
                    server(fault)
                if spoil == "signature":
                    os.remove(os.path.join(driver.ARGS.www, "version.xml.sig"))
                elif spoil == "damaged":
                    publish(b"PK\x03\x04 not the package the vendor published " * 1000)
                elif spoil == "folder":
                    os.makedirs(machine.path("ProgramData", "Quillmere", "setup.zip"))
                self.assertEqual(self.run_quiet(machine, "/quiet"), code)
                self.assertEqual(machine.records("client"), [])

    def test_c_an_installed_client_is_replaced_without_a_question_or_kept_when_asked(self):
        publish(client_package())
        machine = self.machine("quiet_upgrade")
        machine.install_client(OLD_VERSION)
        before = machine.installed()
        self.assertEqual(self.run_quiet(machine, "/quiet", "/keep"), 6)
        self.assertEqual(machine.installed(), before, "a kept client is left as it was")
        self.assertEqual(self.run_quiet(machine, "/quiet"), 0)
        self.assertEqual(machine.installed()[1]["version"], VERSION)

    def test_d_two_quiet_installers_started_together_one_runs_and_one_ends_with_1(self):
        publish(client_package())
        server("/set?target=package&mode=slow")
        machine = self.machine("quiet_two")
        first = machine.start_installer("/quiet")
        # The first holds the name before the second starts.
        wait_for(lambda: os.path.exists(machine.path("ProgramData", "Quillmere Logs", "update.log")), 30)
        second = machine.start_installer("/quiet")
        codes = sorted([self.finish(second, 120), self.finish(first, 300)])
        self.assertEqual(codes, [0, 1])
        self.assertIn("quiet: another installer is running", machine.log(), machine.log(with_info=True))

    def test_e_a_command_line_it_cannot_take_ends_with_7_and_does_nothing(self):
        publish(client_package())
        machine = self.machine("quiet_bad_arguments")
        folder = machine.path("logs")
        os.makedirs(folder)
        cases = [
            (("/quiet", "/force"), "unknown argument \"/force\""),
            (("/quiet", "/log"), "/log names no file"),
            (("/keep",), "/keep without /quiet"),
            (("/quiet=1",), "unknown argument \"/quiet=1\""),
            (("/qn",), "unknown argument \"/qn\""),
            (("/quiet", "/log", "C:\\no such folder\\q.log"), "cannot be written"),
            (("/quiet", "/log", "C:\\logs"), "cannot be written"),
            (("/quiet", "/log", "C:\\" + "\\".join(["d" * 200] * 159)), "cannot be"),
            (("/quiet", "/log", "NUL"), "/log file"),
        ]
        for arguments, reason in cases:
            with self.subTest(" ".join(a[:40] for a in arguments)):
                server("/clear-log")
                self.assertEqual(self.run_quiet(machine, *arguments), 7)
                self.assertEqual(server("/log"), "", "a request was made")
                log = machine.log()
                self.assertTrue([line for line in log[-3:] if reason in line], log[-3:])
                self.assertEqual(log[-1], "command line not taken: nothing was done, exit code 7")
        self.assertFalse(os.path.exists(machine.path("Program Files", "Quillmere")))


def main():
    driver.ARGS = driver.parse_arguments()
    driver.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(QuietEndToEnd))


if __name__ == "__main__":
    main()
