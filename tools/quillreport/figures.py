"""The release's health as plain figures (counts, shares, percentiles): what the text, the JSON
output and the picture all show."""

import re
from collections import Counter
from urllib.parse import unquote_to_bytes

from .runs import AXES, NOT_FAILED, RESUMED_NONE, RESUMED_SOME

STAGES_PAST = {"manifest": ("package", "extract", "install", "done"),
               "package": ("extract", "install", "done"),
               "extracted": ("install", "done")}
INSTALLED = (0, 9)
ESCAPE = re.compile(rb"%[0-9A-Fa-f]{2}")
AXIS = {name: index for index, name in enumerate(AXES)}


def text(raw):
    """A query value as text. A CDN may escape the query once more when it writes its log; no value
    the installer sends holds a "%" of its own, so a second round of escapes is undone too."""
    for _ in range(2):
        if not ESCAPE.search(raw):
            break
        raw = unquote_to_bytes(raw)
    return raw.decode("utf-8", "replace")


def decoded(counter):
    """The counter with its keys' byte strings as text (a result as its number); keys that
    differ only in their escapes are merged."""
    def value(part):
        return text(part) if isinstance(part, bytes) else part

    merged = Counter()
    for key, count in counter.items():
        merged[tuple(map(value, key)) if isinstance(key, tuple) else value(key)] += count
    return merged


def by(runs, *names):
    """Runs counted along some axes only."""
    places = [AXIS[name] for name in names]
    counted = Counter()
    for key, n in runs.items():
        counted[tuple(key[place] for place in places) if len(places) > 1 else key[places[0]]] += n
    return counted


def share(part, whole):
    return round(part / whole, 6) if whole else None


