import gzip
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest

from reportlog import CLOUDFRONT_FIELDS, SPEEDS, STAGE_MS, cloudfront_line, combined_line, generate, quantile
from tooltest import TOOLS, run_main

import report

REPORT_SCRIPT = os.path.join(TOOLS, "report.py")
KEYS = ("result", "stage", "outcome", "v", "from", "to", "id", "quiet", "http", "net", "msi", "t_manifest",
        "t_package", "t_extract", "t_install", "bytes", "resumed", "tries", "source", "proxy", "os", "arch",
        "lang", "dpi", "crash", "crash_at")
RUN_COLUMNS = ("result", "stage", "outcome", "v", "to", "t_manifest", "t_package", "t_extract", "t_install",
               "bytes", "resumed", "source", "proxy", "quiet", "os", "arch", "dpi", "lang", "http", "net", "msi",
               "crash", "crash_at")
# Nine runs worked out by hand. One language and one crash place arrive percent-encoded.
RUNS = [
    ("0", "done", "installed", "1.0.1.0", "2.0.1.5", "100", "2000", "300", "5000", "4000000", "0",
     "primary", "direct", "0", "10.0.19045", "x64", "96", "zh-CN", "200", "0", "0", "", ""),
    ("0", "done", "installed", "1.0.1.0", "2.0.1.5", "200", "4000", "400", "6000", "4000000", "1000",
     "mirror1", "proxy", "1", "10.0.22631", "x64", "144", "zh-CN", "200", "0", "0", "", ""),
    ("9", "done", "restart", "1.0.0.0", "2.0.1.4", "300", "1000", "500", "7000", "8000000", "0",
     "primary", "direct", "0", "6.1.7601", "x86", "96", "zh-TW", "200", "0", "3010", "", ""),
    ("2", "manifest", "download", "1.0.0.0", "", "5000", "", "", "", "0", "0",
     "", "", "0", "10.0.19045", "x64", "120", "zh-CN", "404", "22", "", "c0000005", "installation.exe%2B1a2b3"),
    ("3", "package", "damaged", "1.0.1.0", "2.0.1.5", "150", "3000", "", "", "3000000", "0",
     "primary", "script", "1", "10.0.19045", "arm64", "96", "en-US", "200", "0", "", "", ""),
    ("4", "extract", "disk", "1.0.1.0", "2.0.1.5", "120", "2500", "50", "", "5000000", "0",
     "primary", "direct", "0", "10.0.19045", "x64", "96", "zh-CN", "200", "0", "", "c0000005",
     "installation.exe+1a2b3"),
    ("6", "manifest", "newer", "1.0.0.0", "2.0.1.4", "90", "", "", "", "0", "0",
     "", "", "0", "10.0.22631", "x64", "192", "zh%2DCN", "200", "0", "", "", ""),
    ("8", "install", "restored", "1.0.1.0", "2.0.1.4", "110", "1000", "200", "20000", "2000000", "0",
     "primary", "direct", "0", "10.0.19045", "x64", "96", "zh-CN", "200", "0", "1603", "c00000fd",
     "installation.exe+4f00"),
    ("5", "install", "installer", "1.0.1.0", "2.0.1.5", "130", "2000", "350", "9000", "16000000", "500",
     "mirror2", "direct", "1", "10.0.19045", "x64", "96", "zh-CN", "200", "0", "1603", "", ""),
]


def query(number, run):
    fields = dict(zip(RUN_COLUMNS, run), id=f"{number:032x}", tries="1")
    fields["from"] = ""
    return "&".join(f"{key}={fields[key]}" for key in KEYS)


def hand_made_lines(line=lambda n, path, query: combined_line(n, f"{path}?{query}" if query else path)):
    """The nine runs, and a log's everyday noise between them."""
    lines = [line(n, "/r.gif", query(n + 1, run)) for n, run in enumerate(RUNS)]
    lines[3:3] = [line(90, "/down/quillclient/CHS/version.xml", ""),
                  line(91, "/r.gif", "result=0&stage=done&id=123"),  # an id that is no run's
                  line(92, "/r.gif", query(92, RUNS[0]).replace("t_package=2000", "t_package=2s"))]
    return lines


