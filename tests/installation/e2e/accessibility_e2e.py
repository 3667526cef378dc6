#!/usr/bin/env python3
"""The real installation.exe under Wine as a person who cannot use the mouse meets it: read
out by a screen reader in miniature (tests/fixtures/accessibility, a separate program that
asks the installer's windows for their accessible objects and does their default actions, as
assistive technology does) and worked with the keyboard alone through xdotool. Each case runs
on a clean machine of the end-to-end driver (installer_e2e.py, whose helpers and fixtures it
uses). Pictures of the windows with the keyboard's focus outline stay in the working folder."""
import argparse
import os
import re
import subprocess
import sys
import time
import unittest

import installer_e2e as driver
from installer_e2e import BOX_TITLE, MAIN_TITLE, OLD_VERSION, PROMPT_SIZE, Window, client_package, publish, server, \
    wait_for

PROBE = None
ROLE_PUSHBUTTON, ROLE_STATICTEXT, ROLE_TEXT, ROLE_PROGRESSBAR = 0x2B, 0x29, 0x2A, 0x30
STATE_FOCUSED, STATE_FOCUSABLE = 0x4, 0x100000
EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE = 0x8005, 0x800C, 0x800E
QUESTION = "Quillmere企业云盘已经安装"


def hex_of(text):
    return text.encode("utf-16-le").hex()


def text_of(field):
    return "" if field == "-" else bytes.fromhex(field).decode("utf-16-le")


class AccessibleObject:
    """One line of the probe's tree."""

    def __init__(self, line):
        fields = line.split()
        self.depth = int(fields[0])
        self.role = int(fields[1], 16)
        self.state = int(fields[2], 16)
        self.name = text_of(fields[3])
        self.refused = fields[4].startswith("!")
        self.value = None if self.refused else text_of(fields[4])
        self.rect = tuple(int(v) for v in fields[5:9])
        self.action = text_of(fields[9])

    def holds(self, point):
        x, y, cx, cy = self.rect
        return x <= point[0] < x + cx and y <= point[1] < y + cy

    def __repr__(self):
        return "<%x %r %r>" % (self.role, self.name, self.value)


def probe(machine, *arguments, timeout=60):
    """Runs the probe on the machine; (exit code, standard output)."""
    done = subprocess.run(["wine", PROBE] + list(arguments), env=machine.env, capture_output=True, text=True,
                          timeout=timeout)
    return done.returncode, done.stdout


def tree(machine, title):
    code, out = probe(machine, "tree", hex_of(title))
    return [AccessibleObject(line) for line in out.splitlines() if line.strip()] if code == 0 else []


def focus(machine, title):
    code, out = probe(machine, "focus", hex_of(title))
    lines = [line for line in out.splitlines() if line.strip()]
    return AccessibleObject(lines[0]) if code == 0 and lines else None


def focus_name(machine, title):
    focused = focus(machine, title)
    return focused.name if focused else None


def press(machine, title, name):
    """The object's default action, done by the probe; its HRESULT."""
    code, out = probe(machine, "press", hex_of(title), hex_of(name))
    return int(out.strip(), 16) if code == 0 and out.strip() else None


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "120"] + list(names), check=True)
    time.sleep(0.4)


def named(objects, name, role=None):
    return [o for o in objects if o.name == name and (role is None or o.role == role)]


