#!/usr/bin/env python3
"""A release day of the online installer, simulated: how its package retries load the
download host and the mirrors when the host's package delivery fails for ten minutes.

A million people start the installer over a day, most in the late morning and the evening.
From 20:00 to 20:10 the download host refuses every package connection (the downloads in
progress there are cut, their bytes kept); the manifest, a few hundred bytes, is still
answered. A host serves at most so many downloads at once and answers 503 with
"Retry-After: 30" to the next. A run that fails leaves its part of the package for the next
run; its person runs the installer again with some probability a few minutes later.

Three ways to retry, each over the same people, start times and download times:
  today      the schedule of the landed build: the same host after fixed pauses that double
  jitter     pauses drawn at random below the doubling ceiling, Retry-After honoured
  mirrors    the same, and the two mirrors of the signed manifest after the host, in order

The retry constants (first pause, failures in a row, attempts, no-progress limit, the most a
Retry-After is honoured) are read from installation/engine/SetupTimings.h, so the simulation
cannot drift from the installer. It prints the peak requests per second at each host after
the recovery, the share of people and of runs that end in failure and the extra requests per
person, and plots requests per second at each host around the outage (PNG).

  python3 tools/retry_sim.py [--people N] [--seed S] [--plot docs/retry_sim.png]
"""

import argparse
import heapq
import os
import random
import re
import sys

import numpy as np

DAY = 86400
OUTAGE = (20 * 3600, 20 * 3600 + 600)
HOSTS = ("download host", "mirror 1", "mirror 2")
MEDIAN_DOWNLOAD_S = 30.0  # 48 MB at 1.6 MB/s
DOWNLOAD_SPREAD = 0.5     # sigma of its logarithm
BUSY_RETRY_AFTER_S = 30
RERUN_SHARE = 0.6         # of people whose run failed, the share who start it again
RERUN_DELAY_S = (60, 600)
MOST_RUNS = 4
TIMINGS = ("nFirstRetryPauseMs", "nTransferRetries", "nMaxTransferAttempts", "nNoProgressLimitMs",
           "nRetryAfterLimitMs")


def read_timings(source):
    """The retry constants as the installer's source sets them."""
    with open(source, encoding="utf-8") as f:
        text = f.read()
    found = {name: int(value) for name, value in
             re.findall(r"^\s*(?:long|int|DWORD|ULONGLONG)\s+(n\w+)\s*=\s*(\d+)\s*;", text, re.MULTILINE)}
    missing = [name for name in TIMINGS if name not in found]
    if missing:
        sys.exit(f"retry_sim: {source} does not set {', '.join(missing)}")
    return found


def daily_curve():
    """Relative start rate of each second of the day: a night low, a late-morning hump and
    an evening peak."""
    hours = np.arange(DAY) / 3600.0

    def bump(centre, width):
        return np.exp(-0.5 * ((hours - centre) / width) ** 2)

    return 0.15 + 0.6 * bump(11.0, 2.5) + 1.0 * bump(20.5, 1.8)


class Scenario:
    def __init__(self, name, jitter, honour_retry_after, hosts):
        self.name, self.jitter, self.honour, self.hosts = name, jitter, honour_retry_after, hosts


SCENARIOS = (Scenario("today", False, False, 1), Scenario("jitter", True, True, 1),
             Scenario("mirrors", True, True, 3))


