#!/usr/bin/env python3
"""The real installation.exe under Wine as a person who cannot use the mouse meets it: read
out by a screen reader in miniature (tests/fixtures/accessibility, a separate program that
asks the installer's windows for their accessible objects and does their default actions, as
assistive technology does) and worked with the keyboard alone through xdotool. A listener
started before the installer hears every window's events without ever asking a window for
anything, as a screen reader does until something tells it to look; what it heard is looked at
afterwards. Each case runs on a clean machine of the end-to-end driver (installer_e2e.py, whose
helpers and fixtures it uses). Pictures of the windows with the keyboard's focus outline stay
in the working folder."""
import argparse
import os
import re
import subprocess
import sys
import threading
import time
import unittest

import installer_e2e as driver
from installer_e2e import BOX_TITLE, MAIN_TITLE, OLD_VERSION, PROMPT_SIZE, Window, client_package, publish, server, \
    wait_for

PROBE = None
ROLE_DIALOG, ROLE_GROUPING, ROLE_PUSHBUTTON, ROLE_STATICTEXT, ROLE_TEXT, ROLE_PROGRESSBAR = \
    0x12, 0x14, 0x2B, 0x29, 0x2A, 0x30
STATE_FOCUSED, STATE_FOCUSABLE = 0x4, 0x100000
EVENT_SYSTEM_ALERT, EVENT_SYSTEM_DIALOGSTART = 0x2, 0x10
EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE = 0x8005, 0x800C, 0x800E
OBJID_CLIENT = -4
QUESTION = "Quillmere企业云盘已经安装"
BOX_MESSAGE = "网络异常，下载失败"
# Controls of the skins, in window coordinates.
BOX_CLOSE_RECT = (338, 12, 12, 12)
PROMPT_DECLINE_RECT = (435, 159, 70, 30)


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
        self.description = text_of(fields[10])

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


class Heard:
    """One event the listener heard: what it was, and the window, object and child it named."""

    def __init__(self, line):
        fields = line.split()
        self.event = int(fields[1], 16)
        self.window = fields[2]
        self.object = int(fields[3])
        self.child = int(fields[4])
        self.title = text_of(fields[5])
        self.tick = int(fields[6])

    def __repr__(self):
        return "<%x %s %d %d %r>" % (self.event, self.window, self.object, self.child, self.title)


class Listener:
    """The probe hearing every window's events, started before the installer and asking no
    window for anything."""

    def __init__(self, machine, seconds):
        self.lines = []
        self.process = subprocess.Popen(["wine", PROBE, "listen", str(seconds * 1000)], env=machine.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.ready = threading.Event()
        threading.Thread(target=self.read, daemon=True).start()
        if not self.ready.wait(60):
            raise AssertionError("the listener did not start")

    def read(self):
        for line in self.process.stdout:
            if line.startswith("listening"):
                self.ready.set()
            elif line.startswith("heard"):
                self.lines.append(line)

    def heard(self, title, event=None):
        """What the client areas of the windows so titled raised, in order."""
        found = [Heard(line) for line in list(self.lines)]
        return [h for h in found if h.title == title and h.object == OBJID_CLIENT and (event is None or h.event == event)]

    def focus_heard(self, title):
        """The focus events that named a control: the platform's own for the window left out."""
        return [h for h in self.heard(title, EVENT_OBJECT_FOCUS) if h.child != 0]

    def wait(self, title, event, count=1, seconds=30):
        return wait_for(lambda: len(self.heard(title, event)) >= count, seconds)

    def wait_for_focus(self, title, seconds=30):
        return wait_for(lambda: self.focus_heard(title), seconds)

    def stop(self):
        self.process.kill()
        self.process.wait(30)


def looked_up(machine, heard):
    """The object an event named, read once the listener has heard it."""
    code, out = probe(machine, "object", heard.window, str(heard.object), str(heard.child))
    lines = [line for line in out.splitlines() if line.strip()]
    return AccessibleObject(lines[0]) if code == 0 and lines else None


def unnamed_groupings(objects):
    return [o for o in objects if o.role == ROLE_GROUPING and not o.name]


def outline_dots(picture, rect):
    """Black pixels of the dotted focus outline along the top edge of a control (inside it where
    it has the room, just around it where it is small), in a picture of its window."""
    width, _, data = picture
    x, y, cx, cy = rect
    if cx >= 20 and cy >= 20:
        x, y, cx = x + 3, y + 3, cx - 6
    else:
        x, y, cx = x - 2, y - 2, cx + 4
    row = data[(y * width + x) * 3:(y * width + x + cx) * 3]
    return sum(1 for i in range(0, len(row), 3) if row[i:i + 3] == b"\0\0\0")


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "120"] + list(names), check=True)
    time.sleep(0.4)


