"""The version manifest: its exact bytes, and reading it back the way the installer does."""

import datetime
import re
import xml.etree.ElementTree as ElementTree

from . import Refused

DECLARATION = '<?xml version="1.0" encoding="utf-8" standalone="no" ?>'
TIME_FORMAT = "%Y-%m-%dT%H:%M:%SZ"
# Two to four parts of 16 bits each, as Windows holds a file's or a product's version.
_VERSION = re.compile(r"[0-9]{1,5}(\.[0-9]{1,5}){1,3}\Z")
_DIGEST = re.compile(r"[0-9a-f]{64}\Z")


def version_problem(text):
    """Why text is not a version the installer can compare, or None."""
    if not _VERSION.match(text):
        return "two to four dotted decimal numbers, e.g. 2.0.1.5"
    if any(int(part) > 0xFFFF for part in text.split(".")):
        return "each part at most 65535"
    return None


def utc_now():
    return datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)


def build(version, size, sha256, expires, downgrade=False):
    """The manifest's bytes; every line ends in CRLF, as the installer's own files do."""
    lines = [DECLARATION, "<config>",
             f"    <version>{version}</version>",
             f"    <size>{size}</size>",
             f"    <sha256>{sha256}</sha256>",
             f"    <expires>{expires.strftime(TIME_FORMAT)}</expires>"]
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
    return {"version": version, "size": int(size), "sha256": sha256, "expires": expires,
            "downgrade": downgrade is not None and (downgrade.text or "").strip() == "true"}
