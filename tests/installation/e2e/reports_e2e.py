#!/usr/bin/env python3
"""What the real installation.exe tells the vendor: one report per run, sent to the address
the signed manifest names, kept by nginx in its real access log (the combined format, as the
vendor's own server would keep it). Runs that install, fail to download, meet a damaged
package, meet a refused manifest and upgrade quietly each leave exactly one line whose fields
are right; unsigned manifests, "/noreport" and the machine's policy leave none; a crash of the
installer leaves a dump and is told by the next run. report.py reads the log afterwards."""
import datetime
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import time
import urllib.parse
import urllib.request

import installer_e2e as driver
import quiet_e2e
from installer_e2e import OLD_VERSION, VERSION, client_package, publish, server, wait_for

REPORT_PATH = "/r.gif"
LOGS = ("ProgramData", "Quillmere Logs")
# A line of the combined format: address, identity, user, [time], "request", status, bytes, "referer", "agent".
COMBINED = re.compile(r'(\S+) \S+ \S+ \[([^]]+)\] "GET (\S+) HTTP/[\d.]+" (\d{3}) \d+ "[^"]*" "([^"]*)"\Z')
ARGS = None


def documented_keys():
    """The keys the README's "What the installer reports" table names, in its order."""
    with open(os.path.join(os.path.dirname(driver.ARGS.scripts), "README.md"), encoding="utf-8") as f:
        text = f.read()
    section = text.split("\n## What the installer reports\n", 1)[1].split("\n## ", 1)[0]
    keys = []
    for line in section.splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")] if line.startswith("|") else []
        keys += re.findall(r"`([a-z_]+)`", cells[0]) if cells and cells[0].startswith("`") else []
    return keys


class ReportServer:
    """nginx on loopback keeping the reports in a combined access log, as a plain static server
    (or a CDN) does: the report address answers with a one-pixel picture."""

    def __init__(self, state, port):
        self.state, self.port = state, port
        self.log = os.path.join(state, "access.log")
        shutil.rmtree(state, ignore_errors=True)
        os.makedirs(os.path.join(state, "temp"))
        user = "user root;" if os.getuid() == 0 else ""
        with open(os.path.join(state, "nginx.conf"), "w") as f:
            f.write(f"""{user}
worker_processes 1;
pid {state}/nginx.pid;
error_log {state}/error.log warn;
events {{ worker_connections 64; }}
http {{
    access_log {self.log} combined;
    client_body_temp_path {state}/temp;
    server {{
        listen 127.0.0.1:{port};
        location = {REPORT_PATH} {{ empty_gif; }}
    }}
}}
""")
        subprocess.run(["nginx", "-p", state, "-e", os.path.join(state, "error.log"), "-c",
                        os.path.join(state, "nginx.conf")], check=True)
        # What this test relies on nginx for: a picture at the address, and the combined line.
        with urllib.request.urlopen(self.address() + "?probe=1", timeout=10) as answer:
            assert answer.read().startswith(b"GIF89a"), "nginx serves no picture at the report address"
        assert wait_for(lambda: self.lines(), 5), "nginx keeps no access log"
        assert COMBINED.match(self.lines()[-1]), self.lines()[-1]
        self.kept = []  # every report line of the whole test, for report.py
        self.clear()

    def address(self):
        return "http://127.0.0.1:%d%s" % (self.port, REPORT_PATH)

    def lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def clear(self):
        with open(self.log, "w"):
            pass

    def reports(self):
        """The requests since the last clear, each as (query fields, the raw line), kept for report.py."""
        found = []
        for line in self.lines():
            match = COMBINED.match(line)
            assert match, "not a combined line: %r" % line
            path, _, query = match[3].partition("?")
            assert path == REPORT_PATH, line
            found.append((urllib.parse.parse_qsl(query, keep_blank_values=True), line))
            self.kept.append(line)
        self.clear()
        return found

    def stop(self):
        with open(os.path.join(self.state, "nginx.pid")) as f:
            pid = int(f.read())
        os.kill(pid, 15)