def simulate(scenario, starts, durations, capacities, timings, seed):
    """Runs the day; returns (requests per second per host, runs, failed runs, people whose
    last run failed)."""
    rng = random.Random(seed)
    first_pause = timings["nFirstRetryPauseMs"] / 1000.0
    retries = timings["nTransferRetries"]
    most_attempts = timings["nMaxTransferAttempts"]
    no_progress = timings["nNoProgressLimitMs"] / 1000.0
    wait_limit = timings["nRetryAfterLimitMs"] / 1000.0
    horizon = DAY + 4 * 3600
    requests = [[0] * horizon for _ in range(scenario.hosts)]
    busy = [[] for _ in range(scenario.hosts)]  # end times of the downloads each host serves
    remaining = [1.0] * len(starts)             # of each person's package, still to come
    runs_of = [0] * len(starts)
    failed_last = set()
    events = []  # (time, order, person, run state)
    order = 0
    runs = failed_runs = 0
    arrival = 0

    def pause_ceiling(failures):
        return first_pause * (1 << min(max(failures, 1) - 1, 16))

    def end_run(person, now, failed):
        nonlocal runs, failed_runs
        runs += 1
        if not failed:
            failed_last.discard(person)
            return
        failed_runs += 1
        failed_last.add(person)
        if runs_of[person] < MOST_RUNS and rng.random() < RERUN_SHARE:
            start_run(person, now + rng.uniform(*RERUN_DELAY_S))

    def start_run(person, now):
        nonlocal order
        runs_of[person] += 1
        # attempts, failures in a row, host, time of the last progress
        order += 1
        heapq.heappush(events, (now, order, person, [0, 0, 0, now, True]))

    def attempt(now, person, state):
        nonlocal order
        if state[4]:  # a new run asks the download host for the manifest first
            state[4] = False
            requests[0][int(now)] += 1
        host = state[2]
        requests[host][int(now)] += 1
        state[0] += 1
        ends = busy[host]
        while ends and ends[0] <= now:
            heapq.heappop(ends)
        asked_wait = 0.0
        if host == 0 and OUTAGE[0] <= now < OUTAGE[1]:
            progressed = False
        elif len(ends) >= capacities[host]:
            progressed = False
            asked_wait = BUSY_RETRY_AFTER_S
        else:
            finish = now + remaining[person] * durations[person]
            if host == 0 and now < OUTAGE[0] < finish:
                # Cut when the host goes down; what arrived stays.
                heapq.heappush(ends, OUTAGE[0])
                remaining[person] -= (OUTAGE[0] - now) / durations[person]
                order += 1
                state[3] = OUTAGE[0]
                state[1] = 0
                heapq.heappush(events, (OUTAGE[0], order, person, state + ["cut"]))
                return
            heapq.heappush(ends, finish)
            remaining[person] = 0.0
            end_run(person, finish, False)
            return
        failed(now, person, state, progressed, asked_wait)

    def failed(now, person, state, progressed, asked_wait):
        nonlocal order
        attempts, failures = state[0], state[1]
        if progressed:
            state[3] = now
        moving_on = scenario.hosts > 1 and state[2] + 1 < scenario.hosts
        if not moving_on:
            failures = 1 if progressed else failures + 1
        if failures > retries or attempts >= most_attempts or now - state[3] >= no_progress:
            end_run(person, now, True)
            return
        state[1] = failures
        if moving_on:
            state[2] += 1
            pause = 0.0
        else:
            state[2] = 0
            ceiling = pause_ceiling(failures)
            pause = rng.uniform(0, ceiling) if scenario.jitter else ceiling
        if scenario.honour and asked_wait:
            pause = max(pause, min(asked_wait, wait_limit))
        order += 1
        heapq.heappush(events, (now + pause, order, person, state))

    while arrival < len(starts) or events:
        if arrival < len(starts) and (not events or starts[arrival] <= events[0][0]):
            start_run(arrival, starts[arrival])
            arrival += 1
            continue
        now, _, person, state = heapq.heappop(events)
        if len(state) == 6:  # a download cut by the outage
            failed(now, person, state[:5], True, 0.0)
        else:
            attempt(now, person, state)
    return np.array(requests), runs, failed_runs, len(failed_last)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--people", type=int, default=1000000)
    parser.add_argument("--seed", type=int, default=20240601)
    parser.add_argument("--timings", default=os.path.join(top, "installation", "engine", "SetupTimings.h"))
    parser.add_argument("--plot", metavar="PNG", help="where to draw requests per second around the outage")
    args = parser.parse_args()
    timings = read_timings(args.timings)

    rng = np.random.default_rng(args.seed)
    curve = daily_curve()
    starts = np.sort(rng.choice(DAY, size=args.people, p=curve / curve.sum()) + rng.random(args.people))
    durations = np.exp(np.log(MEDIAN_DOWNLOAD_S) + DOWNLOAD_SPREAD * rng.standard_normal(args.people))
    # Capacity with room for the ordinary evening peak at the host; each mirror half of that.
    peak_load = curve.max() / curve.sum() * args.people * durations.mean()
    capacities = (int(1.5 * peak_load), int(0.75 * peak_load), int(0.75 * peak_load))

    print("constants from %s: %s" % (os.path.relpath(args.timings, top),
                                    ", ".join("%s=%d" % (name, timings[name]) for name in TIMINGS)))
    print("%d people; downloads at once at the evening peak about %d; the host serves %d, each mirror %d"
          % (args.people, peak_load, capacities[0], capacities[1]))
    results = {}
    for scenario in SCENARIOS:
        requests, runs, failed_runs, failed_people = simulate(scenario, starts.tolist(), durations.tolist(),
                                                              capacities, timings, args.seed)
        results[scenario.name] = requests
        after = slice(OUTAGE[1], OUTAGE[1] + 1800)
        outage = slice(OUTAGE[0], OUTAGE[1])
        before = slice(OUTAGE[0] - 1800, OUTAGE[0])

        def peaks(span):
            return ", ".join("%s %d" % (HOSTS[h], requests[h][span].max()) for h in range(len(requests)))

        print("%s:\n  peak requests/s: before the outage %s; during it %s; in the 30 min after it %s\n"
              "  people whose last run failed %.3f %%, runs that failed %.3f %%, extra requests per person %.3f"
              % (scenario.name, peaks(before), peaks(outage), peaks(after), 100.0 * failed_people / args.people,
                 100.0 * failed_runs / runs, requests.sum() / args.people - 2))
    if args.plot:
        plot(results, args.plot)


def plot(results, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    first, last = OUTAGE[0] - 5 * 60, OUTAGE[1] + 25 * 60
    minutes = (np.arange(first, last) - OUTAGE[0]) / 60.0
    figure, axes = plt.subplots(len(results), 1, sharex=True, sharey=True, figsize=(9, 7.5))
    titles = {"today": "today: fixed pauses, the download host only",
              "jitter": "pauses drawn below the ceiling, Retry-After honoured",
              "mirrors": "the same, and the manifest's two mirrors"}
    colours = ("#1f5fa8", "#d9822b", "#3a9a4a")
    for axis, (name, requests) in zip(axes, results.items()):
        for host in range(len(requests)):
            axis.plot(minutes, requests[host][first:last], lw=0.7, color=colours[host], label=HOSTS[host])
        axis.axvspan(0, (OUTAGE[1] - OUTAGE[0]) / 60.0, color="#cccccc", alpha=0.5, lw=0)
        axis.set_title(titles[name], fontsize=10, loc="left")
        axis.set_ylabel("requests/s")
        axis.grid(alpha=0.3)
        axis.legend(loc="upper right", fontsize=8)
    axes[-1].set_xlabel("minutes after 20:00 (grey: the download host refuses package connections)")
    figure.tight_layout()
    figure.savefig(path, dpi=110)
    print("plot: %s" % path)


if __name__ == "__main__":
    main()
