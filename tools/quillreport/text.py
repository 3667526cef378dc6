"""The figures as a plain-text page for a person."""

import re

SPREAD_ROWS = 8
FIGURE = re.compile(r"[-0-9.,%]+")
NONE = "(none)"


def pct(value):
    return "-" if value is None else f"{value * 100:.1f}%"


def name(value):
    return value if value != "" else NONE


def count(n):
    return f"{n:,}"


class Page:
    def __init__(self):
        self.lines = []

    def heading(self, title):
        if self.lines:
            self.lines.append("")
        self.lines.append(title)

    def table(self, header, rows):
        """The first column names the rows; other columns of figures go to the right."""
        rows = [header] + [[str(cell) for cell in row] for row in rows]
        widths = [max(len(row[i]) for row in rows) for i in range(len(header))]
        figures = [i > 0 and all(FIGURE.fullmatch(row[i]) for row in rows[1:]) for i in range(len(header))]
        for row in rows:
            cells = [cell.rjust(width) if figure else cell.ljust(width)
                     for cell, width, figure in zip(row, widths, figures)]
            self.lines.append("  " + "  ".join(cells).rstrip())

    def line(self, text):
        self.lines.append("  " + text)


def spread_rows(rows):
    shown = rows[:SPREAD_ROWS]
    rest = rows[SPREAD_ROWS:]
    table = [[name(row["value"]), count(row["runs"]), pct(row["share"])] for row in shown]
    if rest:
        table.append([f"({len(rest)} others)", count(sum(row["runs"] for row in rest)),
                      pct(sum(row["share"] or 0 for row in rest))])
    return table


def road(label, figures, usual):
    kinds = ", ".join(f"{row['value']} {pct(row['share'])}" for row in figures["kinds"] if row["value"] != usual)
    detail = f" ({kinds})" if kinds else ""
    return f"{label}: {pct(figures['share'])} of {count(figures['of'])} runs{detail}"


def milliseconds(value):
    return "-" if value is None else count(value)


def megabytes_per_s(value):
    return "-" if value is None else f"{value / 1e6:.2f}"


def render(health):
    page = Page()
    source = health["input"]
    page.heading(f"Release health: {count(health['runs'])} runs, {pct(health['success_rate'])} succeeded (result 0)")
    page.line(f"{count(source['lines'])} log lines; {count(source['unreadable'])} unreadable, "
              f"{count(source['bad_reports'])} reports with missing or bad keys, "
              f"{count(source['repeated'])} repeated run ids counted once")
    for kind, places in source["examples"].items():
        if places:
            page.line(f"{kind}: {', '.join(places)}{' ...' if len(places) >= 3 else ''}")
    for problem in source["problems"]:
        page.line(problem)
    if not health["runs"]:
        page.line("no run reports: is the report address's path right (--path)?")
        return "\n".join(page.lines) + "\n"

    for title, key in (("By release (to)", "to"), ("By installer version (v)", "v")):
        page.heading(title)
        page.table([key, "runs", "succeeded", "rate"],
                   [[name(row[key]), count(row["runs"]), count(row["succeeded"]), pct(row["rate"])]
                    for row in health[f"by_{'release' if key == 'to' else 'installer'}"]])

    page.heading("How runs ended")
    page.table(["outcome", "result", "runs", "share"],
               [[name(row["outcome"]), row["result"], count(row["runs"]), pct(row["share"])]
                for row in health["outcomes"]])

    failed = health["failures"]
    page.heading(f"Failures: {count(failed['runs'])} runs (result 1-5, 7, 8)")
    if failed["runs"]:
        page.table(["stage", "runs", "share"],
                   [[name(row["stage"]), count(row["runs"]), pct(row["share"])] for row in failed["by_stage"]])
        page.table(["outcome", "result", "runs", "share"],
                   [[name(row["outcome"]), row["result"], count(row["runs"]), pct(row["share"])]
                    for row in failed["by_outcome"]])
        codes = failed["by_code"]
        page.table(["outcome", "http", "net", "msi", "runs", "share"],
                   [[name(row["outcome"]), row["http"] or "-", row["net"] or "-", row["msi"] or "-",
                     count(row["runs"]), pct(row["share"])] for row in codes[:SPREAD_ROWS]])
        if len(codes) > SPREAD_ROWS:
            page.line(f"({len(codes) - SPREAD_ROWS} other code combinations)")

    page.heading("Funnel")
    page.table(["step", "runs", "share"],
               [[row["step"], count(row["runs"]), pct(row["share"])] for row in health["funnel"]])

    page.heading("Durations")
    rows = [[stage, count(t["runs"]), milliseconds(t["p50"]), milliseconds(t["p95"])]
            for stage, t in health["stage_ms"].items()]
    page.table(["stage (ms)", "runs", "p50", "p95"], rows)
    speed = health["speed_bytes_per_s"]
    page.table(["download (MB/s)", "runs", "p50", "p95"],
               [["speed", count(speed["runs"]), megabytes_per_s(speed["p50"]), megabytes_per_s(speed["p95"])]])

    page.heading("Roads")
    resumed, quiet = health["resumed"], health["quiet"]
    page.line(f"resumed: {pct(resumed['share'])} of {count(resumed['of'])} runs")
    page.line(road("proxy", health["proxy"], "direct"))
    page.line(road("mirror", health["mirror"], "primary"))
    page.line(f"quiet: {pct(quiet['share'])} of {count(quiet['of'])} runs")

    for title, key in (("Windows version", "os"), ("Architecture", "arch"), ("DPI", "dpi"), ("UI language", "lang")):
        page.heading(title)
        page.table([key, "runs", "share"], spread_rows(health[key]))

    crashes = health["crashes"]
    page.heading(f"Previous run crashed: {count(crashes['runs'])} runs ({pct(crashes['share'])})")
    if crashes["runs"]:
        page.table(["code", "at", "runs"],
                   [[row["code"], name(row["at"]), count(row["runs"])] for row in crashes["by_place"][:SPREAD_ROWS]])
    return "\n".join(page.lines) + "\n"