class AccessibilityEndToEnd(driver.EndToEndCase):
    def start_download(self, name):
        """A machine whose installer is downloading a package slowly, its main window up."""
        self.size = publish(client_package("random", 6 << 20))
        server("/set?target=package&mode=slow")
        machine = self.machine(name)
        self.package = machine.path("ProgramData", "Quillmere", "setup.zip")
        installer = machine.start_installer()
        window = wait_for(lambda: Window.find(MAIN_TITLE), 60)
        self.assertIsNotNone(window, "no main window")
        self.assertTrue(wait_for(lambda: os.path.exists(self.package) and os.path.getsize(self.package) > 1000000, 30))
        return machine, installer, window

    def assert_cancelled(self, machine, installer):
        self.assertEqual(self.finish(installer, 15), 0)
        kept = os.path.getsize(self.package)
        self.assertTrue(1000000 < kept < self.size, "the partial package stays: %d" % kept)
        self.assertIsNone(Window.find(BOX_TITLE), "cancelling shows no error")
        self.assertEqual(machine.records("client"), [])

    def prompt(self, machine):
        """Runs the installer over an installed client up to its uninstall prompt."""
        publish(client_package())
        machine.install_client(OLD_VERSION)
        self.before = machine.installed()
        installer = machine.start_installer()
        prompt = wait_for(lambda: Window.find(BOX_TITLE), 120)
        self.assertIsNotNone(prompt, "no uninstall prompt")
        self.assertEqual(prompt.geometry()[2:], PROMPT_SIZE, "the uninstall prompt, not the message box")
        time.sleep(0.5)
        return installer, prompt

    def assert_declined(self, machine, installer):
        self.assertEqual(self.finish(installer, 60), 0)
        self.assertEqual(machine.installed(), self.before, "the installed client stays as it was")
        self.assertEqual(machine.records("runtime"), [])

    def test_a_the_main_window_reads_out_the_download_and_its_cancel_button_cancels(self):
        machine, installer, window = self.start_download("screen_reader_main")
        events = subprocess.Popen(["wine", PROBE, "events", hex_of(MAIN_TITLE), "2500"], env=machine.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        first = tree(machine, MAIN_TITLE)
        self.assertTrue(first, "the main window serves no tree")
        bars = [o for o in first if o.role == ROLE_PROGRESSBAR]
        self.assertEqual([b.name for b in bars], ["下载进度"])
        sizes = [o for o in first if o.role == ROLE_STATICTEXT and re.fullmatch(r"\d+\.\d/\d+\.\d KB", o.name)]
        self.assertEqual(len(sizes), 1, "the size label: %s" % first)
        cancel = named(first, "取消", ROLE_PUSHBUTTON)
        self.assertEqual(len(cancel), 1, "the cancel button: %s" % first)
        self.assertEqual(cancel[0].action, "Press")
        self.assertTrue(cancel[0].state & STATE_FOCUSABLE)
        x, y = window.geometry()[:2]
        self.assertTrue(cancel[0].holds((x + driver.CANCEL_BUTTON[0], y + driver.CANCEL_BUTTON[1])),
                        "the button lies where the screen shows it: %s" % (cancel[0].rect,))
        self.assertEqual(len(named(first, "关闭", ROLE_PUSHBUTTON)), 1, "the close button by its tooltip")
        # A moment later the bar has grown, and so has its value.
        time.sleep(1.2)
        second = tree(machine, MAIN_TITLE)
        grown = [int(o.value.rstrip("%")) for o in (bars[0], [o for o in second if o.role == ROLE_PROGRESSBAR][0])]
        self.assertLess(grown[0], grown[1], "the bar's value grows")
        out = events.communicate(timeout=30)[0]
        heard = [line.split() for line in out.splitlines() if line.startswith("event")]
        values = [text_of(f[4]) for f in heard if int(f[1], 16) == EVENT_OBJECT_VALUECHANGE]
        # 25 updates a second reach the window; clients hear of a few.
        self.assertTrue(values, "no value events were heard: %s" % out)
        self.assertLessEqual(len(values), 2.5 / 0.25 + 2, values)
        self.assertEqual(values, sorted(values, key=lambda v: int(v.rstrip("%"))), "the values only grow")
        # The default action acts as a click: the setup is cancelled.
        self.assertEqual(press(machine, MAIN_TITLE, "取消"), 0)
        self.assert_cancelled(machine, installer)

    def test_b_the_message_box_reads_out_why_and_closes_by_its_default_action(self):
        publish(client_package())
        server("/set?target=package&mode=status&code=404")
        machine = self.machine("screen_reader_box")
        installer = machine.start_installer()
        box = wait_for(lambda: Window.find(BOX_TITLE), 60)
        self.assertIsNotNone(box, "no message box")
        time.sleep(0.3)
        objects = tree(machine, BOX_TITLE)
        self.assertEqual(len(named(objects, "网络异常，下载失败", ROLE_STATICTEXT)), 1, objects)
        self.assertEqual(len(named(objects, "关闭", ROLE_PUSHBUTTON)), 1, objects)
        self.assertEqual(press(machine, BOX_TITLE, "关闭"), 0)
        self.assertEqual(self.finish(installer, 15), 0)
        self.assertIn("download fail 22", machine.log())

    def test_c_the_uninstall_prompt_reads_out_its_question_and_its_cancel_button_declines(self):
        machine = self.machine("screen_reader_prompt")
        installer, _ = self.prompt(machine)
        objects = tree(machine, BOX_TITLE)
        self.assertEqual(len(named(objects, "确认", ROLE_PUSHBUTTON)), 1, objects)
        self.assertEqual(len(named(objects, "取消", ROLE_PUSHBUTTON)), 1, objects)
        questions = [o for o in objects if o.role == ROLE_TEXT and o.value and o.value.startswith(QUESTION)]
        self.assertEqual(len(questions), 1, objects)
        self.assertIn("已安装版本：%s" % OLD_VERSION, questions[0].value)
        self.assertEqual(press(machine, BOX_TITLE, "取消"), 0)
        self.assert_declined(machine, installer)

    def test_d_the_uninstall_prompt_answers_tab_and_space_and_nothing_less(self):
        machine = self.machine("keyboard_prompt")
        installer, prompt = self.prompt(machine)
        # Tab until the confirm button has the focus: the focus alone decides nothing.
        for _ in range(6):
            keys("Tab")
            if focus_name(machine, BOX_TITLE) == "确认":
                break
        self.assertEqual(focus_name(machine, BOX_TITLE), "确认")
        self.assertTrue(prompt.save("keyboard_prompt_focus_on_confirm"))
        time.sleep(0.5)
        self.assertIsNone(installer.poll(), "the focus on the confirm button answered the prompt")
        self.assertIsNotNone(Window.find(BOX_TITLE))
        keys("Tab")
        focused = focus(machine, BOX_TITLE)
        self.assertEqual((focused.name, bool(focused.state & STATE_FOCUSED)), ("取消", True))
        keys("space")
        self.assert_declined(machine, installer)

    def test_e_the_main_window_is_cancelled_with_tab_and_return(self):
        machine, installer, window = self.start_download("keyboard_main")
        before = window.pixels()
        keys("Tab")
        self.assertEqual(focus_name(machine, MAIN_TITLE), "取消")
        self.assertTrue(window.save("keyboard_main_focus_on_cancel"))
        after = window.pixels()
        # The focus outline shows on the button, inside its edge.
        self.assertNotEqual(self.button_pixels(before), self.button_pixels(after), "no focus outline on the button")
        self.assertIsNone(installer.poll())
        keys("Return")
        self.assert_cancelled(machine, installer)

    @staticmethod
    def button_pixels(picture):
        """The row of the cancel button three pixels below its top edge, where its outline runs."""
        width, _, data = picture
        left, top = 509 + 4, 18 + 174 + 3
        return data[(top * width + left) * 3:(top * width + left + 60) * 3]


def run_with_probe(case):
    """Runs the cases of `case` with the probe named by --probe (a driver's other arguments
    follow it)."""
    global PROBE
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    args, rest = parser.parse_known_args()
    PROBE = args.probe
    sys.argv = [sys.argv[0]] + rest
    driver.ARGS = driver.parse_arguments()
    driver.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(case))


def main():
    global PROBE
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    args, rest = parser.parse_known_args()
    PROBE = args.probe
    sys.argv = [sys.argv[0]] + rest
    driver.ARGS = driver.parse_arguments()
    driver.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(AccessibilityEndToEnd))


if __name__ == "__main__":
    main()
