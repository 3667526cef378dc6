#!/usr/bin/python3
"""Writes a synthetic access log of run reports drawn from known distributions, and keeps the
figures of what it wrote, for the report tool's tests and the README's picture.

    python3 tests/tools/reportlog.py --lines 200000 > reports.log
"""

import argparse
import random
import sys
from collections import Counter

STAGES = ("manifest", "package", "extract", "install", "done")
RELEASES = (("2.0.1.5", 0.55), ("2.0.1.4", 0.35), ("2.0.1.3", 0.10))
INSTALLERS = (("1.0.1.0", 0.6), ("1.0.0.0", 0.4))
# How runs of each release end: (outcome, result, stage, weight). 2.0.1.5 ships a client package
# that fails on some machines; 2.0.1.3's manifest is refused on machines with a wrong clock.
ENDS = {
    "2.0.1.5": (("installed", 0, "done", 0.78), ("restart", 9, "done", 0.03), ("kept", 6, "manifest", 0.02),
                ("download", 2, "manifest", 0.03), ("download", 2, "package", 0.03), ("damaged", 3, "extract", 0.01),
                ("disk", 4, "extract", 0.01), ("installer", 5, "install", 0.07), ("restored", 8, "install", 0.02)),
    "2.0.1.4": (("installed", 0, "done", 0.88), ("restart", 9, "done", 0.02), ("newer", 6, "manifest", 0.01),
                ("download", 2, "manifest", 0.03), ("download", 2, "package", 0.03), ("damaged", 3, "extract", 0.02),
                ("installer", 5, "install", 0.01)),
    "2.0.1.3": (("installed", 0, "done", 0.80), ("clock", 2, "manifest", 0.10), ("download", 2, "package", 0.05),
                ("replace", 5, "install", 0.05)),
}
# Codes a failure carries: (http, net, msi, weight).
CODES = {
    "download": (("404", "22", "", 0.5), ("", "28", "", 0.3), ("503", "22", "", 0.2)),
    "installer": (("200", "0", "1603", 0.8), ("200", "0", "1618", 0.2)),
    "restored": (("200", "0", "1603", 1.0),),
}
NO_CODES = (("200", "0", "0", 1.0),)
# Discrete distributions, each p50 and p95 well inside one value's mass, so a million draws
# always put them on the same value.
STAGE_MS = {
    "t_manifest": ((120, 0.30), (250, 0.45), (900, 0.22), (3000, 0.03)),
    "t_package": ((4000, 0.20), (15000, 0.45), (60000, 0.32), (240000, 0.03)),
    "t_extract": ((800, 0.40), (1500, 0.40), (5000, 0.18), (20000, 0.02)),
    "t_install": ((20000, 0.35), (45000, 0.50), (120000, 0.13), (600000, 0.02)),
}
SPEEDS = ((250000, 0.10), (1000000, 0.35), (4000000, 0.45), (16000000, 0.10))  # bytes per second
RESUMED = 0.08
FROM_ = (("", 0.4), ("2.0.1.3", 0.3), ("2.0.1.2", 0.3))
PROXIES = (("direct", 0.85), ("proxy", 0.10), ("script", 0.05))
SOURCES = (("primary", 0.92), ("mirror1", 0.06), ("mirror2", 0.02))
QUIET = 0.2
OS = (("10.0.19045", 0.45), ("10.0.22631", 0.30), ("6.1.7601", 0.15), ("10.0.22621", 0.10))
ARCH = (("x64", 0.80), ("x86", 0.15), ("arm64", 0.05))
DPI = (("96", 0.60), ("120", 0.15), ("144", 0.20), ("192", 0.05))
LANG = (("zh-CN", 0.85), ("zh-TW", 0.10), ("en-US", 0.05))
CRASHED = 0.005
CRASHES = (("c0000005", "installation.exe+1a2b3", 0.7), ("c00000fd", "installation.exe+4f00", 0.3))
# Shares of the lines that are not one new run's report.
REPEATED, OTHER, UNREADABLE, BAD = 0.01, 0.05, 0.001, 0.0005
OTHER_PATHS = ("/down/quillclient/CHS/version.xml", "/down/quillclient/CHS/version.xml.sig",
               "/down/quillclient/CHS/quillmere.zip")
