"""The picture of a release's health: the funnel of every run, and what failed per release."""

from collections import Counter

from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure
from PIL import Image  # python3-pil, which matplotlib itself depends on

RELEASES_SHOWN = 8
RELEASES_IN_FUNNEL = 4
# One colour per failure outcome, the same in every picture.
OUTCOME_COLOURS = {"download": "#4e79a7", "clock": "#a0cbe8", "damaged": "#f28e2b", "disk": "#ffbe7d",
                   "installer": "#e15759", "replace": "#ff9d9a", "putback": "#b07aa1", "restored": "#59a14f"}
OTHER_COLOURS = ["#9c755f", "#bab0ac", "#76b7b2", "#edc948", "#d37295"]
RELEASE_MARKERS = ["o", "s", "^", "D"]
FUNNEL_COLOUR = "#c9d6e3"


def percent(value):
    return f"{value * 100:.1f}%"


def draw_funnel(axes, health):
    steps = health["funnel"]
    labels = [step["step"] for step in steps]
    rows = range(len(steps))
    shares = [(step["share"] or 0) * 100 for step in steps]
    axes.barh(rows, shares, color=FUNNEL_COLOUR, height=0.6, label=f"all runs ({health['runs']:,})")
    for row, step in zip(rows, steps):
        axes.text(1, row, f"{step['runs']:,}  {percent(step['share'] or 0)}", va="center", fontsize=8)
    releases = [row for row in health["by_release"] if row["to"]][:RELEASES_IN_FUNNEL]
    for marker, release in zip(RELEASE_MARKERS, releases):
        axes.plot([(step["share"] or 0) * 100 for step in release["funnel"]], rows, marker=marker, linestyle="none",
                  markersize=6, label=f"{release['to']} ({release['runs']:,} runs)")
    axes.set_yticks(list(rows), labels)
    axes.invert_yaxis()
    axes.set_xlim(0, 105)
    axes.set_xlabel("share of runs started (%)")
    axes.set_title("How far runs got")
    axes.legend(loc="upper center", bbox_to_anchor=(0.5, -0.16), ncol=3, fontsize=7, frameon=False)


def draw_causes(axes, health):
    releases = [row for row in health["by_release"] if row["to"]]
    shown, older = releases[:RELEASES_SHOWN], releases[RELEASES_SHOWN:]
    if older:
        failed = Counter()
        for row in older:
            failed.update(row["failed"])
        shown.append({"to": f"{len(older)} older", "runs": sum(row["runs"] for row in older), "failed": failed})
    present = {outcome for row in shown for outcome in row["failed"]}
    outcomes = [outcome for outcome in OUTCOME_COLOURS if outcome in present] + sorted(present - set(OUTCOME_COLOURS))
    spare = iter(OTHER_COLOURS * 4)
    colours = {outcome: OUTCOME_COLOURS.get(outcome) or next(spare) for outcome in outcomes}
    rows = range(len(shown))
    left = [0.0] * len(shown)
    for outcome in outcomes:
        widths = [row["failed"].get(outcome, 0) / row["runs"] * 100 for row in shown]
        axes.barh(rows, widths, left=left, height=0.6, color=colours[outcome], label=outcome or "(none)")
        left = [a + b for a, b in zip(left, widths)]
    for row, total in zip(rows, left):
        axes.text(total + 0.3, row, f"{total:.1f}%", va="center", fontsize=8)
    axes.set_yticks(list(rows), [f"{row['to']}\n{row['runs']:,} runs" for row in shown], fontsize=8)
    axes.invert_yaxis()
    axes.set_xlim(0, max(left + [1]) * 1.2)
    axes.set_xlabel("failed runs, share of the release's runs (%)")
    axes.set_title("Failures per release, by outcome")
    if outcomes:
        axes.legend(loc="upper left", bbox_to_anchor=(1.0, 1.0), fontsize=7, frameon=False)
    unnamed = next((row for row in health["by_release"] if not row["to"]), None)
    if unnamed:
        causes = ", ".join(f"{outcome} {n:,}" for outcome, n in sorted(unnamed["failed"].items(), key=lambda i: -i[1]))
        axes.annotate(f"{unnamed['runs']:,} runs read no manifest, so name no release"
                      + (f" ({causes})" if causes else ""),
                      xy=(0, -0.2), xycoords="axes fraction", va="top", fontsize=7)


def draw(health, path):
    # Drawn off screen by Agg, with no pyplot state: nothing needs a display.
    figure = Figure(figsize=(11, 4.8), dpi=100)
    canvas = FigureCanvasAgg(figure)
    funnel, causes = figure.subplots(1, 2, gridspec_kw={"width_ratios": [1, 1.1]})
    rate = health["success_rate"]
    figure.suptitle(f"Release health: {health['runs']:,} runs, "
                    f"{percent(rate) if rate is not None else '-'} succeeded", fontsize=11)
    draw_funnel(funnel, health)
    draw_causes(causes, health)
    figure.tight_layout()
    canvas.draw()
    picture = Image.frombuffer("RGBA", canvas.get_width_height(), canvas.buffer_rgba())
    # A dozen flat colours and their anti-aliased edges fit a palette of 64 with nothing visible
    # lost, and the file is a third of the size.
    picture.convert("RGB").quantize(colors=64, method=Image.Quantize.MEDIANCUT).save(path, format="PNG", optimize=True)
