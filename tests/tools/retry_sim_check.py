"""tools/retry_sim.py: it takes its constants from the installer's source and refuses to run
without them, and its day tells the three ways of retrying apart. Needs Debian's numpy."""

import os
import sys
import tempfile
import unittest

import numpy as np

TOOLS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
sys.path.insert(0, TOOLS)

import retry_sim  # noqa: E402

SOURCE = os.path.join(os.path.dirname(TOOLS), "installation", "engine", "SetupTimings.h")


class RetrySimTest(unittest.TestCase):
    def test_a_constant_the_source_no_longer_sets_stops_the_simulation(self):
        with open(SOURCE, encoding="utf-8") as f:
            text = f.read()
        self.assertTrue(set(retry_sim.read_timings(SOURCE)).issuperset(retry_sim.TIMINGS))
        with tempfile.NamedTemporaryFile("w", suffix=".h") as renamed:
            renamed.write(text.replace("nRetryAfterLimitMs", "nRetryAfterMostMs"))
            renamed.flush()
            with self.assertRaises(SystemExit) as stopped:
                retry_sim.read_timings(renamed.name)
        self.assertIn("nRetryAfterLimitMs", str(stopped.exception))

    def test_mirrors_carry_the_outage_and_the_other_schedules_lose_people_to_it(self):
        timings = retry_sim.read_timings(SOURCE)
        rng = np.random.default_rng(7)
        people = 30000
        # Everyone starts in the hour around the outage, so it touches many of them.
        starts = np.sort(retry_sim.OUTAGE[0] - 1800 + 3600 * rng.random(people)).tolist()
        durations = [30.0] * people
        capacities = (people, people, people)
        failed = {}
        for scenario in retry_sim.SCENARIOS:
            requests, runs, failed_runs, failed_people = retry_sim.simulate(scenario, starts, durations, capacities,
                                                                            timings, 7)
            self.assertEqual(len(requests), scenario.hosts)
            self.assertGreaterEqual(requests.sum(), 2 * people, "a person makes at least two requests")
            failed[scenario.name] = failed_people
        self.assertGreater(failed["today"], people // 20)
        self.assertGreater(failed["jitter"], people // 20)
        self.assertEqual(failed["mirrors"], 0)


if __name__ == "__main__":
    unittest.main()
