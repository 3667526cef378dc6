#!/usr/bin/env python3
"""The real installation.exe on a company network: a proxy from Debian (squid) on loopback,
named in the Internet settings of a clean machine the way the system's settings page keeps
them, and a download server that the proxy reaches while the direct road is closed. Each case
runs on a fresh prefix; the proxy's access log and the test server's log tell which road each
request took. The login box is answered with xdotool, as a person types."""
import argparse
import os
import struct
import subprocess
import sys
import time
import unittest

import accessibility_e2e as reader
import installer_e2e as e2e
from installer_e2e import BOX_TITLE, LOGIN_TITLE, Window, client_package, publish, server, shell, wait_for

ARGS = None
USER, PASSWORD = "quill", "s3cret"
CONNECTIONS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections"
DIRECT, FIXED, SCRIPT = 1, 2, 4
LOGIN_SIZE = (420, 262)
# Points of the login box, in window coordinates.
USER_FIELD = (240, 113)
PASSWORD_FIELD = (240, 157)
PASSWORD_FIELD_ASKED_AGAIN = (240, 179)
OK_BUTTON = (252, 203)
CANCEL_BUTTON = (337, 203)
ASKED_AGAIN_SHIFT = 22  # the line that says the last login was refused
STATE_PROTECTED = 0x20000000


def settings_blob(flags, proxy="", bypass="", script=""):
    """The user's Internet settings as the system keeps them: the format's mark, a change
    count and what is switched on, then the proxy, the bypass list and the script's address."""
    blob = struct.pack("<III", 0x46, 1, flags)
    for text in (proxy, bypass, script):
        blob += struct.pack("<I", len(text)) + text.encode("ascii")
    return (blob + bytes(32)).hex()


def set_internet_settings(machine, flags, proxy="", bypass="", script=""):
    shell('wine reg add "%s" /v DefaultConnectionSettings /t REG_BINARY /d %s /f >/dev/null'
          % (CONNECTIONS, settings_blob(flags, proxy, bypass, script)), machine.env)


def proxy_log():
    path = os.path.join(ARGS.proxy_state, "access.log")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.split() for line in f if line.strip()]


def proxied(name):
    """The proxy's answers to requests for `name` (version.xml, version.xml.sig, quillmere.zip)."""
    return [fields[3] for fields in proxy_log() if len(fields) > 6 and fields[6].endswith("/CHS/" + name)]


