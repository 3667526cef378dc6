"""Run reports tallied once per run id, in the log's raw bytes: counters and one list of speeds."""

import re
from array import array
from collections import Counter

# The report keys read, in the order a run's values are handed around.
KEYS = (b"result", b"stage", b"outcome", b"v", b"to", b"id", b"quiet", b"http", b"net", b"msi",
        b"t_manifest", b"t_package", b"t_extract", b"t_install", b"bytes", b"resumed",
        b"source", b"proxy", b"os", b"arch", b"dpi", b"lang", b"crash", b"crash_at")
NUMBERS = {b"t_manifest", b"t_package", b"t_extract", b"t_install", b"bytes", b"resumed"}
STAGE_TIMES = ("manifest", "package", "extract", "install")
VALUE_PATTERNS = {b"id": rb"([0-9a-f]{32})", b"result": rb"([0-9])", **{key: rb"([0-9]*)" for key in NUMBERS}}
HEX_DIGITS = b"0123456789abcdef"
# Results that are neither a success (0) nor a failure: 6 kept the installed client, 9 installed
# and waits for a restart.
NOT_FAILED = {0, 6, 9}
NOT_FAILED_RAW = {b"0", b"6", b"9"}
# The axes of one run counted in `Runs.runs`, in this order.
AXES = ("to", "v", "stage", "result", "outcome", "quiet", "proxy", "source", "os", "arch", "dpi", "lang", "resumed")
# `resumed` on that axis: the run did not say, said none, resumed some.
RESUMED_UNSAID, RESUMED_NONE, RESUMED_SOME = 0, 1, 2
SHAPES_KEPT = 16


class Shape:
    """One order of keys in a query, read by a single match that also checks every value, so the
    reports of one installer build (whose keys always come in one order) cost one regex call each."""

    def __init__(self, order):
        parts = []
        for key in order:
            pattern = VALUE_PATTERNS.get(key, rb"([^&]*)" if key in KEYS else rb"[^&]*")
            parts.append(re.escape(key) + b"=" + pattern)
        # The empty group at the end stands for the keys this order lacks: they read as empty.
        self.match = re.compile(b"&".join(parts) + b"()").fullmatch
        captured = [key for key in order if key in KEYS]
        self.groups = [captured.index(key) + 1 if key in captured else len(captured) + 1 for key in KEYS]


class Runs:
    def __init__(self):
        self.seen = set()
        self.repeated = 0
        # Every run by its axes: as large as the combinations of their values, not as the number of runs.
        self.runs = Counter()
        self.codes = Counter()  # failed runs by (outcome, http, net, msi)
        self.stage_ms = {stage: Counter() for stage in STAGE_TIMES}  # raw milliseconds -> runs
        self._manifest_ms, self._package_ms, self._extract_ms, self._install_ms = self.stage_ms.values()
        self.speeds = array("d")  # bytes per second
        self.crashes = Counter()  # (code, place)
        self.shapes = {}
        self.shape = None

    def add(self, query):
        """Takes one report's query string; False when it cannot be read as a run."""
        shape = self.shape
        matched = shape.match(query) if shape is not None else None
        if matched is not None:
            values = matched.group(*shape.groups)
        else:
            values = self._other_shape(query)
            if values is None:
                return False
        (result, stage, outcome, v, to, run_id, quiet, http, net, msi, t_manifest, t_package, t_extract, t_install,
         received, resumed, source, proxy, os_version, arch, dpi, lang, crash, crash_at) = values
        seen = self.seen
        if run_id in seen:
            # The same run again: a CDN that delivered a log twice, or two servers' logs read together.
            self.repeated += 1
            return True
        seen.add(run_id)
        said = (RESUMED_SOME if resumed.strip(b"0") else RESUMED_NONE) if resumed else RESUMED_UNSAID
        self.runs[to, v, stage, result, outcome, quiet, proxy, source, os_version, arch, dpi, lang, said] += 1
        if result not in NOT_FAILED_RAW:
            self.codes[outcome, http, net, msi] += 1
        if t_manifest:
            self._manifest_ms[t_manifest] += 1
        if t_package:
            self._package_ms[t_package] += 1
            if received:
                package_ms, received = int(t_package), int(received)
                if package_ms and received:
                    self.speeds.append(received * 1000 / package_ms)
        if t_extract:
            self._extract_ms[t_extract] += 1
        if t_install:
            self._install_ms[t_install] += 1
        if crash:
            self.crashes[crash, crash_at] += 1
        return True

    def _other_shape(self, query):
        """The values of a query in another order of keys than the last one's."""
        for shape in self.shapes.values():
            matched = shape.match(query)
            if matched is not None:
                self.shape = shape
                return matched.group(*shape.groups)
        return self._parse(query)

    def _parse(self, query):
        """Any query, checked key by key; learns its key order for the next reports."""
        fields = {}
        pairs = query.split(b"&")
        whole = True
        for pair in pairs:
            key, equals, value = pair.partition(b"=")
            fields[key] = value
            whole = whole and bool(equals)
        run_id, result = fields.get(b"id"), fields.get(b"result")
        if (run_id is None or len(run_id) != 32 or run_id.translate(None, HEX_DIGITS)
                or result is None or len(result) != 1 or not result.isdigit()):
            return None
        if any(fields.get(key) and not fields[key].isdigit() for key in NUMBERS):
            return None
        order = tuple(fields)
        if whole and len(order) == len(pairs) and order not in self.shapes and len(self.shapes) < SHAPES_KEPT:
            self.shape = self.shapes[order] = Shape(order)
        return tuple(fields.get(key, b"") for key in KEYS)

    @property
    def count(self):
        return len(self.seen)