CLOUDFRONT_FIELDS = ("date time x-edge-location sc-bytes c-ip cs-method cs(Host) cs-uri-stem sc-status "
                     "cs(Referer) cs(User-Agent) cs-uri-query cs(Cookie) x-edge-result-type x-edge-request-id "
                     "x-host-header cs-protocol cs-bytes time-taken x-forwarded-for ssl-protocol ssl-cipher "
                     "x-edge-response-result-type cs-protocol-version fle-status fle-encrypted-fields c-port "
                     "time-to-first-byte x-edge-detailed-result-type sc-content-type sc-content-len "
                     "sc-range-start sc-range-end")


def quantile(table, p):
    """The value of a discrete distribution at which its cumulative weight first reaches p%."""
    total = 0.0
    for value, weight, *_ in table:
        total += weight
        if total * 100 >= p - 1e-9:
            return value
    return table[-1][0]


def slots(table):
    """A (value..., weight) table as 100 rows to index with a random hundredth: every weight is a
    whole hundredth."""
    rows = []
    for row in table:
        rows += [row] * round(row[-1] * 100)
    assert len(rows) == 100, table
    return rows


class Tables:
    """Every table as slots, drawn with one random number each."""

    def __init__(self):
        for name, table in list(globals().items()):
            if name.isupper() and isinstance(table, tuple) and table and isinstance(table[0], tuple):
                setattr(self, name.lower(), slots(table))
        self.ends = {release: slots(table) for release, table in ENDS.items()}
        self.codes = {outcome: slots(table) for outcome, table in CODES.items()}
        self.stage_ms = [slots(table) for table in STAGE_MS.values()]


class Expected:
    """The figures of what was written: every run counted by what was drawn for it."""

    def __init__(self):
        self.lines = self.unreadable = self.bad_reports = self.repeated = 0
        # Runs by (release, installer, end row, quiet, resumed, proxy, source, os, arch, dpi, lang, crash row).
        self.drawn = Counter()
        self.speeds = 0

    def finish(self):
        """Sums the draws into the figures the tests compare with."""
        self.runs = sum(self.drawn.values())
        self.by_release, self.by_installer = Counter(), Counter()
        self.ok_by_release, self.ok_by_installer = Counter(), Counter()
        self.outcomes, self.failed_by_stage, self.failed_by_outcome = Counter(), Counter(), Counter()
        self.funnel, self.timed = Counter(), Counter()
        self.resumed = self.resumed_of = self.quiet = 0
        self.proxy, self.source, self.crashes = Counter(), Counter(), Counter()
        self.os, self.arch, self.dpi, self.lang = Counter(), Counter(), Counter(), Counter()
        for drawn, n in self.drawn.items():
            to, installer, end, quiet, resumed, proxy, source, os_version, arch, dpi, lang, crash = drawn
            outcome, result, stage, _ = end
            reached = STAGES.index(stage)
            self.by_release[to] += n
            self.by_installer[installer] += n
            if result == 0:
                self.ok_by_release[to] += n
                self.ok_by_installer[installer] += n
            self.outcomes[outcome, result] += n
            if result not in (0, 6, 9):
                self.failed_by_stage[stage] += n
                self.failed_by_outcome[outcome, result] += n
            self.funnel["started"] += n
            for step, past in (("manifest", 1), ("package", 2), ("extracted", 3)):
                self.funnel[step] += n * (reached >= past)
            self.funnel["installed"] += n * (result in (0, 9))
            self.funnel["client started"] += n * (result == 0)
            for index, key in enumerate(STAGE_MS):
                self.timed[key] += n * (reached >= index)
            if proxy:
                self.proxy[proxy] += n
                self.source[source] += n
            self.resumed_of += n
            self.resumed += n * resumed
            self.quiet += n * quiet
            self.os[os_version] += n
            self.arch[arch] += n
            self.dpi[dpi] += n
            self.lang[lang] += n
            if crash:
                self.crashes[crash[:2]] += n
        return self


def combined_line(number, target):
    return (f'198.51.100.{number % 250 + 1} - - [10/Dec/2026:06:{number // 60 % 60:02d}:{number % 60:02d} +0000] '
            f'"GET {target} HTTP/1.1" 200 43 "-" "Quillmere-Installer"\n')