class ProxyEndToEnd(e2e.EndToEndCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        subprocess.run(["bash", ARGS.proxy_script, "start", ARGS.proxy_state, str(ARGS.open_port), str(ARGS.locked_port),
                        str(ARGS.nginx_port), USER, PASSWORD], check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["bash", ARGS.proxy_script, "stop", ARGS.proxy_state])

    def setUp(self):
        super().setUp()
        with open(os.path.join(ARGS.proxy_state, "access.log"), "w"):
            pass  # squid appends; the cases read only their own lines

    def close_direct_road(self):
        server("/set?target=all&mode=down")

    def login_box(self):
        box = wait_for(lambda: Window.find(LOGIN_TITLE), 60)
        self.assertIsNotNone(box, "no login box")
        self.assertEqual(box.geometry()[2:], LOGIN_SIZE, "the login box, not another")
        time.sleep(0.5)
        return box

    def type_login(self, box, user, password, password_field=PASSWORD_FIELD):
        box.click(USER_FIELD)
        subprocess.run(["xdotool", "type", "--delay", "40", user], check=True)
        box.click(password_field)
        subprocess.run(["xdotool", "type", "--delay", "40", password], check=True)
        time.sleep(0.2)

    def test_a_a_fixed_proxy_carries_the_whole_installation(self):
        publish(client_package())
        machine = self.machine("proxy_fixed")
        set_internet_settings(machine, DIRECT | FIXED, "127.0.0.1:%d" % ARGS.open_port)
        self.close_direct_road()
        self.assertEqual(self.finish(machine.start_installer(), 300), 0)
        self.assert_installed_and_started(machine)
        for name in ("version.xml", "version.xml.sig", "quillmere.zip"):
            self.assertEqual(proxied(name), ["TCP_MISS/200"], name)
        self.assertIn("info: proxy for %s: 127.0.0.1:%d (the user's proxy)" % (ARGS.package_address, ARGS.open_port),
                      machine.log(with_info=True))

    def test_b_a_bypass_entry_for_the_host_goes_direct(self):
        publish(client_package())
        machine = self.machine("proxy_bypass")
        # Nothing listens at the proxy: only the direct road gets anywhere.
        set_internet_settings(machine, DIRECT | FIXED, "127.0.0.1:9", "127.0.0.1;<local>")
        self.assertEqual(self.finish(machine.start_installer(), 300), 0)
        self.assert_installed_and_started(machine)
        self.assertEqual(proxy_log(), [])

    def test_c_a_configuration_script_sends_each_request_its_own_road(self):
        publish(client_package())
        with open(os.path.join(ARGS.www, "proxy.pac"), "w") as f:
            f.write('function FindProxyForURL(url, host) {\n'
                    '  if (shExpMatch(url, "*/quillmere.zip")) return "PROXY 127.0.0.1:%d";\n'
                    '  return "DIRECT";\n}\n' % ARGS.open_port)
        machine = self.machine("proxy_script")
        set_internet_settings(machine, DIRECT | SCRIPT,
                              script="http://127.0.0.1:%d/down/quillclient/CHS/proxy.pac" % ARGS.nginx_port)
        server("/clear-log")
        self.assertEqual(self.finish(machine.start_installer(), 300), 0)
        self.assert_installed_and_started(machine)
        self.assertEqual(proxied("quillmere.zip"), ["TCP_MISS/200"])
        self.assertEqual(proxied("version.xml"), [], "the manifest went direct")
        direct = server("/log").splitlines()
        self.assertIn("manifest 200 -", direct)
        self.assertFalse([line for line in direct if line.startswith("package")], "the package went direct")

    def test_d_a_proxy_that_asks_for_a_login_gets_it_from_the_person(self):
        publish(client_package())
        machine = self.machine("proxy_login")
        set_internet_settings(machine, DIRECT | FIXED, "127.0.0.1:%d" % ARGS.locked_port)
        self.close_direct_road()
        installer = machine.start_installer()
        box = self.login_box()
        box.save("proxy_login")
        self.assertEqual(reader.focus_name(machine, LOGIN_TITLE), "用户名", "the box opens on the name field")
        self.type_login(box, USER, PASSWORD)
        box.save("proxy_login_typed")
        # Read from outside as a screen reader does: the name is told, the password never.
        fields = {o.name: o for o in reader.tree(machine, LOGIN_TITLE) if o.role == reader.ROLE_TEXT}
        self.assertEqual(fields["用户名"].value, USER)
        self.assertTrue(fields["密码"].state & STATE_PROTECTED, "the password field is not marked protected")
        self.assertIn(fields["密码"].value, (None, ""), "the password field tells its text")
        box.click(OK_BUTTON)
        self.assertEqual(self.finish(installer, 300), 0)
        self.assert_installed_and_started(machine)
        self.assertEqual(proxied("quillmere.zip")[-1], "TCP_MISS/200")
        log = " ".join(machine.log(with_info=True))
        self.assertNotIn(PASSWORD, log, "the password went into the log")

    def test_e_a_refused_login_is_asked_for_once_more_then_a_cancel_or_refusal_stops_the_setup(self):
        for name, second in (("wrong_twice", "answer wrongly"), ("cancelled", "cancel")):
            with self.subTest(name):
                server("/reset")
                publish(client_package())
                machine = self.machine("proxy_" + name)
                set_internet_settings(machine, DIRECT | FIXED, "127.0.0.1:%d" % ARGS.locked_port)
                self.close_direct_road()
                installer = machine.start_installer()
                box = self.login_box()
                self.type_login(box, USER, "wrong")
                box.click(OK_BUTTON)
                wait_for(lambda: Window.find(LOGIN_TITLE) is None or Window.find(LOGIN_TITLE).wid != box.wid, 10)
                again = self.login_box()
                again.save("proxy_login_again")
                if second == "cancel":
                    again.click((CANCEL_BUTTON[0], CANCEL_BUTTON[1] + ASKED_AGAIN_SHIFT))
                else:
                    self.type_login(again, USER, "wrong again", PASSWORD_FIELD_ASKED_AGAIN)
                    again.click((OK_BUTTON[0], OK_BUTTON[1] + ASKED_AGAIN_SHIFT))

                def message_box():
                    box = Window.find(BOX_TITLE)
                    return box if box and box.geometry()[2:] != LOGIN_SIZE else None
                failure = wait_for(message_box, 60)
                self.assertIsNotNone(failure, "no message box after the login")
                failure.save("proxy_refused_" + name)
                failure.click(e2e.BOX_CLOSE_BUTTON)
                self.assertEqual(self.finish(installer, 30), 0)
                # The proxy's refusal leaves no manifest: the download-failure road.
                self.assertIn("manifest refused: no manifest arrived", machine.log())
                self.assertIn("407", machine.log())
                self.assertEqual(machine.records("client"), [])
                self.assertEqual(proxied("quillmere.zip"), [], "the package was fetched")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--proxy-script", required=True)
    parser.add_argument("--proxy-state", required=True)
    parser.add_argument("--open-port", type=int, required=True)
    parser.add_argument("--locked-port", type=int, required=True)
    parser.add_argument("--nginx-port", type=int, required=True)
    parser.add_argument("--package-address", required=True)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    sys.argv = [sys.argv[0]] + rest
    e2e_args = e2e.parse_arguments()
    for name, value in vars(e2e_args).items():
        setattr(ARGS, name, value)
    e2e.ARGS = ARGS
    reader.PROBE = ARGS.probe
    e2e.run_tests(unittest.defaultTestLoader.loadTestsFromTestCase(ProxyEndToEnd))


if __name__ == "__main__":
    main()
