"""The version manifest: its exact bytes, and reading it back the way the installer does."""

import datetime
import re
import urllib.parse
import xml.etree.ElementTree as ElementTree

from . import Refused

DECLARATION = '<?xml version="1.0" encoding="utf-8" standalone="no" ?>'
TIME_FORMAT = "%Y-%m-%dT%H:%M:%SZ"
# Two to four parts of 16 bits each, as Windows holds a file's or a product's version.
_VERSION = re.compile(r"[0-9]{1,5}(\.[0-9]{1,5}){1,3}\Z")
_DIGEST = re.compile(r"[0-9a-f]{64}\Z")
# What the installer takes: at most this many mirrors, each an https: address (or, in a test
# build of the installer only, an http: one on loopback) of sensible length, without a login,
# in plain ASCII that needs no escaping in XML.
MAX_MIRRORS = 16
_LONGEST_ADDRESS = 1024
_LOOPBACK = ("127.0.0.1", "localhost")


def version_problem(text):
    """Why text is not a version the installer can compare, or None."""
    if not _VERSION.match(text):
        return "two to four dotted decimal numbers, e.g. 2.0.1.5"
    if any(int(part) > 0xFFFF for part in text.split(".")):
        return "each part at most 65535"
    return None


def mirror_problem(address):
    """Why address is not a mirror the installer can fetch from, or None."""
    if not address or len(address) > _LONGEST_ADDRESS:
        return f"an address of 1 to {_LONGEST_ADDRESS} characters"
    if any(not 0x20 < ord(c) < 0x7F or c in "<>&\"'" for c in address):
        return "plain ASCII without spaces, quotes, <, > or &"
    try:
        parts = urllib.parse.urlsplit(address)
        host = parts.hostname
    except ValueError:
        return "an address"
    if not host or parts.scheme not in ("https", "http"):
        return "an https: address with a host"
    if parts.username is not None or parts.password is not None:
        return "an address without a user name or password"
    if parts.scheme == "http" and host not in _LOOPBACK:
        return "an https: address (http: only on loopback, for test builds)"
    return None


def is_test_only_mirror(address):
    """An http: mirror on loopback: only an installer built for a loopback host fetches from it."""
    return urllib.parse.urlsplit(address).scheme == "http"


def utc_now():
    return datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)


def build(version, size, sha256, expires, downgrade=False, mirrors=(), report=None):
    """The manifest's bytes; every line ends in CRLF, as the installer's own files do.
    mirrors are further package addresses, in the order installers try them; report is where
    installers send each run's report (by the same rules as a mirror's address)."""
    lines = [DECLARATION, "<config>",
             f"    <version>{version}</version>",
             f"    <size>{size}</size>",
             f"    <sha256>{sha256}</sha256>",
             f"    <expires>{expires.strftime(TIME_FORMAT)}</expires>"]
    lines += [f"    <mirror>{mirror}</mirror>" for mirror in mirrors]
    if report:
        lines.append(f"    <report>{report}</report>")
    if downgrade:
        lines.append("    <downgrade>true</downgrade>")
    lines.append("</config>")
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


def parse(data, now):
    """The manifest's fields, after checking each one; raises Refused with the first problem."""
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        raise Refused(f"version.xml is not well-formed XML ({error})") from None
    if root.tag != "config":
        raise Refused(f"version.xml's root is <{root.tag}>, not <config>")

    def text(name):
        element = root.find(name)
        if element is None or not (element.text or "").strip():
            raise Refused(f"version.xml has no <{name}>")
        return element.text.strip()

    version = text("version")
    if version_problem(version):
        raise Refused(f"version.xml's version {version!r} is not {version_problem(version)}")
    size = text("size")
    if not size.isascii() or not size.isdigit() or len(size) > 18:  # as many digits as the installer reads
        raise Refused(f"version.xml's size {size!r} is not a byte count")
    sha256 = text("sha256").lower()
    if not _DIGEST.match(sha256):
        raise Refused(f"version.xml's sha256 {sha256!r} is not 64 hex digits")
    try:
        expires = datetime.datetime.strptime(text("expires"), TIME_FORMAT).replace(
            tzinfo=datetime.timezone.utc)
    except ValueError:
        raise Refused("version.xml's expires is not YYYY-MM-DDTHH:MM:SSZ") from None
    if expires <= now:
        raise Refused(f"version.xml expired at {expires.strftime(TIME_FORMAT)}")
    downgrade = root.find("downgrade")
    mirrors = [(element.text or "").strip() for element in root.findall("mirror")]
    for mirror in mirrors:
        if mirror_problem(mirror):
            raise Refused(f"version.xml's mirror {mirror!r} is not {mirror_problem(mirror)}")
    if len(mirrors) > MAX_MIRRORS:
        raise Refused(f"version.xml lists {len(mirrors)} mirrors; installers take {MAX_MIRRORS}")
    report = root.find("report")
    report = (report.text or "").strip() if report is not None else None
    if report is not None and mirror_problem(report):
        raise Refused(f"version.xml's report address {report!r} is not {mirror_problem(report)}")
    return {"version": version, "size": int(size), "sha256": sha256, "expires": expires,
            "downgrade": downgrade is not None and (downgrade.text or "").strip() == "true", "mirrors": mirrors,
            "report": report}
