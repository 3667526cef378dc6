"""publish.py verify --fetch against the test download server: the download host and its
mirrors on loopback (fronts before nginx instances of their own). Needs the server fixture;
ctest's test_publish_fetch runs it with QUILL_TEST_* naming the server."""

import os
import shutil
import tempfile
import unittest
import urllib.request

from publishtest import make_zip, run

WWW = os.environ.get("QUILL_TEST_SERVER_WWW", "")
CONTROL = os.environ.get("QUILL_TEST_SERVER_CONTROL", "")
HOST_PACKAGE = os.environ.get("QUILL_TEST_PACKAGE_ADDRESS", "")
# "address=folder" of each mirror, separated by "|".
MIRRORS = [tuple(item.split("=", 1)) for item in os.environ.get("QUILL_TEST_MIRRORS", "").split("|") if item]


def server(request):
    with urllib.request.urlopen(CONTROL + request, timeout=10) as answer:
        return answer.read().decode()


@unittest.skipUnless(WWW and CONTROL and HOST_PACKAGE and len(MIRRORS) == 2, "the test download server is not named")
class VerifyFetchTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp()
        cls.addClassCleanup(shutil.rmtree, cls.work)
        assert run("keygen", "--out", cls.work)[0] == 0
        cls.package = os.path.join(cls.work, "p.zip")
        with open(cls.package, "wb") as f:
            f.write(make_zip([("filler.bin", os.urandom(3 << 20))]))
        cls.out = os.path.join(cls.work, "srv")
        code, _, err = run("publish", cls.package, "--version", "2.0.1.5", "--key", f"{cls.work}/private.pem",
                           "--out", cls.out, *[arg for address, _ in MIRRORS for arg in ("--mirror", address)])
        assert code == 0, err

    def setUp(self):
        server("/reset")
        with open(self.package, "rb") as f:
            self.bytes = f.read()
        for folder in [WWW] + [folder for _, folder in MIRRORS]:
            self.place(folder, self.bytes)

    @staticmethod
    def place(folder, data):
        with open(os.path.join(folder, "quillmere.zip"), "wb") as f:
            f.write(data)

    def verify(self):
        return run("verify", self.out, "--public-key", f"{self.work}/public.pem", "--fetch", "--primary", HOST_PACKAGE)

    def test_every_address_that_serves_the_package_passes_and_each_that_does_not_is_named(self):
        (first, first_folder), (second, second_folder) = MIRRORS
        size = len(self.bytes)
        cases = [
            # (name, what is done to the servers, the addresses named as failing, what the report says of them)
            ("all serve it", lambda: None, [], []),
            ("other bytes of the same size", lambda: self.place(second_folder, os.urandom(size)), [second],
             [f"fetched {second}: SHA-256 "]),
            ("not found", lambda: server("/set?target=mirror1&mode=status&code=404"), [first],
             [f"fetched {first}: status 404"]),
            ("a body that never ends", lambda: server("/set?target=mirror1&mode=endless"), [first],
             [f"fetched {first}: more than {size} bytes"]),
            ("cut short without a length", lambda: server(f"/set?target=package&mode=close-cut&after={size // 2}"),
             [HOST_PACKAGE], [f"fetched {HOST_PACKAGE}: only {size // 2} bytes, not {size}"]),
            ("refusing connections", lambda: server("/set?target=mirror2&mode=down"), [second],
             [f"fetched {second}: cannot be fetched"]),
        ]
        for name, spoil, failing, said in cases:
            with self.subTest(name):
                self.setUp()
                spoil()
                code, out, err = self.verify()
                fetched = [line for line in out.splitlines() if line.startswith("fetched ")]
                self.assertEqual(len(fetched), 3, out)
                if not failing:
                    self.assertEqual(code, 0, err)
                    self.assertTrue(all(line.endswith(f"{size} bytes, sha256 matches") for line in fetched), out)
                    continue
                self.assertEqual(code, 1)
                self.assertIn(f"{len(failing)} of 3 addresses do not serve the package: {', '.join(failing)}", err)
                for text in said:
                    self.assertTrue(any(line.startswith(text) for line in fetched), out)
                self.assertEqual(sum(line.endswith("sha256 matches") for line in fetched), 3 - len(failing), out)


    def tearDown(self):
        server("/reset")


if __name__ == "__main__":
    unittest.main()
