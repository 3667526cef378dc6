#!/usr/bin/python3
"""Reads the installer's run reports from web server or CDN access logs and prints the release's health."""

import argparse
import json
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from quillreport import figures, logs, runs, text  # noqa: E402

EXIT_OK, EXIT_FAILED = 0, 1  # argparse itself exits with 2 on a usage error
EPILOG = """formats: nginx/Apache combined, CloudFront standard (tab-separated, with its #Fields line);
plain or gzip, told apart by their first bytes.

exit codes:
  0  done (lines that could not be read are counted in the output, not an error)
  1  a source could not be opened or ended damaged (the figures cover what was read),
     or the picture could not be drawn
  2  usage error"""


def parser():
    top = argparse.ArgumentParser(prog="report.py", description=__doc__, epilog=EPILOG,
                                  formatter_class=argparse.RawDescriptionHelpFormatter)
    top.add_argument("logs", nargs="*", default=["-"], metavar="LOG",
                     help="access log files, plain or .gz; - (the default) reads standard input")
    top.add_argument("--path", metavar="PATH",
                     help="the report address's path, e.g. /r.gif (default: any GET whose query has result= and id=)")
    top.add_argument("--json", action="store_true", help="print the figures as JSON instead of text")
    top.add_argument("--png", metavar="FILE", help="also draw the funnel and the failure causes per release")
    return top


def main(argv=None):
    args = parser().parse_args(argv)
    if args.path is not None and not args.path.startswith("/"):
        parser().error(f"--path {args.path!r} does not start with /")
    chart = None
    if args.png:
        try:
            from quillreport import chart  # only the picture needs matplotlib
        except ImportError as error:
            print(f"report: --png needs Debian's python3-matplotlib under {sys.executable}: {error}", file=sys.stderr)
            return EXIT_FAILED
    reader, tally = logs.LogReader(args.path), runs.Runs()
    started = time.perf_counter()
    for name in args.logs:
        reader.read(name, tally.add)
    seconds = time.perf_counter() - started
    health = figures.health(tally, reader)
    if args.json:
        json.dump(health, sys.stdout, indent=1, ensure_ascii=False)
        sys.stdout.write("\n")
    else:
        sys.stdout.write(text.render(health))
    megabytes = reader.bytes / 1e6
    print(f"report: read {megabytes:,.1f} MB, {reader.lines:,} lines in {seconds:.2f} s"
          f" ({megabytes / seconds if seconds else 0:,.1f} MB/s)", file=sys.stderr)
    if chart:
        try:
            chart.draw(health, args.png)
        except OSError as error:
            print(f"report: {args.png}: cannot be written: {error.strerror or error}", file=sys.stderr)
            return EXIT_FAILED
    return EXIT_FAILED if reader.problems else EXIT_OK


if __name__ == "__main__":
    sys.exit(main())