def write(path, text, compress=False):
    data = text.encode("utf-8")
    with open(path, "wb") as file:
        file.write(gzip.compress(data) if compress else data)
    return path


class ReportTest(unittest.TestCase):
    def setUp(self):
        work = tempfile.TemporaryDirectory()
        self.addCleanup(work.cleanup)
        self.work = work.name

    def log(self, name, lines, compress=False):
        return write(os.path.join(self.work, name), "".join(lines), compress)

    def figures(self, *args):
        code, out, err = run_main(report.main, [*args, "--json"])
        self.assertEqual(code, 0, err)
        return json.loads(out)

    def hand_made_log(self):
        lines = hand_made_lines()
        # Other requests to the same server, and lines no reader could make sense of.
        lines += ['198.51.100.9 - - [10/Dec/2026:06:00:00 +0000] "\\x16\\x03\\x01" 400 157 "-" "-"\n',
                  combined_line(93, "/r.gif?" + query(1, RUNS[0])).replace("GET", "POST"),
                  "\n", "not a line of any access log\n", combined_line(94, "/r.gif")[:50] + "\n"]
        return self.log("access.log", lines)

    def test_a_hand_made_log_gives_its_figures_exactly(self):
        log = self.hand_made_log()
        again = self.log("again.log", [combined_line(0, "/r.gif?" + query(1, RUNS[0]))])
        figures = self.figures(log, again)

        self.assertEqual(figures["input"]["lines"], 18)
        self.assertEqual({key: figures["input"][key] for key in ("unreadable", "bad_reports", "repeated")},
                         {"unreadable": 2, "bad_reports": 2, "repeated": 1})
        self.assertEqual(figures["input"]["examples"], {"unreadable": [f"{log}:16", f"{log}:17"],
                                                        "bad report": [f"{log}:5", f"{log}:6"]})
        self.assertEqual((figures["runs"], figures["succeeded"], figures["success_rate"]), (9, 2, 0.222222))
        self.assertEqual([(row["to"], row["runs"], row["succeeded"], row["rate"]) for row in figures["by_release"]],
                         [("2.0.1.5", 5, 2, 0.4), ("2.0.1.4", 3, 0, 0.0), ("", 1, 0, 0.0)])
        self.assertEqual([(row["v"], row["runs"], row["succeeded"], row["rate"]) for row in figures["by_installer"]],
                         [("1.0.1.0", 6, 2, 0.333333), ("1.0.0.0", 3, 0, 0.0)])
        failures = figures["failures"]
        self.assertEqual(failures["runs"], 5)
        self.assertEqual([(row["stage"], row["runs"], row["share"]) for row in failures["by_stage"]],
                         [("install", 2, 0.4), ("extract", 1, 0.2), ("manifest", 1, 0.2), ("package", 1, 0.2)])
        self.assertEqual([(row["outcome"], row["result"], row["share"]) for row in failures["by_outcome"]],
                         [("damaged", 3, 0.2), ("disk", 4, 0.2), ("download", 2, 0.2), ("installer", 5, 0.2),
                          ("restored", 8, 0.2)])
        self.assertEqual([(row["outcome"], row["http"], row["net"], row["msi"]) for row in failures["by_code"]],
                         [("damaged", "200", "0", ""), ("disk", "200", "0", ""), ("download", "404", "22", ""),
                          ("installer", "200", "0", "1603"), ("restored", "200", "0", "1603")])
        self.assertEqual([(row["step"], row["runs"]) for row in figures["funnel"]],
                         [("started", 9), ("manifest", 7), ("package", 6), ("extracted", 5), ("installed", 3),
                          ("client started", 2)])
        self.assertEqual([row["funnel"][-1]["runs"] for row in figures["by_release"]], [2, 0, 0])
        self.assertEqual([row["failed"] for row in figures["by_release"]],
                         [{"damaged": 1, "disk": 1, "installer": 1}, {"restored": 1}, {"download": 1}])
        self.assertEqual(figures["stage_ms"], {"manifest": {"runs": 9, "p50": 130, "p95": 5000},
                                               "package": {"runs": 7, "p50": 2000, "p95": 4000},
                                               "extract": {"runs": 6, "p50": 300, "p95": 500},
                                               "install": {"runs": 5, "p50": 7000, "p95": 20000}})
        self.assertEqual(figures["speed_bytes_per_s"], {"runs": 7, "p50": 2e6, "p95": 8e6})
        self.assertEqual(figures["resumed"], {"runs": 2, "of": 9, "share": 0.222222})
        self.assertEqual(figures["quiet"], {"runs": 3, "of": 9, "share": 0.333333})
        for road, kinds in (("proxy", [("direct", 5), ("proxy", 1), ("script", 1)]),
                            ("mirror", [("primary", 5), ("mirror1", 1), ("mirror2", 1)])):
            self.assertEqual((figures[road]["runs"], figures[road]["of"], figures[road]["share"]), (2, 7, 0.285714))
            self.assertEqual([(row["value"], row["runs"]) for row in figures[road]["kinds"]], kinds)
        self.assertEqual({axis: [(row["value"], row["runs"]) for row in figures[axis]]
                          for axis in ("os", "arch", "dpi", "lang")},
                         {"os": [("10.0.19045", 6), ("10.0.22631", 2), ("6.1.7601", 1)],
                          "arch": [("x64", 7), ("arm64", 1), ("x86", 1)],
                          "dpi": [("96", 6), ("120", 1), ("144", 1), ("192", 1)],
                          "lang": [("zh-CN", 7), ("en-US", 1), ("zh-TW", 1)]})
        self.assertEqual(figures["crashes"], {"runs": 3, "share": 0.333333, "by_place": [
            {"code": "c0000005", "at": "installation.exe+1a2b3", "runs": 2},
            {"code": "c00000fd", "at": "installation.exe+4f00", "runs": 1}]})

        code, text, err = run_main(report.main, [log, again])
        self.assertEqual(code, 0, err)
        lines = [" ".join(line.split()) for line in text.splitlines()]
        for expected in ("Release health: 9 runs, 22.2% succeeded (result 0)",
                         "18 log lines; 2 unreadable, 2 reports with missing or bad keys, "
                         "1 repeated run ids counted once",
                         "2.0.1.5 5 2 40.0%", "(none) 1 0 0.0%", "install 2 40.0%", "download 404 22 - 1 20.0%",
                         "extracted 5 55.6%", "package 7 2,000 4,000", "speed 7 2.00 8.00",
                         "resumed: 22.2% of 9 runs", "proxy: 28.6% of 7 runs (proxy 14.3%, script 14.3%)",
                         "mirror: 28.6% of 7 runs (mirror1 14.3%, mirror2 14.3%)", "quiet: 33.3% of 9 runs",
                         "Previous run crashed: 3 runs (33.3%)", "c0000005 installation.exe+1a2b3 2"):
            self.assertIn(expected, lines)
        self.assertRegex(err, r"read [0-9.]+ MB, 18 lines in [0-9.]+ s \([0-9.,]+ MB/s\)")

    def test_every_log_format_and_compression_reads_alike(self):
        plain = self.figures(self.log("access.log", hand_made_lines()))
        header = ["#Version: 1.0\n", f"#Fields: {CLOUDFRONT_FIELDS}\n"]
        cloudfront = header + hand_made_lines(cloudfront_line)
        # A CDN that escapes the query once more when it writes its log.
        escaped_again = header + [line.replace("%", "%25") for line in hand_made_lines(cloudfront_line)]
        # Apache writes a quote inside a field as \" and a body of no bytes as -.
        apache = [line.replace('"Quillmere-Installer"', '"Quillmere \\"Installer\\""').replace(" 200 43 ", " 200 - ")
                  for line in hand_made_lines()]
        # Newer CloudFront logs carry the fields the distribution chose, in its order.
        chosen = [f"#Fields: {' '.join(reversed(CLOUDFRONT_FIELDS.split()))}\n"]
        chosen += ["\t".join(reversed(line.rstrip("\n").split("\t"))) + "\n"
                   for line in hand_made_lines(cloudfront_line)]
        # Two installer builds that send the keys in different orders.
        reordered = [line.replace(query, "&".join(reversed(query.split("&")))) if n % 2 else line
                     for n, line in enumerate(hand_made_lines())
                     for query in re.findall(r"\?(\S*)", line)[:1] or [""]]
        variants = {"nginx, gzip": self.log("access.log.gz", hand_made_lines(), compress=True),
                    "nginx, keys in two orders": self.log("reordered.log", reordered),
                    "CloudFront": self.log("cloudfront.log", cloudfront),
                    "CloudFront, its header lost": self.log("headless.log", cloudfront[2:]),
                    "CloudFront, fields of its own choice": self.log("chosen.log", chosen),
                    "CloudFront, escaped again": self.log("escaped.log", escaped_again),
                    "CloudFront, gzip with no .gz name": self.log("E2ABC.2026-12-10-06.log", cloudfront, True),
                    "Apache": self.log("apache.log", apache)}
        for name, log in variants.items():
            with self.subTest(name):
                figures = self.figures(log)
                self.assertEqual(figures["input"]["bad_reports"], 2)
                self.assertEqual({key: value for key, value in figures.items() if key != "input"},
                                 {key: value for key, value in plain.items() if key != "input"})
        with self.subTest("CloudFront, gzip on standard input"):
            done = subprocess.run([sys.executable, REPORT_SCRIPT, "--json", "-"], capture_output=True,
                                  input=gzip.compress("".join(cloudfront).encode()), timeout=60)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(json.loads(done.stdout)["by_release"], plain["by_release"])

    def test_a_run_read_twice_counts_once(self):
        log = self.log("access.log", hand_made_lines())
        once, twice = self.figures(log), self.figures(log, log)
        self.assertEqual(twice["input"]["repeated"], once["runs"])
        self.assertEqual({key: value for key, value in twice.items() if key != "input"},
                         {key: value for key, value in once.items() if key != "input"})

    def test_damaged_and_missing_sources_are_reported_and_the_rest_still_read(self):
        good = self.log("good.log", hand_made_lines())
        whole = gzip.compress("".join(hand_made_lines()).encode())
        cut = write(os.path.join(self.work, "cut.log.gz"), "")
        with open(cut, "wb") as file:
            file.write(whole[:len(whole) // 2])
        binary = os.path.join(self.work, "binary.log")
        with open(binary, "wb") as file:
            file.write(bytes(range(256)) * 8)
        missing = os.path.join(self.work, "missing.log")
        code, out, err = run_main(report.main, [good, binary, cut, missing, "--json"])
        self.assertEqual(code, 1)
        figures = json.loads(out)
        self.assertEqual(figures["runs"], len(RUNS))
        self.assertGreater(figures["input"]["unreadable"], 0)
        problems = figures["input"]["problems"]
        self.assertEqual(len(problems), 2, problems)
        self.assertRegex(problems[0], f"^{re.escape(cut)}: ends damaged after line [0-9]+: ")
        self.assertRegex(problems[1], f"^{re.escape(missing)}: cannot be read: ")

    def test_path_picks_the_report_address(self):
        elsewhere = [line.replace("/r.gif", "/health/r.gif") for line in hand_made_lines()]
        log = self.log("access.log", hand_made_lines()[:3] + elsewhere[3:])
        self.assertEqual(self.figures(log)["runs"], len(RUNS))
        picked = self.figures(log, "--path", "/r.gif")
        self.assertEqual(picked["runs"], 3)
        version_xml = self.log("version.log", [combined_line(0, "/r.gif?v=1")])
        self.assertEqual(self.figures(version_xml, "--path", "/r.gif")["input"]["bad_reports"], 1)
        self.assertEqual(self.figures(version_xml)["input"]["bad_reports"], 0)

    def test_the_picture_is_a_png(self):
        picture = os.path.join(self.work, "health.png")
        code, _, err = run_main(report.main, [self.log("access.log", hand_made_lines()), "--png", picture])
        self.assertEqual(code, 0, err)
        with open(picture, "rb") as file:
            head = file.read(24)
        self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
        width, height = struct.unpack(">II", head[16:24])
        self.assertTrue(width >= 800 and height >= 300, (width, height))

    def test_a_million_generated_lines_give_the_figures_generated(self):
        path = os.path.join(self.work, "million.log")
        with open(path, "w", encoding="ascii", newline="\n") as out:
            expected = generate(out, 1_000_000)
        started = time.perf_counter()
        figures = self.figures(path)
        seconds = time.perf_counter() - started
        megabytes = os.path.getsize(path) / 1e6
        print(f"\nreport.py: {megabytes:.0f} MB, 1,000,000 lines in {seconds:.1f} s: {megabytes / seconds:.1f} MB/s",
              file=sys.stderr)

        source = figures["input"]
        self.assertEqual((source["lines"], source["unreadable"], source["bad_reports"], source["repeated"]),
                         (expected.lines, expected.unreadable, expected.bad_reports, expected.repeated))
        self.assertEqual((figures["runs"], figures["succeeded"]), (expected.runs, sum(expected.ok_by_release.values())))
        for axis, key, runs, succeeded in (("by_release", "to", expected.by_release, expected.ok_by_release),
                                           ("by_installer", "v", expected.by_installer, expected.ok_by_installer)):
            self.assertEqual({row[key]: (row["runs"], row["succeeded"]) for row in figures[axis]},
                             {value: (n, succeeded[value]) for value, n in runs.items()})
        self.assertEqual({(row["outcome"], row["result"]): row["runs"] for row in figures["outcomes"]},
                         dict(expected.outcomes))
        failures = figures["failures"]
        self.assertEqual({row["stage"]: row["runs"] for row in failures["by_stage"]}, dict(expected.failed_by_stage))
        self.assertEqual({(row["outcome"], row["result"]): row["runs"] for row in failures["by_outcome"]},
                         dict(expected.failed_by_outcome))
        self.assertEqual({row["step"]: row["runs"] for row in figures["funnel"]}, dict(expected.funnel))
        for key, table in STAGE_MS.items():
            self.assertEqual(figures["stage_ms"][key[2:]], {"runs": expected.timed[key], "p50": quantile(table, 50),
                                                           "p95": quantile(table, 95)})
        self.assertEqual(figures["speed_bytes_per_s"], {"runs": expected.speeds, "p50": quantile(SPEEDS, 50),
                                                        "p95": quantile(SPEEDS, 95)})
        self.assertEqual((figures["resumed"]["runs"], figures["resumed"]["of"]),
                         (expected.resumed, expected.resumed_of))
        self.assertEqual((figures["quiet"]["runs"], figures["quiet"]["of"]), (expected.quiet, expected.runs))
        for road, counted in (("proxy", expected.proxy), ("mirror", expected.source)):
            self.assertEqual({row["value"]: row["runs"] for row in figures[road]["kinds"]}, dict(counted))
        for axis in ("os", "arch", "dpi", "lang"):
            self.assertEqual({row["value"]: row["runs"] for row in figures[axis]}, dict(getattr(expected, axis)))
        self.assertEqual({(row["code"], row["at"]): row["runs"] for row in figures["crashes"]["by_place"]},
                         dict(expected.crashes))


if __name__ == "__main__":
    unittest.main()