class ReportsEndToEnd(quiet_e2e.QuietRun, driver.EndToEndCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.reports = ReportServer(os.path.join(driver.ARGS.work, "report-server"), ARGS.report_port)
        cls.keys = documented_keys()
        cls.ids = set()
        cls.told = 0  # reports checked by one_report, all of them kept for report.py

    @classmethod
    def tearDownClass(cls):
        cls.reports.stop()

    def publish(self, package=None, **options):
        return publish(package or client_package(), report=self.reports.address(), **options)

    def one_report(self, machine, **expected):
        """The one report the last run sent: its fields checked against what every report must
        hold and the expected ones; the fields, as a dict."""
        found = self.reports.reports()
        self.assertEqual(len(found), 1, "one report per run: %s" % [line for _, line in found])
        pairs, line = found[0]
        self.assertEqual([key for key, _ in pairs], self.keys, "the documented keys, each once, in order")
        fields = dict(pairs)
        for key, value in expected.items():
            self.assertEqual(fields[key], value, "%s in %s" % (key, line))
        self.assertRegex(fields["id"], r"\A[0-9a-f]{32}\Z")
        self.assertNotIn(fields["id"], self.ids, "an id is made for one run only")
        self.ids.add(fields["id"])
        type(self).told += 1
        self.assertRegex(fields["v"], r"\A\d+(\.\d+){1,3}\Z")
        self.assertEqual(fields["to"], VERSION)
        self.assertRegex(fields["os"], r"\A\d+\.\d+\.\d+\Z")
        self.assertEqual(fields["arch"], "x64")
        self.assertRegex(fields["lang"], r"\A[a-z]{2,3}(-[A-Za-z]{2,4})*\Z")
        self.assertEqual(fields["dpi"], "96")
        reached = ["manifest", "package", "extract", "install", "done"].index(fields["stage"])
        for number, stage in enumerate(["manifest", "package", "extract", "install"]):
            if number <= reached:
                self.assertRegex(fields["t_" + stage], r"\A\d+\Z", "%s timed: %s" % (stage, line))
            else:
                self.assertEqual(fields["t_" + stage], "", "%s not reached: %s" % (stage, line))
        # Nothing that names the person or the machine, as this machine's programs see them.
        said = subprocess.run(["wine", "cmd", "/c", "echo U=%USERNAME% C=%COMPUTERNAME% P=%USERPROFILE%"],
                              env=machine.env, capture_output=True, text=True).stdout
        names = list(re.search(r"U=(.*) C=(.*) P=(.*)", said).groups())
        query = urllib.parse.unquote(line.split(" ", 7)[6]).lower()
        for name in names + [socket.gethostname()]:
            name = name.strip()
            self.assertTrue(name and "%" not in name, "the machine's names were read: %s" % names)
            self.assertNotIn(name.lower(), query.split("?", 1)[1], "a name of the machine or user is told")
        self.assertNotIn("\\", query, "no path is told")
        return fields

    def test_a_a_clean_machine_installed_interactively(self):
        size = self.publish()
        machine = self.machine("report_installed")
        self.assertEqual(self.finish(machine.start_installer(), 300), 0)
        self.assert_installed_and_started(machine)
        self.one_report(machine, result="0", stage="done", outcome="installed", quiet="0", **{"from": ""},
                        http="200", net="0", msi="0", bytes=str(size), resumed="0", tries="1", source="primary",
                        proxy="direct", crash="", crash_at="")

    def test_b_failures_each_tell_their_stage_and_codes(self):
        now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
        cases = [
            # name, how the release is spoiled, quiet exit code, fields of its report
            ("download", "404", 2, dict(stage="package", outcome="download", http="404", net="0", msi="",
                                        bytes="0", source="primary", proxy="direct")),
            ("damaged", "damaged", 3, dict(stage="package", outcome="damaged", http="200", msi="", t_extract="")),
            ("refused", "expired", 2, dict(stage="manifest", outcome="download", http="200", msi="", bytes="0",
                                           tries="0", source="", proxy="")),
        ]
        for name, spoil, code, fields in cases:
            with self.subTest(name):
                server("/reset")
                if spoil == "expired":
                    self.publish(days=1, now=now - datetime.timedelta(days=2))
                else:
                    self.publish()
                if spoil == "404":
                    server("/set?target=package&mode=status&code=404")
                elif spoil == "damaged":
                    self.publish(b"PK\x03\x04 not the package the vendor published " * 1000)
                machine = self.machine("report_" + name)
                self.assertEqual(self.run_quiet(machine, "/quiet"), code)
                self.one_report(machine, result=str(code), quiet="1", **fields)

    def test_c_a_quiet_upgrade_tells_both_versions(self):
        self.publish()
        machine = self.machine("report_upgrade")
        machine.install_client(OLD_VERSION)
        self.assertEqual(self.run_quiet(machine, "/quiet"), 0)
        self.one_report(machine, result="0", stage="done", outcome="installed", quiet="1",
                        msi="0", **{"from": OLD_VERSION})

    def test_d_nothing_is_sent_unsigned_turned_off_or_forbidden_by_policy(self):
        cases = [("unsigned", (), "signature"), ("switch", ("/noreport",), None), ("policy", (), "policy")]
        for name, arguments, spoil in cases:
            with self.subTest(name):
                self.publish()
                machine = self.machine("report_none_" + name)
                if spoil == "signature":
                    os.remove(os.path.join(driver.ARGS.www, "version.xml.sig"))
                elif spoil == "policy":
                    subprocess.run(["wine", "reg", "add", r"HKLM\SOFTWARE\Policies\Quillmere\Installer", "/v",
                                    "DisableReports", "/t", "REG_DWORD", "/d", "1", "/f", "/reg:64"],
                                   env=machine.env, capture_output=True, check=True)
                self.assertEqual(self.run_quiet(machine, "/quiet", *arguments), 2 if spoil == "signature" else 0)
                self.assertEqual(self.reports.reports(), [])
                if spoil != "signature":
                    self.assertIn("info: report: turned off", machine.log(with_info=True))

    def test_e_a_report_address_that_never_answers_costs_at_most_three_seconds(self):
        silent = socket.socket()
        silent.bind(("127.0.0.1", ARGS.report_port + 1))
        silent.listen(8)  # connections are taken by the system and never answered
        try:
            publish(client_package(), report="http://127.0.0.1:%d%s" % (ARGS.report_port + 1, REPORT_PATH))
            machine = self.machine("report_silent")
            self.assertEqual(self.run_quiet(machine, "/quiet"), 0)
        finally:
            silent.close()
        sent = [line for line in machine.log(with_info=True) if line.startswith("info: report: ")]
        self.assertEqual(len(sent), 1, sent)
        took = int(re.fullmatch(r"info: report: result (\d+), status 0, (\d+) ms", sent[0])[2])
        self.assertTrue(2900 <= took <= 3300, sent[0])
        self.assert_installed_and_started(machine)

    def test_f_a_crash_leaves_a_dump_and_the_next_run_tells_it(self):
        self.publish()
        machine = self.machine("report_crash")
        code = self.finish(machine.start_installer("/crash-for-test"), 60)
        self.assertNotEqual(code, 0)
        logs = machine.path(*LOGS)
        dumps = [name for name in os.listdir(logs) if re.fullmatch(r"crash-\d{8}T\d{6}Z\.dmp", name)]
        self.assertEqual(len(dumps), 1, os.listdir(logs))
        with open(os.path.join(logs, dumps[0]), "rb") as f:
            dump = f.read()
        signature, _, streams, directory = struct.unpack_from("<4sIII", dump)
        self.assertEqual(signature, b"MDMP")
        types = [struct.unpack_from("<I", dump, directory + 12 * n)[0] for n in range(streams)]
        self.assertIn(6, types, "an exception stream")
        crashed = [line for line in machine.log() if line.startswith("crashed: ")]
        self.assertEqual(len(crashed), 1)
        self.assertEqual(self.reports.reports(), [], "the crashed run sent nothing")

        self.assertEqual(self.run_quiet(machine, "/quiet"), 0)
        fields = self.one_report(machine, result="0", outcome="installed", crash="c0000005")
        self.assertRegex(fields["crash_at"], r"\Ainstallation\.exe\+[0-9a-f]+\Z")
        self.assertIn("crashed: exception c0000005 at " + fields["crash_at"], crashed[0])
        # Told once: the run after that tells no crash.
        self.assertEqual(self.run_quiet(machine, "/quiet"), 0)
        self.assertEqual(self.one_report(machine, crash="", crash_at="")["result"], "0")

    def test_z_report_py_reads_the_log_of_these_runs(self):
        log = os.path.join(driver.ARGS.work, "reports.log")
        with open(log, "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in self.reports.kept))
        picture = os.path.join(driver.ARGS.work, "release_health.png")
        tools = os.path.join(os.path.dirname(driver.ARGS.scripts), "tools")
        run = subprocess.run(["/usr/bin/python3", os.path.join(tools, "report.py"), "--path", REPORT_PATH, "--json",
                              "--png", picture, log], capture_output=True, text=True, timeout=300)
        self.assertEqual(run.returncode, 0, run.stderr)
        health = json.loads(run.stdout)
        sent = [dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(COMBINED.match(line)[3]).query,
                                            keep_blank_values=True)) for line in self.reports.kept]
        self.assertEqual(len(sent), self.told)
        self.assertGreaterEqual(len(sent), 7, "the cases above ran first")
        self.assertEqual(health["runs"], len(sent))
        told = {row["outcome"]: row["runs"] for row in health["outcomes"]}
        self.assertEqual(told, {word: sum(1 for s in sent if s["outcome"] == word) for word in told})
        self.assertEqual(sum(told.values()), len(sent))
        with open(picture, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


def main():
    global ARGS
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--report-port", type=int, required=True)
    ARGS, sys.argv[1:] = parser.parse_known_args()
    driver.ARGS = driver.parse_arguments()
    driver.run_tests()


if __name__ == "__main__":
    main()
