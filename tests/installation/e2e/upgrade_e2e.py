#!/usr/bin/env python3
"""Upgrades that go wrong, through the real installation.exe on clean machines of the
end-to-end driver with real msiexec: client 2.0.1.4 installed, configured by its user and
running; a release 2.0.1.5 whose client package fails, an old client whose uninstall fails, a
run killed half way, a package that asks for a restart. Whatever happens, a client stays
installed with the user's settings, and the exit code, the box and the log tell which."""
import hashlib
import io
import os
import subprocess
import time
import zipfile

import accessibility_e2e as reader
import installer_e2e as driver
import quiet_e2e
from installer_e2e import BOX_TITLE, CONFIRM_BUTTON, OLD_VERSION, VERSION, Window, client_package, publish, \
    wait_for

SETTINGS = b"<config><account>alice</account><shipped>2.0.1.4</shipped></config>"
RESTORED_TEXT = "新版本安装失败，已恢复原来的版本"


def package_with_client(msi_bytes):
    """The stand-in release with another client package in place of its own."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive, \
            zipfile.ZipFile(os.path.join(driver.ARGS.fixtures, "quillmere-%s.zip" % VERSION)) as original:
        for item in original.infolist():
            data = msi_bytes if item.filename.endswith(".msi") else original.read(item.filename)
            archive.writestr(item, data)
    return out.getvalue()


def fixture(name):
    with open(os.path.join(driver.ARGS.fixtures, name), "rb") as f:
        return f.read()


class UpgradeEndToEnd(quiet_e2e.QuietRun, driver.EndToEndCase):
    def configured_client(self, name, msi=OLD_VERSION):
        """A machine with the old client installed from `msi`, its user's settings, running."""
        machine = self.machine(name)
        machine.install_client(msi)
        with open(machine.path("Program Files", "Quillmere", "Config", "config.xml"), "wb") as f:
            f.write(SETTINGS)
        machine.client = machine.start_client()
        machine.before = machine.installed()
        self.assertEqual(machine.before[1]["version"], OLD_VERSION)
        return machine

    def uninstall_entry(self, machine):
        code = machine.before[1]["productcode"]
        return machine.registry(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\%s" % code,
                                "DisplayName", 64)

    def assert_old_client_back(self, machine):
        """2.0.1.4 installed as it was (files, keys, the user's settings, its uninstall entry)
        and started again by the installer."""
        self.assertEqual(machine.installed(), machine.before)
        self.assertIsNotNone(self.uninstall_entry(machine), "the uninstall entry is back")
        started = wait_for(lambda: [r for r in machine.records("client") if r.get("version") == OLD_VERSION][1:], 20)
        self.assertEqual(len(started), 1, "the installer started the old client again")
        self.assertEqual(started[0]["config"], SETTINGS.decode())
        self.assertIn("the new version failed; the previous client %s was put back" % OLD_VERSION, machine.log())

    def kill(self, machine, program):
        subprocess.run(["wine", "taskkill", "/f", "/im", program], env=machine.env, capture_output=True, timeout=60)

    def test_a_a_failing_new_client_package_puts_the_old_one_back(self):
        for name, msi in (("installation_fails", fixture("Quillmere-failing.msi")), ("package_damaged", b"no msi" * 99)):
            with self.subTest(name):
                publish(package_with_client(msi))
                machine = self.configured_client("failing_" + name)
                self.assertEqual(self.run_quiet(machine, "/quiet"), 8)
                self.assert_old_client_back(machine)
                self.assertIn("info: run ended: the new version failed, the previous one was put back",
                              machine.log(with_info=True))

    def test_b_interactive_the_person_is_told_the_old_version_was_put_back(self):
        publish(package_with_client(fixture("Quillmere-failing.msi")))
        machine = self.configured_client("failing_interactive")
        installer = machine.start_installer()
        prompt = wait_for(lambda: Window.find(BOX_TITLE), 120)
        self.assertIsNotNone(prompt, "no uninstall prompt")
        prompt.click(CONFIRM_BUTTON)
        # The failing package says so in its own error box ("Error"), which the person
        # dismisses with its OK button.
        box = None
        deadline = time.monotonic() + 300
        while box is None and installer.poll() is None and time.monotonic() < deadline:
            error = Window.find("Error")
            if error:
                width, height = error.geometry()[2:]
                error.click((width // 2, height - 22))
            box = Window.find(BOX_TITLE)
            if box and box.wid == prompt.wid:
                box = None  # the prompt, still on its way out
            time.sleep(0.5)
        self.assertIsNotNone(box, "no message box")
        time.sleep(0.5)
        self.assertTrue(box.save("message_box_previous_restored"))
        texts = [o.name for o in reader.tree(machine, BOX_TITLE) if o.role == reader.ROLE_STATICTEXT]
        self.assertIn(RESTORED_TEXT, texts)
        box.click(driver.BOX_CLOSE_BUTTON)
        self.assertEqual(self.finish(installer, 30), 0)
        self.assert_old_client_back(machine)

    def test_c_an_uninstall_that_fails_leaves_the_client_and_runs_nothing_new(self):
        publish(client_package())
        machine = self.configured_client("uninstall_fails", "2.0.1.4-unremovable")
        self.assertEqual(self.run_quiet(machine, "/quiet"), 5)
        self.assertEqual(machine.installed(), machine.before)
        self.assertIsNotNone(self.uninstall_entry(machine))
        self.assertEqual(machine.records("runtime"), [], "the new release never ran")
        self.assertIn("delete quillmere failed! ExitCode:1603", machine.log())

    def test_d_a_run_killed_after_the_uninstall_is_finished_by_the_next(self):
        for name, package, code in (("then_installs", client_package(), 0),
                                    ("then_puts_back", package_with_client(fixture("Quillmere-failing.msi")), 8)):
            with self.subTest(name):
                publish(package)
                machine = self.configured_client("killed_" + name)
                # The runtime installer of the new release hangs: the old client is gone by then.
                requests = machine.path("ProgramData", "QuillmereStandIn", "requested-exit-codes.txt")
                with open(requests, "w") as f:
                    f.write("hang\n")
                installer = machine.start_installer("/quiet")
                self.assertTrue(wait_for(lambda: [r for r in machine.records("runtime") if r.get("hanging")], 300))
                self.kill(machine, "installation.exe")
                self.kill(machine, "vcredist_x86.exe")
                installer.wait(60)
                self.assertIsNone(machine.installed()[1]["version"], "the old client was uninstalled")
                self.assertTrue(os.path.exists(machine.path("ProgramData", "Quillmere", "upgrade.state")))

                self.assertEqual(self.run_quiet(machine, "/quiet"), code)
                if code == 0:
                    self.assertEqual(machine.installed(), self.expected_installation(hashlib.sha256(SETTINGS).hexdigest()))
                    started = wait_for(lambda: [r for r in machine.records("client") if r.get("version") == VERSION], 20)
                    self.assertEqual([r["config"] for r in started], [SETTINGS.decode()])
                    self.assertFalse(os.path.exists(machine.path("ProgramData", "Quillmere")), "the way back goes")
                else:
                    self.assert_old_client_back(machine)

    def test_e_a_client_package_that_asks_for_a_restart_starts_nothing(self):
        publish(package_with_client(fixture("Quillmere-2.0.1.5-reboot.msi")))
        machine = self.configured_client("restart")
        self.assertEqual(self.run_quiet(machine, "/quiet"), 9)
        self.assertEqual(machine.installed()[1]["version"], VERSION)
        time.sleep(2)
        self.assertEqual([r["version"] for r in machine.records("client")], [OLD_VERSION], "no program was started")


def main():
    reader.run_with_probe(UpgradeEndToEnd)


if __name__ == "__main__":
    main()
