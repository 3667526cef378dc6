#!/usr/bin/env python3
"""Outcomes told as they are, through the real installation.exe on clean machines of the
end-to-end driver: a computer whose clock is wrong (Debian's faketime preloaded into the
machine's Wine), a release older than the installed client, a client whose keys name no
product code. Each is told in the message box (read by the accessibility probe, pictures kept)
and by the quiet run's exit code, and the log says why."""
import datetime
import os
import subprocess
import time

import accessibility_e2e as reader
import installer_e2e as driver
import quiet_e2e
from installer_e2e import BOX_TITLE, Window, client_package, publish, server, wait_for

CLOCK_TEXT = "电脑日期不正确，应为"
NEWER_TEXT = "已安装的版本较新，未做任何更改"
UNIDENTIFIED_TEXT = "无法识别已安装的客户端，未做任何更改"


class OutcomesEndToEnd(quiet_e2e.QuietRun, driver.EndToEndCase):
    def box_texts(self, machine, picture):
        """Runs the interactive installer up to its message box; the box's texts, once it was
        dismissed and the installer ended with 0."""
        installer = machine.start_installer()
        box = wait_for(lambda: Window.find(BOX_TITLE), 120)
        self.assertIsNotNone(box, "no message box")
        time.sleep(0.5)
        self.assertTrue(box.save(picture))
        texts = [o.name for o in reader.tree(machine, BOX_TITLE) if o.role == reader.ROLE_STATICTEXT]
        box.click(driver.BOX_CLOSE_BUTTON)
        self.assertEqual(self.finish(installer, 30), 0)
        return texts

    def machine_date(self, machine):
        out = subprocess.run(["wine", "cmd", "/c", "echo %DATE%"], env=machine.env, capture_output=True, text=True,
                             timeout=60).stdout
        return out.strip().splitlines()[-1] if out.strip() else ""

    def test_a_a_wrong_clock_is_told_with_the_date_it_should_show(self):
        today = datetime.date.today()
        utc_today = datetime.datetime.now(datetime.timezone.utc).date().isoformat()
        for name, days, refusal in (("ahead", 400, "the manifest has expired"),
                                    ("behind", -4400, "the manifest expires further ahead than any the vendor "
                                                      "publishes")):
            with self.subTest(name):
                publish(client_package())
                machine = self.machine("clock_" + name, clock="%+dd" % days)
                # The faked clock reaches the programs of the machine, or the case means nothing.
                self.assertIn(str((today + datetime.timedelta(days=days)).year), self.machine_date(machine))
                texts = self.box_texts(machine, "message_box_clock_" + name)
                self.assertIn(CLOCK_TEXT + today.isoformat(), texts)
                log = machine.log()
                self.assertIn("manifest refused: " + refusal, log)
                times = [line for line in log if line.startswith("manifest expiry ")]
                self.assertEqual(len(times), 1, log)
                self.assertIn("the server's time %s" % utc_today, times[0])
                self.assertNotIn("this computer's time %s" % utc_today, times[0])
                self.assertEqual(self.run_quiet(machine, "/quiet"), 2)
                self.assertEqual(machine.records("runtime") + machine.records("client"), [])

    def test_b_a_release_older_than_the_installed_client_changes_nothing(self):
        publish(client_package())
        machine = self.machine("newer_installed")
        subprocess.run(["wine", "reg", "add", r"HKLM\SOFTWARE\Quillmere\Quillmere", "/v", "version", "/d", "2.0.1.6",
                        "/f"], env=machine.env, capture_output=True, check=True)
        self.assertIn(NEWER_TEXT, self.box_texts(machine, "message_box_newer_installed"))
        self.assertEqual(self.run_quiet(machine, "/quiet"), 6)
        self.assertIn("manifest refused: the manifest names a version older than the installed client's", machine.log())
        self.assertEqual(machine.installed()[1]["version"], "2.0.1.6")

    def test_c_a_product_code_key_without_a_code_changes_nothing(self):
        publish(client_package())
        machine = self.machine("unidentified")
        subprocess.run(["wine", "reg", "add", r"HKLM\SOFTWARE\Quillmere\ProductCode", "/v", "other", "/d", "x", "/f",
                        "/reg:64"], env=machine.env, capture_output=True, check=True)
        self.assertIn(UNIDENTIFIED_TEXT, self.box_texts(machine, "message_box_unidentified"))
        self.assertEqual(self.run_quiet(machine, "/quiet"), 6)
        self.assertEqual(machine.records("runtime") + machine.records("client"), [], "nothing ran")
        self.assertTrue(os.path.exists(machine.path("ProgramData", "Quillmere", "setup.zip")), "kept for the next run")
        self.assertFalse(os.path.exists(machine.path("ProgramData", "Quillmere", "setup")))
        self.assertIn("info: run ended: the installed client cannot be identified, nothing was changed",
                      machine.log(with_info=True))

    def test_d_a_signed_manifest_that_cannot_be_read_exactly_is_refused_for_what_it_is(self):
        """The vendor's own signature over a manifest with a document type, an entity, or a
        version behind a comment: refused, the package never asked for, the log naming why."""
        def respelled(text, old, new):
            return text.replace(old, new, 1)

        cases = [
            ("document_type", lambda t: respelled(t, b"<config>", b"<!DOCTYPE config>\r\n<config>"),
             "the manifest holds a document type declaration"),
            ("entity", lambda t: respelled(t, b"<version>2.0.1.5</version>", b"<version>&v;</version>"),
             "the manifest refers to an entity"),
            ("commented_version", lambda t: respelled(t, b"<version>2.0.1.5", b"<version><!-- x -->2.0.1.3"),
             "the manifest's version is not two to four dotted numbers"),
        ]
        driver.tool()  # puts the publishing tool's package on the path
        import quillpublish.keys as keys
        key = keys.load_private(driver.ARGS.private_key)
        for name, spell, refusal in cases:
            with self.subTest(name):
                publish(client_package())
                manifest = os.path.join(driver.ARGS.www, "version.xml")
                with open(manifest, "rb") as f:
                    text = spell(f.read())
                with open(manifest, "wb") as f:
                    f.write(text)
                with open(manifest + ".sig", "wb") as f:
                    f.write(keys.sign(key, text))
                machine = self.machine("refused_" + name)
                subprocess.run(["wine", "reg", "add", r"HKLM\SOFTWARE\Quillmere\Quillmere", "/v", "version", "/d",
                                "2.0.1.4", "/f", "/reg:64"], env=machine.env, capture_output=True, check=True)
                server("/clear-log")
                self.assertEqual(self.run_quiet(machine, "/quiet"), 2)
                self.assertIn("manifest refused: " + refusal, machine.log())
                self.assertEqual([line for line in server("/log").splitlines() if line.startswith("package")], [])


def main():
    reader.run_with_probe(OutcomesEndToEnd)


if __name__ == "__main__":
    main()