def cloudfront_line(number, path, query):
    return (f"2026-12-10\t06:{number // 60 % 60:02d}:{number % 60:02d}\tFRA56-P1\t480\t198.51.100.{number % 250 + 1}\t"
            f"GET\td111111abcdef8.cloudfront.net\t{path}\t200\t-\tQuillmere-Installer\t{query or '-'}\t-\tHit\t"
            f"req{number}\tdl.example.com\thttps\t512\t0.001\t-\tTLSv1.3\tTLS_AES_128_GCM_SHA256\tHit\tHTTP/1.1\t"
            f"-\t-\t51234\t0.001\tHit\timage/gif\t43\t-\t-\n")


def draw_run(t, expected, random, getrandbits):
    """One run's report as its query string, counted into expected."""
    release = t.releases[int(random() * 100)][0]
    installer = t.installers[int(random() * 100)][0]
    end = t.ends[release][int(random() * 100)]
    outcome, result, stage, _ = end
    http, net, msi, _ = t.codes.get(outcome, t.no_codes)[int(random() * 100)]
    reached = STAGES.index(stage)
    # A manifest that never arrived names no release.
    to = "" if outcome == "download" and stage == "manifest" else release
    t_manifest, t_package, t_extract, t_install = (
        table[int(random() * 100)][0] if reached >= index else "" for index, table in enumerate(t.stage_ms))
    received = resumed = 0
    proxy = source = ""
    if reached >= 1:
        received = t.speeds[int(random() * 100)][0] * t_package // 1000
        resumed = received // 3 if random() < RESUMED else 0
        proxy, source = t.proxies[int(random() * 100)][0], t.sources[int(random() * 100)][0]
        expected.speeds += 1
    quiet = 1 if random() < QUIET else 0
    crash = t.crashes[int(random() * 100)] if random() < CRASHED else None
    crash_code, crash_at = crash[:2] if crash else ("", "")
    os_version, arch = t.os[int(random() * 100)][0], t.arch[int(random() * 100)][0]
    dpi, lang = t.dpi[int(random() * 100)][0], t.lang[int(random() * 100)][0]
    expected.drawn[to, installer, end, quiet, resumed > 0, proxy, source, os_version, arch, dpi, lang, crash] += 1
    return (f"result={result}&stage={stage}&outcome={outcome}&v={installer}&from={t.from_[int(random() * 100)][0]}"
            f"&to={to}&id={getrandbits(128):032x}&quiet={quiet}&http={http}&net={net}&msi={msi}"
            f"&t_manifest={t_manifest}&t_package={t_package}&t_extract={t_extract}&t_install={t_install}"
            f"&bytes={received}&resumed={resumed}&tries={1 if reached >= 1 else 0}"
            f"&source={source}&proxy={proxy}&os={os_version}&arch={arch}&lang={lang}&dpi={dpi}"
            f"&crash={crash_code}&crash_at={crash_at.replace('+', '%2B')}")


def generate(out, lines, seed=35, cloudfront=False):
    """Writes `lines` log lines to the text stream out; returns the Expected figures."""
    tables = Tables()
    chance = random.Random(seed).random
    getrandbits = random.Random(seed + 1).getrandbits
    expected = Expected()
    expected.lines = lines
    if cloudfront:
        out.write(f"#Version: 1.0\n#Fields: {CLOUDFRONT_FIELDS}\n")
        expected.lines += 2
    previous = None
    write = out.write
    for number in range(lines):
        roll = chance()
        if roll < UNREADABLE:
            write(combined_line(number, "/r.gif")[:40] + "\n")  # a line cut short
            expected.unreadable += 1
            continue
        roll -= UNREADABLE
        if roll < OTHER:
            path, query = OTHER_PATHS[number % len(OTHER_PATHS)], ""
        elif roll < OTHER + BAD:
            path, query = "/r.gif", f"result=0&stage=done&id=not-a-run-{number}"
            expected.bad_reports += 1
        elif roll < OTHER + BAD + REPEATED and previous:
            path, query = previous
            expected.repeated += 1
        else:
            path, query = "/r.gif", draw_run(tables, expected, chance, getrandbits)
            previous = (path, query)
        write(cloudfront_line(number, path, query) if cloudfront
              else combined_line(number, f"{path}?{query}" if query else path))
    return expected.finish()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--lines", type=int, default=200000)
    parser.add_argument("--seed", type=int, default=35)
    parser.add_argument("--cloudfront", action="store_true", help="CloudFront's format instead of nginx's")
    args = parser.parse_args()
    generate(sys.stdout, args.lines, args.seed, args.cloudfront)


if __name__ == "__main__":
    main()