def named(objects, name, role=None):
    return [o for o in objects if o.name == name and (role is None or o.role == role)]


class AccessibilityEndToEnd(driver.EndToEndCase):
    def start_download(self, name, listening_seconds=0, megabytes=6):
        """A machine whose installer is downloading a package slowly, its main window up; with
        a listener started before the installer."""
        self.size = publish(client_package("random", megabytes << 20))
        server("/set?target=package&mode=slow")
        machine = self.machine(name)
        self.listener = Listener(machine, listening_seconds) if listening_seconds else None
        self.package = machine.path("ProgramData", "Quillmere", "setup.zip")
        installer = machine.start_installer()
        window = wait_for(lambda: Window.find(MAIN_TITLE), 60)
        self.assertIsNotNone(window, "no main window")
        return machine, installer, window

    def downloading(self):
        return os.path.exists(self.package) and os.path.getsize(self.package)

    def assert_cancelled(self, machine, installer):
        self.assertEqual(self.finish(installer, 15), 0)
        kept = os.path.getsize(self.package)
        self.assertTrue(1000000 < kept < self.size, "the partial package stays: %d" % kept)
        self.assertIsNone(Window.find(BOX_TITLE), "cancelling shows no error")
        self.assertEqual(machine.records("client"), [])

    def prompt(self, machine, listening_seconds=0):
        """Runs the installer over an installed client up to its uninstall prompt; with a
        listener started before the installer."""
        publish(client_package())
        machine.install_client(OLD_VERSION)
        self.before = machine.installed()
        self.listener = Listener(machine, listening_seconds) if listening_seconds else None
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

    def tearDown(self):
        if getattr(self, "listener", None) is not None:
            self.listener.stop()
            self.listener = None
        super().tearDown()

    def assert_opened_as_a_dialog(self, machine, title, objects):
        """The window told the listener it opened, and reads as a dialog without layout."""
        self.assertTrue(self.listener.heard(title, EVENT_SYSTEM_DIALOGSTART), "no dialog start was heard")
        self.assertEqual((objects[0].role, objects[0].name), (ROLE_DIALOG, title))
        self.assertEqual(unnamed_groupings(objects), [], "layout containers in the tree")

    def test_a_the_main_window_opens_on_its_progress_a_listener_hears_it_and_return_cancels_nothing(self):
        # Long enough to be looked at while it lasts.
        machine, installer, window = self.start_download("screen_reader_main", listening_seconds=90, megabytes=24)
        # Return as soon as the window has told where its focus is (the listener heard it, and
        # asked nothing): on the progress, where no key does anything.
        self.assertTrue(self.listener.wait_for_focus(MAIN_TITLE), "no focus was heard on open")
        keys("Return")
        self.assertTrue(wait_for(lambda: self.downloading() > 1000000, 30), "the download stopped")
        before = self.downloading()
        self.assertTrue(wait_for(lambda: self.downloading() > before + 200000, 15), "the download stopped")
        self.assertIsNone(installer.poll(), "Return ended the installer")
        self.assertTrue(window.save("main_window_first_focus"))
        # The Return reached the window: so does the Tab that moves on from the bar.
        keys("Tab")
        self.assertEqual(focus_name(machine, MAIN_TITLE), "取消")
        # What the listener heard, looked at only now: the focus on open was the progress bar,
        # and the values that followed were the bar's.
        self.assertTrue(self.listener.wait(MAIN_TITLE, EVENT_OBJECT_VALUECHANGE, count=4))
        focus = self.listener.focus_heard(MAIN_TITLE)
        self.assertTrue(focus, "no focus was heard on open")
        opened_on = looked_up(machine, focus[0])
        self.assertEqual((opened_on.role, opened_on.name), (ROLE_PROGRESSBAR, "下载进度"))
        values = self.listener.heard(MAIN_TITLE, EVENT_OBJECT_VALUECHANGE)
        self.assertEqual({v.child for v in values}, {focus[0].child}, "value events of other objects")
        # 25 updates a second reach the window; a listener hears of a few.
        span = (values[-1].tick - values[0].tick) / 1000
        self.assertLessEqual(len(values), span / 0.25 + 2, values)

        first = tree(machine, MAIN_TITLE)
        self.assert_opened_as_a_dialog(machine, MAIN_TITLE, first)
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
        # The default action acts as a click: the setup is cancelled.
        self.assertEqual(press(machine, MAIN_TITLE, "取消"), 0)
        self.assert_cancelled(machine, installer)

    def test_b_the_message_box_announces_why_opens_on_its_button_and_return_dismisses_it(self):
        publish(client_package())
        server("/set?target=package&mode=status&code=404")
        machine = self.machine("screen_reader_box")
        self.listener = Listener(machine, 120)
        installer = machine.start_installer()
        box = wait_for(lambda: Window.find(BOX_TITLE), 60)
        self.assertIsNotNone(box, "no message box")
        self.assertTrue(self.listener.wait_for_focus(BOX_TITLE), "no focus was heard on open")
        self.assertTrue(self.listener.wait(BOX_TITLE, EVENT_SYSTEM_ALERT), "no alert was heard")
        alert = looked_up(machine, self.listener.heard(BOX_TITLE, EVENT_SYSTEM_ALERT)[0])
        self.assertEqual(alert.name, BOX_MESSAGE)
        opened_on = looked_up(machine, self.listener.focus_heard(BOX_TITLE)[-1])
        self.assertEqual((opened_on.role, opened_on.name), (ROLE_PUSHBUTTON, "关闭"))
        objects = tree(machine, BOX_TITLE)
        self.assert_opened_as_a_dialog(machine, BOX_TITLE, objects)
        self.assertEqual(objects[0].description, BOX_MESSAGE, "the dialog is described by its message")
        self.assertEqual(len(named(objects, BOX_MESSAGE, ROLE_STATICTEXT)), 1, objects)
        picture = box.pixels()
        box.save("message_box_first_focus")
        self.assertGreater(outline_dots(picture, BOX_CLOSE_RECT), 3, "no focus outline on the close button")
        # Return first thing: the box goes as its button would send it, and the installer ends.
        keys("Return")
        self.assertEqual(self.finish(installer, 15), 0)
        self.assertIn("download fail 22", machine.log())

    def test_c_the_uninstall_prompt_announces_its_question_opens_on_cancel_and_return_keeps_the_client(self):
        machine = self.machine("screen_reader_prompt")
        installer, prompt = self.prompt(machine, listening_seconds=240)
        self.assertTrue(self.listener.wait_for_focus(BOX_TITLE), "no focus was heard on open")
        self.assertTrue(self.listener.wait(BOX_TITLE, EVENT_SYSTEM_ALERT), "no alert was heard")
        alert = looked_up(machine, self.listener.heard(BOX_TITLE, EVENT_SYSTEM_ALERT)[0])
        self.assertTrue(alert.name.startswith(QUESTION), alert)
        self.assertIn("已安装版本：%s" % OLD_VERSION, alert.name)
        opened_on = looked_up(machine, self.listener.focus_heard(BOX_TITLE)[-1])
        self.assertEqual((opened_on.role, opened_on.name), (ROLE_PUSHBUTTON, "取消"))
        objects = tree(machine, BOX_TITLE)
        self.assert_opened_as_a_dialog(machine, BOX_TITLE, objects)
        self.assertEqual(objects[0].description, alert.name, "the dialog is described by its question")
        self.assertEqual(len(named(objects, "确认", ROLE_PUSHBUTTON)), 1, objects)
        # The question is text to read, named by what it says: no field, no Tab stop.
        questions = [o for o in objects if o.name.startswith(QUESTION)]
        self.assertEqual([(q.role, q.state & STATE_FOCUSABLE) for q in questions], [(ROLE_STATICTEXT, 0)], objects)
        picture = prompt.pixels()
        prompt.save("uninstall_prompt_first_focus")
        self.assertGreater(outline_dots(picture, PROMPT_DECLINE_RECT), 15, "no focus outline on the cancel button")
        # Return first thing: the choice that changes nothing.
        keys("Return")
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
        self.assertTrue(wait_for(lambda: self.downloading() > 1000000, 30))
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
    run_with_probe(AccessibilityEndToEnd)


if __name__ == "__main__":
    main()
