#!/usr/bin/env python3
"""The real installation.exe under Wine, driven from outside as a person would: each case
runs on a clean machine (a fresh prefix of the template with a wineserver of its own) on an
X display of this program's own, against the test download server (nginx behind the
fault-injecting front) and Wine's real msiexec. Windows are found by their titles and
clicked with xdotool; what happened is read from the machine afterwards: registry, installed
files, the stand-in programs' records of their start, the setup log. Screenshots of the
windows stay in the working folder."""
import argparse
import datetime
import hashlib
import io
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
import zipfile

ARGS = None
MAIN_TITLE = "引导安装程序"
# The message box and the uninstall prompt share their title; the prompt is the one of its size.
BOX_TITLE = "提示"
LOGIN_TITLE = "代理服务器登录"
VERSION = "2.0.1.5"
OLD_VERSION = "2.0.1.4"
PROMPT_SIZE = (556, 199)
# Points of the skins, in window coordinates.
CANCEL_BUTTON = (544, 207)     # "btn_cancle" of the main window
MAIN_CLOSE_BUTTON = (592, 24)  # "closebtn" of the main window
BOX_CLOSE_BUTTON = (344, 18)   # "closebtn" of the message box
CAPTION_POINT = (300, 24)
CONFIRM_BUTTON = (380, 174)    # "btn_ok" of the uninstall prompt
DECLINE_BUTTON = (470, 174)    # "btn_cancle" of the uninstall prompt
BAR_ROW, BAR_LEFT, BAR_RIGHT = 104, 173, 533  # a row through the progress bar, inside its border
FAKETIME_LIBRARY = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


def shell(script, env=None):
    """Runs bash with the Wine helpers loaded; returns its standard output."""
    return subprocess.run(["bash", "-c", '. "%s/wine-common.sh"; %s' % (ARGS.scripts, script)], env=env,
                          check=True, capture_output=True, text=True).stdout.strip()


def server(request):
    with urllib.request.urlopen(ARGS.control + request, timeout=10) as answer:
        return answer.read().decode()


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def windows_path(path):
    """A path of this machine as the programs under Wine see it (the root is drive Z:)."""
    return "Z:" + path.replace("/", "\\")


def tool():
    """The vendor's publishing tool, as a module."""
    tools = os.path.join(os.path.dirname(ARGS.scripts), "tools")
    if tools not in sys.path:
        sys.path.insert(0, tools)
    import quillpublish.tree
    return quillpublish.tree


def publish(package_bytes, days=30, downgrade=False, now=None, report=None):
    """Publishes a package the way the vendor does, through the publishing tool with the
    build's key: the package, its manifest (VERSION, size, digest, expiry) and the manifest's
    signature, in the folder the server serves. A package the tool would refuse (a damaged
    one) is put in place after the tool published the real one, as a tampered mirror would."""
    with tempfile.TemporaryDirectory() as staging:
        real = package_bytes if package_bytes.startswith(b"PK") and zipfile.is_zipfile(io.BytesIO(package_bytes)) \
            else client_package()
        source = os.path.join(staging, "package.zip")
        with open(source, "wb") as f:
            f.write(real)
        folder, _ = tool().publish(source, VERSION, ARGS.private_key, os.path.join(staging, "out"), days, downgrade,
                                   now=now, report=report)
        for name in ("quillmere.zip", "version.xml", "version.xml.sig"):
            shutil.copyfile(os.path.join(folder, name), os.path.join(ARGS.www, name))
    if real is not package_bytes:
        with open(os.path.join(ARGS.www, "quillmere.zip"), "wb") as f:
            f.write(package_bytes)
    return len(package_bytes)


def client_package(filler=None, filler_bytes=0):
    """The stand-in client package of the tests, with a filler entry beside the installers when
    asked: zeros (cheap to send, slow to extract) or incompressible bytes (slow to send)."""
    with open(os.path.join(ARGS.fixtures, "quillmere-%s.zip" % VERSION), "rb") as f:
        package = f.read()
    if not filler:
        return package
    with tempfile.TemporaryFile() as out:
        write_package(out, filler, filler_bytes)
        out.seek(0)
        return out.read()


