#!/usr/bin/env python3
"""The real installation.exe under Wine, attacked from outside the way a user without rights
can: a data folder another program keeps from being made safe, the single-instance name taken
first by another program, a start folder that is a link into the system folder. Each case
runs on a clean machine of the end-to-end driver (installer_e2e.py, whose helpers and
fixtures it uses) beside tests/fixtures/holder, the other program."""
import argparse
import os
import subprocess
import sys
import unittest

import installer_e2e as driver
from installer_e2e import BOX_CLOSE_BUTTON, BOX_TITLE, Window, client_package, publish, server, wait_for

HOLDER = None
DATA_FOLDER = "C:\\ProgramData\\Quillmere"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class HardeningEndToEnd(driver.EndToEndCase):
    def hold(self, machine, what, name):
        """Starts the holder on the machine; returns once it holds `name`, and lets it go when
        the case ends."""
        with open(os.path.join(machine.work, "holder.out"), "ab") as errors:
            holder = subprocess.Popen(["wine", HOLDER, what, name], env=machine.env, stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=errors, text=True)
        self.addCleanup(self.release, holder)
        self.assertEqual(holder.stdout.readline().strip(), "ready", "the holder could not take " + name)

    @staticmethod
    def release(holder):
        holder.stdin.close()
        try:
            holder.wait(15)
        except subprocess.TimeoutExpired:
            holder.kill()
        holder.stdout.close()

    def test_a_a_data_folder_that_cannot_be_made_safe_shows_the_disk_error_box_and_the_setup_ends(self):
        publish(client_package())
        machine = self.machine("held_data_folder")
        # Open to everyone, so it is made afresh before use, which the held file prevents.
        os.makedirs(machine.path("ProgramData", "Quillmere"))
        os.chmod(machine.path("ProgramData", "Quillmere"), 0o777)
        self.hold(machine, "file", DATA_FOLDER + "\\held.txt")
        installer = machine.start_installer()
        box = wait_for(lambda: Window.find(BOX_TITLE), 20)
        self.assertIsNotNone(box, "no message box: the main window waits at 0 / 0 KB")
        self.assertIsNone(installer.poll(), "the setup waits for the box")
        box.save("message_box_held_data_folder")
        box.click(BOX_CLOSE_BUTTON)
        self.assertEqual(self.finish(installer, 15), 0)
        self.assertEqual(machine.log(), ["Secure data folder error"])
        self.assertEqual(server("/log"), "", "nothing was downloaded")

    def test_b_the_single_instance_name_taken_by_another_program_does_not_keep_the_client_from_being_installed(self):
        publish(client_package())
        machine = self.machine("squatted_name")
        self.hold(machine, "mutex", "Global\\QuillmereSetupRunning")
        self.assertEqual(self.finish(machine.start_installer(), 300), 0)
        self.assert_installed_and_started(machine)
        self.assertEqual(machine.log(), ["single instance: the name is held by a program that is no installer, going on"])

    def test_c_started_from_a_folder_that_links_into_the_system_folder_the_setup_writes_nothing_there(self):
        publish(client_package())
        machine = self.machine("linked_start_folder")
        system = machine.path("windows", "system32")
        downloads = os.path.join(machine.work, "Downloads")
        os.symlink(system, downloads)
        # start.exe keeps the folder's name, link and all, as the installer's current folder.
        with open(os.path.join(machine.work, "wine.out"), "ab") as out:
            installer = subprocess.Popen(["wine", "start", "/wait", "/d", windows_path(downloads),
                                          windows_path(driver.ARGS.exe)], env=machine.env, stdin=subprocess.DEVNULL,
                                         stdout=out, stderr=subprocess.STDOUT)
        self.assertEqual(self.finish(installer, 300), 0)
        self.assert_installed_and_started(machine)
        self.assertFalse(os.path.exists(os.path.join(system, "update.log")), "the log was written through the link")
        self.assertEqual([r["cwd"] for r in machine.records("runtime")], [DATA_FOLDER + "\\setup"],
                         "the runtime installer runs in the extraction folder")
        self.assertIn("info: runtime installer exit code 0", machine.log(with_info=True),
                      "the log stays in its folder after the data folder is gone")


    def test_d_beside_a_taken_name_a_second_quiet_installer_finds_the_first_and_ends_with_1(self):
        publish(client_package())
        server("/set?target=package&mode=slow")
        machine = self.machine("squatted_name_quiet")
        self.hold(machine, "mutex", "Global\\QuillmereSetupRunning")
        first = machine.start_installer("/quiet")
        went_on = "single instance: the name is held by a program that is no installer, going on"
        self.assertTrue(wait_for(lambda: went_on in machine.log(), 30), "the first never went on")
        self.assertEqual(self.finish(machine.start_installer("/quiet"), 120), 1)
        self.assertEqual(self.finish(first, 300), 0)
        self.assertEqual(machine.log(), [went_on, "quiet: another installer is running"])


def main():
    global HOLDER
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--holder", required=True, help="tests/fixtures/holder's program")
    args, sys.argv[1:] = parser.parse_known_args()
    HOLDER = args.holder
    driver.ARGS = driver.parse_arguments()
    driver.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(HardeningEndToEnd))


if __name__ == "__main__":
    main()