def percentile(histogram, p):
    """Nearest rank over (value, runs) pairs in ascending order: the smallest value that at least
    p% of the runs do not exceed."""
    total = sum(n for _, n in histogram)
    rank = max(1, -(-p * total // 100))
    seen = 0
    for value, n in histogram:
        seen += n
        if seen >= rank:
            return value
    return None


def version_order(version):
    """Newest first; text that is no version after the versions, the empty one (no manifest read) last."""
    parts = version.split(".")
    if version and all(part.isdigit() for part in parts):
        return (0, [-int(part) for part in parts])
    return (1 if version else 2, version)


def spread(counter, whole):
    rows = sorted(counter.items(), key=lambda item: (-item[1], item[0]))
    return [{"value": value, "runs": n, "share": share(n, whole)} for value, n in rows]


def rate_rows(runs, axis):
    totals = by(runs, axis)
    good = Counter({key[0]: n for key, n in by(runs, axis, "result").items() if key[1] == 0})
    return [{axis: value, "runs": totals[value], "succeeded": good[value], "rate": share(good[value], totals[value])}
            for value in sorted(totals, key=version_order)]


def road_share(counter, usual):
    """Runs that took another road than the usual one, of the runs that said which road they took."""
    said = Counter({value: n for value, n in counter.items() if value})
    whole = sum(said.values())
    other = whole - said[usual]
    return {"runs": other, "of": whole, "share": share(other, whole), "kinds": spread(said, whole)}


def timing(histogram):
    ordered = sorted(histogram.items())
    return {"runs": sum(histogram.values()), "p50": percentile(ordered, 50), "p95": percentile(ordered, 95)}


def milliseconds(raw_counts):
    histogram = Counter()
    for value, n in raw_counts.items():
        histogram[int(value)] += n
    return timing(histogram)


def funnel(runs, total):
    stages, results = by(runs, "stage"), by(runs, "result")
    steps = [("started", total)]
    steps += [(step, sum(stages[stage] for stage in past)) for step, past in STAGES_PAST.items()]
    steps += [("installed", sum(results[result] for result in INSTALLED)), ("client started", results[0])]
    return [{"step": step, "runs": n, "share": share(n, total)} for step, n in steps]


def failures(runs, codes):
    ends = by(runs, "stage", "outcome", "result")
    by_stage, by_outcome = Counter(), Counter()
    for (stage, outcome, result), n in ends.items():
        if result not in NOT_FAILED:
            by_stage[stage] += n
            by_outcome[outcome, result] += n
    failed = sum(by_stage.values())
    return {
        "runs": failed,
        "by_stage": [{"stage": row["value"], "runs": row["runs"], "share": row["share"]}
                     for row in spread(by_stage, failed)],
        "by_outcome": [{"outcome": outcome, "result": result, "runs": n, "share": share(n, failed)}
                       for (outcome, result), n in sorted(by_outcome.items(), key=lambda item: (-item[1], item[0]))],
        "by_code": [{"outcome": outcome, "http": http, "net": net, "msi": msi, "runs": n, "share": share(n, failed)}
                    for (outcome, http, net, msi), n in sorted(codes.items(), key=lambda item: (-item[1], item[0]))],
    }


def releases(runs):
    """Each release's success rate, funnel and failed runs by outcome."""
    rows = rate_rows(runs, "to")
    for row in rows:
        mine = Counter({key: n for key, n in runs.items() if key[0] == row["to"]})
        row["funnel"] = funnel(mine, row["runs"])
        row["failed"] = {outcome: n for (result, outcome), n in sorted(by(mine, "result", "outcome").items())
                         if result not in NOT_FAILED}
    return rows


def health(tally, reader):
    runs = Counter({key[:3] + (int(key[3]),) + key[4:]: n for key, n in decoded(tally.runs).items()})
    total = tally.count
    results, outcomes = by(runs, "result"), by(runs, "outcome", "result")
    quiet = by(runs, "quiet")
    quiet_said = quiet["0"] + quiet["1"]
    resumed = by(runs, "resumed")
    resumed_said = resumed[RESUMED_NONE] + resumed[RESUMED_SOME]
    crashes = decoded(tally.crashes)
    crashed = sum(crashes.values())
    return {
        "input": {"lines": reader.lines, "bytes": reader.bytes, "unreadable": reader.unreadable,
                  "bad_reports": reader.bad_reports, "repeated": tally.repeated,
                  "examples": reader.examples, "problems": reader.problems},
        "runs": total,
        "succeeded": results[0],
        "success_rate": share(results[0], total),
        "by_release": releases(runs),
        "by_installer": rate_rows(runs, "v"),
        "results": [{"result": result, "runs": n, "share": share(n, total)} for result, n in sorted(results.items())],
        "outcomes": [{"outcome": outcome, "result": result, "runs": n, "share": share(n, total)}
                     for (outcome, result), n in sorted(outcomes.items(), key=lambda item: (-item[1], item[0]))],
        "failures": failures(runs, decoded(tally.codes)),
        "funnel": funnel(runs, total),
        "stage_ms": {stage: milliseconds(counts) for stage, counts in tally.stage_ms.items()},
        "speed_bytes_per_s": timing(Counter(tally.speeds)),
        "resumed": {"runs": resumed[RESUMED_SOME], "of": resumed_said,
                    "share": share(resumed[RESUMED_SOME], resumed_said)},
        "proxy": road_share(by(runs, "proxy"), "direct"),
        "mirror": road_share(by(runs, "source"), "primary"),
        "quiet": {"runs": quiet["1"], "of": quiet_said, "share": share(quiet["1"], quiet_said)},
        "os": spread(by(runs, "os"), total),
        "arch": spread(by(runs, "arch"), total),
        "dpi": spread(by(runs, "dpi"), total),
        "lang": spread(by(runs, "lang"), total),
        "crashes": {"runs": crashed, "share": share(crashed, total),
                    "by_place": [{"code": code, "at": at, "runs": n}
                                 for (code, at), n in sorted(crashes.items(), key=lambda item: (-item[1], item[0]))]},
    }
