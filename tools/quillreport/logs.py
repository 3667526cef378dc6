"""Access logs read line by line: which lines are run reports, and which could not be read at all."""

import gzip
import re
import sys
import zlib

# nginx's and Apache's combined format: host ident user [time] "request" status size "referer" "agent".
# A well-formed request ("METHOD target HTTP/x") is read in one step; any other request is matched
# up to the quote that the status follows, so an escaped quote inside it (Apache writes \") cannot
# end it early.
REQUEST = re.compile(rb'\S+ \S+ .*?\[[^\]]*\] "(\S+) (\S+)(?: HTTP/[0-9.]+)?" \d{3} (?:\d+|-)(?:\s|$)')
COMBINED = re.compile(rb'\S+ \S+ .*?\[[^\]]*\] "(.*?)" \d{3} (?:\d+|-)(?:\s|$)')

# CloudFront's standard log: tab-separated, its columns named by a "#Fields:" header line.
CLOUDFRONT_FIELDS = (b"cs-method", b"cs-uri-stem", b"cs-uri-query")
# The standard places of those columns, for a file whose header was lost.
CLOUDFRONT_COLUMNS = (5, 7, 11)

GZIP_MAGIC = b"\x1f\x8b"
EXAMPLES_KEPT = 3


class LogReader:
    """Counts what it reads across every source, and hands each run report's query to `take`,
    which answers whether the report could be read."""

    def __init__(self, path=None):
        # Without a path every GET whose query carries a result and an id is a report.
        self.path = path.encode("utf-8") if path else None
        self.lines = 0
        self.bytes = 0
        self.unreadable = 0
        self.bad_reports = 0
        self.examples = {"unreadable": [], "bad report": []}
        self.problems = []

    def read(self, name, take):
        """Reads one source ("-" is standard input); a gzip stream is recognised by its magic bytes.
        A source that cannot be opened or that ends damaged is recorded, never raised."""
        self._line_no = 0
        try:
            if name == "-" and sys.stdin is None:
                raise OSError("standard input is closed")
            raw = sys.stdin.buffer if name == "-" else open(name, "rb")
        except OSError as error:
            self.problems.append(f"{name}: cannot be read: {error.strerror or error}")
            return False
        try:
            compressed = raw.peek(2)[:2] == GZIP_MAGIC
            self._scan(gzip.GzipFile(fileobj=raw, mode="rb") if compressed else raw, name, take)
        except (EOFError, gzip.BadGzipFile, zlib.error, OSError) as error:
            # A log delivery cut short still gave every whole line before the cut.
            self.problems.append(f"{name}: ends damaged after line {self._line_no}: {error}")
        finally:
            if name != "-":
                raw.close()
        return True

    def _scan(self, stream, name, take):
        columns = CLOUDFRONT_COLUMNS
        wanted_path = self.path
        match_request, match_combined = REQUEST.match, COMBINED.match
        line_no = 0
        size = 0
        try:
            for line_no, line in enumerate(stream, 1):
                size += len(line)
                if b"\t" in line:
                    query = _cloudfront_query(line, columns, wanted_path)
                    if query is not None:
                        if query is not False and not take(query):
                            self._bad(name, line_no, "bad report")
                        continue
                elif line[:1] == b"#":
                    if line.startswith(b"#Fields:"):
                        columns = _cloudfront_columns(line)
                    if line.startswith((b"#Fields:", b"#Version:")):
                        continue
                matched = match_request(line)
                if matched is not None:
                    method, target = matched.groups()
                else:
                    matched = match_combined(line)
                    if matched is None:
                        if line.strip():
                            self._bad(name, line_no, "unreadable")
                        continue
                    method, _, target = matched.group(1).partition(b" ")
                    target = target.rpartition(b" ")[0] or target
                if method != b"GET":
                    continue
                path, _, query = target.partition(b"?")
                if wanted_path is None:
                    if not is_report(query):
                        continue
                elif _without_origin(path) != wanted_path:
                    continue
                if not take(query):
                    self._bad(name, line_no, "bad report")
        finally:
            self._line_no = line_no
            self.lines += line_no
            self.bytes += size

    def _bad(self, name, line_no, kind):
        if kind == "unreadable":
            self.unreadable += 1
        else:
            self.bad_reports += 1
        if len(self.examples[kind]) < EXAMPLES_KEPT:
            self.examples[kind].append(f"{name}:{line_no}")


def is_report(query):
    """Whether a query has the keys of a run report, for logs read without the report's path."""
    return ((query.startswith(b"result=") or b"&result=" in query)
            and (query.startswith(b"id=") or b"&id=" in query))


def _cloudfront_columns(line):
    """The places of the columns read, from a "#Fields:" line; None when it lacks one of them, and
    then the file's lines cannot be read."""
    names = line[len(b"#Fields:"):].split()
    if all(name in names for name in CLOUDFRONT_FIELDS):
        return tuple(names.index(name) for name in CLOUDFRONT_FIELDS)
    return None


def _cloudfront_query(line, columns, wanted_path):
    """The query of a CloudFront report line; False for a readable line that is no report;
    None for a line that is not a CloudFront line."""
    if columns is None:
        return None
    method_at, path_at, query_at = columns
    fields = line.rstrip(b"\r\n").split(b"\t", max(columns) + 1)
    if len(fields) <= max(columns):
        return None
    method, path, query = fields[method_at], fields[path_at], fields[query_at]
    if method != b"GET":
        return False
    if query == b"-":
        query = b""
    if wanted_path is None:
        if not is_report(query):
            return False
    elif path != wanted_path:
        return False
    return query


def _without_origin(path):
    # A request in absolute form (through a proxy) logs scheme and host before the path.
    if path.startswith((b"http://", b"https://")):
        slash = path.find(b"/", path.find(b"//") + 2)
        return path[slash:] if slash >= 0 else b"/"
    return path