def write_package(out, filler, filler_bytes):
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        with zipfile.ZipFile(os.path.join(ARGS.fixtures, "quillmere-%s.zip" % VERSION)) as original:
            for item in original.infolist():
                archive.writestr(item, original.read(item.filename))
        if filler == "zeros":
            with archive.open("filler.bin", "w", force_zip64=True) as entry:
                block = bytes(1 << 20)
                for _ in range(filler_bytes >> 20):
                    entry.write(block)
        else:
            archive.writestr(zipfile.ZipInfo("filler.bin"), os.urandom(filler_bytes), zipfile.ZIP_STORED)


class Window:
    """A top-level window of the installer, as the X server sees it."""

    def __init__(self, wid):
        self.wid = wid

    @staticmethod
    def find(title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                               capture_output=True, text=True).stdout.split()
        return Window(found[0]) if found else None

    def geometry(self):
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.wid], capture_output=True,
                             text=True).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return tuple(int(values.get(k, -1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def move_to(self, point):
        subprocess.run(["xdotool", "mousemove", "--window", self.wid, str(point[0]), str(point[1])], check=True)
        time.sleep(0.15)

    def click(self, point, repeat=1):
        self.move_to(point)
        subprocess.run(["xdotool", "click", "--repeat", str(repeat), "--delay", "80", "1"], check=True)

    def drag(self, point, dx, dy):
        """Presses at a point of the window and moves the pointer by (dx, dy) in screen
        coordinates, which stay put while the window follows the pointer."""
        x, y = self.geometry()[:2]
        start = (x + point[0], y + point[1])
        subprocess.run(["xdotool", "mousemove", str(start[0]), str(start[1])], check=True)
        time.sleep(0.15)
        subprocess.run(["xdotool", "mousedown", "1"], check=True)
        for step in range(1, 6):
            time.sleep(0.08)
            subprocess.run(["xdotool", "mousemove", str(start[0] + dx * step // 5), str(start[1] + dy * step // 5)],
                           check=True)
        time.sleep(0.15)
        subprocess.run(["xdotool", "mouseup", "1"], check=True)

    def pixels(self):
        """(width, height, rows of RGB bytes) of what the window shows; None once it is gone."""
        shot = subprocess.run(["import", "-window", self.wid, "-depth", "8", "ppm:-"], capture_output=True)
        if shot.returncode != 0 or not shot.stdout.startswith(b"P6"):
            return None
        head, data = shot.stdout.split(b"\n", 3)[:3], shot.stdout.split(b"\n", 3)[3]
        width, height = (int(v) for v in head[1].split())
        return width, height, data

    def save(self, name):
        path = os.path.join(ARGS.work, name + ".png")
        return subprocess.run(["import", "-window", self.wid, path], capture_output=True).returncode == 0


def bar_fill(picture):
    """The share of the progress bar that is filled, from a picture of the main window."""
    width, height, data = picture
    if width < BAR_RIGHT or height <= BAR_ROW:
        return None
    row = data[BAR_ROW * width * 3:(BAR_ROW + 1) * width * 3]
    blue = sum(1 for x in range(BAR_LEFT, BAR_RIGHT) if row[3 * x + 2] > 0xC0 and row[3 * x] < 0x60)
    return blue / (BAR_RIGHT - BAR_LEFT)


class Machine:
    """One clean Windows machine: a copy of the template prefix (the one with the Chinese font
    fallback a Chinese desktop has) with its own wineserver."""

    def __init__(self, name, clock=None):
        """`clock`, when given, shifts the machine's clock ("+400d", "-12y"): Debian's faketime
        is preloaded into its wineserver and every program it runs."""
        self.name = name
        self.work = os.path.join(ARGS.work, name)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        # Named like the harness's isolated prefixes, which a stopped session clears away.
        self.prefix = tempfile.mkdtemp(prefix="iso.e2e.", dir=os.environ["QUILL_WINE_DIR"])
        self.env = dict(os.environ, WINEPREFIX=self.prefix, DISPLAY=ARGS.display)
        if clock:
            self.env.update(LD_PRELOAD=FAKETIME_LIBRARY, FAKETIME=clock, FAKETIME_DONT_FAKE_MONOTONIC="1")
        shell('wine_clone_prefix "$QUILL_WINE_DIR/template-cjk" "%s"' % self.prefix, self.env)
        self.server_pid = shell('wine_start_server "%s"' % self.prefix, self.env)

    def close(self):
        shell('wine_stop_server "%s" %s' % (self.prefix, self.server_pid), self.env)
        shutil.rmtree(self.prefix, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def install_client(self, version):
        """Installs a stand-in client package with Wine's msiexec, quietly, as an earlier
        installation of the client would have left it."""
        msi = "Z:" + os.path.join(ARGS.fixtures, "Quillmere-%s.msi" % version).replace("/", "\\")
        with open(os.path.join(self.work, "wine.out"), "ab") as log:
            subprocess.run(["wine", "msiexec", "/i", msi, "/qn"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=subprocess.STDOUT, check=True, timeout=300)

    def start_client(self):
        """Starts the installed client as the user would; returns once it has recorded its start."""
        before = len(self.records("client"))
        with open(os.path.join(self.work, "wine.out"), "ab") as log:
            client = subprocess.Popen(["wine", "C:\\Program Files\\Quillmere\\Quillmere.exe"], cwd=self.work,
                                      env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        wait_for(lambda: len(self.records("client")) > before, 30)
        return client

    def start_installer(self, *arguments):
        with open(os.path.join(self.work, "wine.out"), "ab") as log:
            return subprocess.Popen(["wine", ARGS.exe] + list(arguments), cwd=self.work, env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)

    def registry(self, key, name, view):
        out = subprocess.run(["wine", "reg", "query", key, "/v", name, "/reg:%d" % view], env=self.env,
                             capture_output=True, text=True, errors="replace").stdout
        for line in out.replace("\r", "").splitlines():
            fields = line.split(None, 2)
            if len(fields) == 3 and fields[0] == name:
                return fields[2]
        return None

    def records(self, program):
        folder = self.path("ProgramData", "QuillmereStandIn")
        found = []
        for entry in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            if entry.startswith(program + "-") and entry.endswith(".txt"):
                with open(os.path.join(folder, entry), encoding="utf-8") as f:
                    found.append(dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line))
        return found

    def log(self, with_info=False):
        """The log's messages; the "info: " lines a support person reads only when asked for."""
        path = self.path("ProgramData", "Quillmere Logs", "update.log")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            lines = [line.split(b" Msg:", 1)[-1].decode("latin-1") for line in f.read().split(b"\r\n") if line]
        return [line for line in lines if with_info or not line.startswith("info: ")]

    def installed(self):
        """What an installation leaves: the client's files with their digests, its keys."""
        folder = self.path("Program Files", "Quillmere")
        files = {}
        for root, _, names in os.walk(folder):
            for n in names:
                files[os.path.relpath(os.path.join(root, n), folder)] = sha256(os.path.join(root, n))
        keys = {name: self.registry(key, name, 64) for key, name in (
            (r"HKLM\SOFTWARE\Quillmere\Quillmere", "version"), (r"HKLM\SOFTWARE\Quillmere\Quillmere", "InstallPath"),
            (r"HKLM\SOFTWARE\Quillmere\ProductCode", "productcode"), (r"HKLM\SOFTWARE\Quillmere\Language", "language"))}
        return files, keys


def wait_for(condition, seconds, step=0.1):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return condition()


class EndToEndCase(unittest.TestCase):
    """What the cases share: clean machines, the server reset around each case, and what a
    finished installation leaves."""

    @classmethod
    def setUpClass(cls):
        shell('wine_make_cjk_template "$QUILL_WINE_DIR/template" "$QUILL_WINE_DIR/template-cjk"')

    def setUp(self):
        server("/reset")
        server("/clear-log")
        self.machines = []

    def tearDown(self):
        for machine in self.machines:
            machine.close()
        server("/reset")

    def machine(self, name, clock=None):
        machine = Machine(name, clock)
        self.machines.append(machine)
        return machine

    def finish(self, installer, seconds):
        try:
            return installer.wait(seconds)
        except subprocess.TimeoutExpired:
            installer.kill()
            self.fail("the installer did not end within %d s" % seconds)

    def expected_installation(self, config_digest=None):
        client = os.path.join(ARGS.fixtures, "client-" + VERSION)
        files = {"Quillmere.exe": sha256(os.path.join(client, "Quillmere.exe")),
                 os.path.join("Config", "config.xml"): config_digest or sha256(os.path.join(client, "config.xml"))}
        keys = {"version": VERSION, "InstallPath": "C:\\Program Files\\Quillmere\\",
                "productcode": ARGS.product_code, "language": "zh-CN"}
        return files, keys

    def assert_installed_and_started(self, machine, config_digest=None):
        self.assertEqual(machine.installed(), self.expected_installation(config_digest))
        runtime = machine.records("runtime")
        self.assertEqual([r.get("registered") for r in runtime], ["1"], "the runtime installer ran once")
        self.assertIsNotNone(machine.registry(
            r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{QUILL-STANDIN-VC2008-X86-9.0.30729}",
            "DisplayName", 32))
        clients = wait_for(lambda: [r for r in machine.records("client") if r.get("version") == VERSION], 20)
        self.assertEqual(len(clients), 1, "one client started")
        self.assertEqual(clients[0]["version"], VERSION)
        self.assertEqual(clients[0]["module"], "C:\\Program Files\\Quillmere\\Quillmere.exe")
        # Started with the desktop shell's token: the road that asks for SW_SHOW itself.
        self.assertEqual((clients[0]["showflag"], clients[0]["show"]), ("1", "5"))
        self.assertFalse(os.path.exists(machine.path("ProgramData", "Quillmere")), "the data folder is removed")

class InstallerEndToEnd(EndToEndCase):
    def test_a_clean_machine_downloads_installs_and_starts_the_client(self):
        # Zeros are sent in no time but take a moment to extract: the full bar stays up that long.
        publish(client_package("zeros", 192 << 20))
        server("/set?target=package&mode=slow")
        machine = self.machine("clean")
        installer = machine.start_installer()
        fills, saved_mid = [], False
        while installer.poll() is None:
            window = Window.find(MAIN_TITLE)
            picture = window.pixels() if window else None
            fill = bar_fill(picture) if picture else None
            if fill is not None:
                fills.append(fill)
                if 0.2 < fill < 0.8 and not saved_mid:
                    saved_mid = window.save("main_window_download")
                if fill > 0.99:
                    window.save("main_window_full")
            time.sleep(0.05)
        self.assertEqual(self.finish(installer, 0), 0)
        self.assertTrue(fills, "the main window was never seen")
        self.assertTrue(any(0.02 < f < 0.98 for f in fills), "the bar moved during the download: %s" % fills)
        self.assertGreater(max(fills), 0.99, "progress reached 100 %%: %s" % fills)
        self.assertEqual(sorted(fills), fills, "the bar only grows")
        self.assert_installed_and_started(machine)
        self.assertEqual(machine.log(), [])

    def test_b_cancel_keeps_the_partial_package_and_the_next_run_continues_it(self):
        size = publish(client_package("random", 6 << 20))
        server("/set?target=package&mode=slow")
        machine = self.machine("cancel")
        package = machine.path("ProgramData", "Quillmere", "setup.zip")
        installer = machine.start_installer()
        window = wait_for(lambda: Window.find(MAIN_TITLE), 60)
        self.assertIsNotNone(window)
        self.assertTrue(wait_for(lambda: os.path.exists(package) and os.path.getsize(package) > 1500000, 30))
        window.save("main_window_before_cancel")
        window.click(CANCEL_BUTTON)
        self.assertEqual(self.finish(installer, 15), 0)
        kept = os.path.getsize(package)
        self.assertTrue(1500000 < kept < size, kept)
        self.assertIsNone(Window.find(BOX_TITLE), "cancelling shows no error")
        self.assertEqual(machine.records("client"), [])

        server("/reset")
        server("/clear-log")
        self.assertEqual(self.finish(machine.start_installer(), 180), 0)
        self.assertIn("package 206 bytes=%d-" % kept, server("/log").splitlines())
        self.assert_installed_and_started(machine)

    def test_c_each_failure_shows_the_message_box_and_dismissing_it_ends_the_setup(self):
        cases = [
            # (name, what goes wrong, the log line it leaves)
            ("message_box_10002", "package 404", "download fail 22"),
            ("message_box_10001", "corrupt package", None),
            ("message_box_10003", "folder at the package path", "get download update error"),
        ]
        for name, fault, line in cases:
            with self.subTest(fault):
                publish(client_package())
                machine = self.machine(name)
                if fault == "package 404":
                    server("/set?target=package&mode=status&code=404")
                elif fault == "corrupt package":
                    publish(b"PK\x03\x04 this is not what the vendor published " * 20000)
                else:
                    # A folder cannot be opened as a file, not even by an administrator.
                    os.makedirs(machine.path("ProgramData", "Quillmere", "setup.zip"))
                installer = machine.start_installer()
                box = wait_for(lambda: Window.find(BOX_TITLE), 60)
                self.assertIsNotNone(box, "no message box")
                time.sleep(0.3)
                self.assertTrue(box.save(name))
                self.assertIsNone(installer.poll(), "the setup waits for the box")
                box.click(BOX_CLOSE_BUTTON)
                self.assertEqual(self.finish(installer, 15), 0)
                if line:
                    self.assertIn(line, machine.log())
                else:
                    self.assertFalse(os.path.exists(machine.path("ProgramData", "Quillmere")), "a corrupt package goes")
                self.assertEqual(machine.records("client"), [])
                server("/reset")

    def test_d_the_caption_drags_the_window_and_a_double_click_does_not_maximise_it(self):
        publish(client_package())
        server("/set?target=package&mode=stall&after=100000&seconds=60")
        machine = self.machine("caption")
        installer = machine.start_installer()
        window = wait_for(lambda: Window.find(MAIN_TITLE), 60)
        self.assertIsNotNone(window)
        time.sleep(0.5)
        x, y, width, height = window.geometry()
        self.assertEqual((width, height), (620, 240))
        window.click(CAPTION_POINT, repeat=2)
        time.sleep(1)
        self.assertEqual(window.geometry(), (x, y, width, height), "a double click on the caption changes nothing")
        window.drag(CAPTION_POINT, 40, 30)
        wait_for(lambda: window.geometry() == (x + 40, y + 30, width, height), 5)
        self.assertEqual(window.geometry(), (x + 40, y + 30, width, height), "the caption drags the window")
        window.click(MAIN_CLOSE_BUTTON)
        self.assertEqual(self.finish(installer, 15), 0)

    def answer_prompt(self, machine, button, picture):
        """Runs the installer up to the uninstall prompt, keeps its picture, presses the button;
        the installer's exit code."""
        installer = machine.start_installer()
        prompt = wait_for(lambda: Window.find(BOX_TITLE), 120)
        self.assertIsNotNone(prompt, "no uninstall prompt")
        self.assertEqual(prompt.geometry()[2:], PROMPT_SIZE, "the uninstall prompt, not the message box")
        self.assertIsNone(Window.find(MAIN_TITLE), "the main window hides while the prompt asks")
        time.sleep(0.5)
        self.assertTrue(prompt.save(picture))
        self.assertIsNone(installer.poll(), "the setup waits for the answer")
        prompt.click(button)
        return self.finish(installer, 600)

    def test_e_an_installed_client_is_replaced_only_once_the_user_confirms(self):
        package = client_package()
        publish(package)
        machine = self.machine("upgrade")
        machine.install_client(OLD_VERSION)
        # The user's own settings, which the upgrade must keep.
        settings = b"<config><account>alice</account><shipped>2.0.1.4</shipped></config>"
        with open(machine.path("Program Files", "Quillmere", "Config", "config.xml"), "wb") as f:
            f.write(settings)
        old_client = machine.start_client()
        self.assertEqual([r["version"] for r in machine.records("client")], [OLD_VERSION])
        before = machine.installed()
        self.assertEqual(before[1]["version"], OLD_VERSION)

        # Declined: nothing installed or removed, the client still runs, the package stays.
        self.assertEqual(self.answer_prompt(machine, DECLINE_BUTTON, "uninstall_prompt"), 0)
        self.assertEqual(machine.installed(), before)
        self.assertIsNone(old_client.poll(), "the installed client still runs")
        self.assertEqual(machine.records("closed"), [])
        self.assertEqual(machine.records("runtime"), [])
        self.assertEqual([r["version"] for r in machine.records("client")], [OLD_VERSION])
        self.assertEqual(sha256(machine.path("ProgramData", "Quillmere", "setup.zip")),
                         hashlib.sha256(package).hexdigest(), "the downloaded package stays")

        # Confirmed on the next run: the package on disk is not fetched again; the running
        # client is stopped, replaced and the new one started with the user's settings.
        server("/clear-log")
        self.assertEqual(self.answer_prompt(machine, CONFIRM_BUTTON, "uninstall_prompt_before_upgrade"), 0)
        self.assertIn("package 416 bytes=%d-" % len(package), server("/log").splitlines())
        self.assertIsNotNone(wait_for(old_client.poll, 10), "the old client was stopped")
        self.assertEqual(len(machine.records("closed")), 1, "the old client was asked to close first")
        self.assert_installed_and_started(machine, hashlib.sha256(settings).hexdigest())
        started = [r for r in machine.records("client") if r["version"] == VERSION]
        self.assertEqual(started[0]["config"], settings.decode(), "the new client started with the user's settings")
        self.assertEqual(machine.log(), [])

    def test_f_nothing_a_signed_manifest_does_not_vouch_for_is_fetched_or_run(self):
        """With the build's key compiled in, a manifest that is not the vendor's signed, current
        word stops the setup before the package is asked for: the download-failure box, nothing
        run, the log saying why. A package behind such a manifest is never fetched."""
        def append_to_manifest():
            with open(os.path.join(ARGS.www, "version.xml"), "ab") as f:
                f.write(b" ")

        def remove_signature():
            os.remove(os.path.join(ARGS.www, "version.xml.sig"))

        def sign_with_another_key():
            tool()
            import quillpublish.keys as keys
            with tempfile.TemporaryDirectory() as folder:
                keys.generate(os.path.join(folder, "k"))
                stranger = keys.load_private(os.path.join(folder, "k", "private.pem"))
            with open(os.path.join(ARGS.www, "version.xml"), "rb") as f:
                signature = keys.sign(stranger, f.read())
            with open(os.path.join(ARGS.www, "version.xml.sig"), "wb") as f:
                f.write(signature)

        def serve_huge_manifest():
            with open(os.path.join(ARGS.www, "version.xml"), "wb") as f:
                f.write(b"<config>" + b" " * (50 << 20) + b"</config>")

        def serve_manifest_with_a_dtd():
            with open(os.path.join(ARGS.www, "version.xml"), "wb") as f:
                f.write(b'<?xml version="1.0"?><!DOCTYPE config [<!ENTITY v "2.0.1.5">]><config><version>&v;</version>'
                        b"</config>")

        past = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0) - datetime.timedelta(days=31)
        cases = [
            # (name, publish options, what is done to the server afterwards, the refusal logged)
            ("changed_after_signing", {}, append_to_manifest, "the signature does not match the manifest"),
            ("signature_missing", {}, remove_signature, "the manifest's signature did not arrive"),
            ("signed_by_another_key", {}, sign_with_another_key, "the signature does not match the manifest"),
            ("expired", {"now": past}, None, "the manifest has expired"),
            ("downgrade_unmeant", {}, "2.0.1.6", "the manifest names a version older than the installed client's"),
            ("manifest_redirected", {}, "/set?target=manifest&mode=redirect", "no manifest arrived"),
            ("manifest_not_found", {}, "/set?target=manifest&mode=status&code=404", "no manifest arrived"),
            ("manifest_of_50_mb", {}, serve_huge_manifest, "no manifest arrived"),
            ("manifest_with_a_dtd", {}, serve_manifest_with_a_dtd, "the signature does not match the manifest"),
        ]
        for name, options, spoil, refusal in cases:
            with self.subTest(name):
                server("/reset")
                publish(client_package(), **options)
                machine = self.machine("refused_" + name)
                if callable(spoil):
                    spoil()
                elif spoil and spoil.startswith("/"):
                    server(spoil)
                elif spoil:
                    shell('wine reg add "HKLM\\SOFTWARE\\Quillmere\\Quillmere" /v version /d %s /f >/dev/null'
                          % spoil, machine.env)
                server("/clear-log")
                installer = machine.start_installer()
                box = wait_for(lambda: Window.find(BOX_TITLE), 60)
                self.assertIsNotNone(box, "no message box")
                time.sleep(0.3)
                box.save("refused_" + name)
                box.click(BOX_CLOSE_BUTTON)
                self.assertEqual(self.finish(installer, 15), 0)
                self.assertEqual([line for line in server("/log").splitlines() if line.startswith("package")], [],
                                 "the package was asked for")
                self.assertIn("manifest refused: " + refusal, machine.log())
                self.assertEqual(machine.records("runtime") + machine.records("client"), [], "something ran")
                self.assertIsNone(machine.registry(r"HKLM\SOFTWARE\Quillmere\ProductCode", "productcode", 64))


def parse_arguments(argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--fixtures", required=True, help="the stand-in build folder")
    parser.add_argument("--product-code", required=True, help="the product code of the published stand-in")
    parser.add_argument("--www", required=True, help="the test server's served folder")
    parser.add_argument("--control", required=True, help="the test server's control address")
    parser.add_argument("--scripts", required=True)
    parser.add_argument("--private-key", required=True, help="the build's test key that signs what is published")
    args, rest = parser.parse_known_args(argv)
    args.rest = rest
    args.work = os.environ.get("QUILL_TEST_WORK", os.getcwd())
    return args


def run_tests(suite=None):
    """Runs the cases (all of this file's, unless a suite is given) on an X display of their
    own; ends the program with 0 when all passed."""
    ARGS.display, xvfb_pid = shell("xvfb_start").split()
    os.environ["DISPLAY"] = ARGS.display  # for xdotool and import too
    try:
        if suite is None:
            program = unittest.main(argv=[sys.argv[0]] + ARGS.rest, exit=False, verbosity=2)
            result = program.result
        else:
            result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        subprocess.run(["kill", xvfb_pid])
    sys.exit(0 if result.wasSuccessful() else 1)


def main():
    global ARGS
    ARGS = parse_arguments()
    run_tests()


if __name__ == "__main__":
    main()
