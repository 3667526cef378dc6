"""The package check: accepts only what the installer's extraction accepts on any Windows."""

import struct
import zipfile
import zlib

from . import Refused

REQUIRED_ENTRIES = ("vcredist_x86.exe", "Quillmere.msi")

_STORED, _DEFLATED = 0, 8
_METHOD_NAMES = {1: "Shrink", 6: "Implode", 9: "Deflate64", 12: "bzip2", 14: "LZMA",
                 93: "Zstandard", 95: "XZ", 96: "JPEG", 97: "WavPack", 98: "PPMd",
                 99: "AES encryption"}
_ENCRYPTED = 0x0001 | 0x0040 | 0x2000  # traditional, strong, central directory encryption
_PATCH_DATA = 0x0020
_UTF8_NAME = 0x0800
_UTF8_HOSTS = {3: "Unix", 19: "macOS"}  # the high byte of "version made by"
_UNICODE_PATH_EXTRA = 0x7075
_LOCAL_HEADER = struct.Struct("<4sHHHHHIIIHH")
_COMPONENT_CHARS_MAX = 255  # no Windows file system takes a longer file or folder name
_DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}
_PORT_DIGITS = set("0123456789\u00b9\u00b2\u00b3")
_FORBIDDEN = set('*?"<>|:') | {chr(c) for c in range(0x20)} | {"\x7f"}


def check_package(file, warn=None):
    """Checks an open binary file; returns the entry count or raises Refused.

    warn, when given, is called once with a one-line text about what is accepted but may
    show wrongly elsewhere."""
    try:
        archive = zipfile.ZipFile(file)
    except zipfile.BadZipFile:
        raise Refused("package is not a zip archive") from None
    except UnicodeDecodeError:
        raise Refused("package has an entry name flagged UTF-8 that is not UTF-8") from None
    except (OSError, EOFError, ValueError, NotImplementedError) as error:
        raise Refused(f"package cannot be read as a zip archive ({error})") from None
    with archive:
        infos = archive.infolist()
        unflagged = []
        names = [_checked_name(info, unflagged) for info in infos]
        if unflagged and warn:
            more = f" and {len(unflagged) - 1} more" if len(unflagged) > 1 else ""
            name, host = unflagged[0]
            warn(f"entry name {name!r}{more} is UTF-8 without the UTF-8 flag, as zip on {host} writes it: "
                 "the installer reads it right, but other zip programs on Windows may show it wrongly; "
                 "7-Zip (7z a -tzip) and Python's zipfile write flagged names")
        _check_collisions(names)
        missing = [name for name in REQUIRED_ENTRIES if name not in names]
        if missing:
            raise Refused(f"package lacks {' and '.join(missing)} at its top level")
        for info, name in zip(infos, names):
            _check_storage(file, info, name)
        for info, name in zip(infos, names):
            _check_content(archive, info, name)
    return len(infos)


def _raw_name(info):
    # zipfile decodes names without the UTF-8 flag as code page 437, which maps every byte.
    return info.orig_filename.encode("utf-8" if info.flag_bits & _UTF8_NAME else "cp437")


def _unicode_path(info, raw):
    """The Info-ZIP Unicode Path of the entry when it is there and belongs to this name."""
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack_from("<HH", extra)
        data, extra = extra[4:4 + size], extra[4 + size:]
        if tag == _UNICODE_PATH_EXTRA and len(data) >= 5 and data[0] == 1:
            if struct.unpack_from("<I", data, 1)[0] != zlib.crc32(raw):
                return None  # written for a name that was changed since
            try:
                return data[5:].decode("utf-8")
            except UnicodeDecodeError:
                return None
    return None


def _unix_utf8_name(info, raw):
    """The name of an unflagged entry that a Unix or macOS tool stored in UTF-8, read as the
    installer reads it; None when the entry is not one."""
    if info.create_system not in _UTF8_HOSTS:
        return None
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return None


def _checked_name(info, unflagged):
    """The name the entry is extracted under, after every name rule holds. A name that only
    the Unix-host rule reads is added to `unflagged`."""
    raw = _raw_name(info)
    unicode_path = None if info.flag_bits & _UTF8_NAME else _unicode_path(info, raw)
    meant = unicode_path
    if not raw.isascii() and not info.flag_bits & _UTF8_NAME and unicode_path is None:
        meant = _unix_utf8_name(info, raw)
        if meant is None:
            raise Refused(f"entry name {info.orig_filename!r} is neither ASCII nor marked UTF-8: "
                          "its meaning depends on the code page")
        unflagged.append((meant, _UTF8_HOSTS[info.create_system]))
    # An extractor may take either name; both must be safe.
    for name in (info.orig_filename, meant):
        problem = None if name is None else _name_problem(name)
        if problem:
            raise Refused(f"entry name {name!r} is unsafe: {problem}")
    return meant if meant is not None else info.orig_filename


def _name_problem(name):
    if not name:
        return "empty"
    if name[0] in "/\\":
        return "absolute"
    bad = sorted(set(name) & _FORBIDDEN)
    if bad:
        return "holds " + " ".join(repr(c) for c in bad)
    # "./" steps (bsdtar writes every name after one) name the folder they stand in.
    parts = [part for part in name.replace("\\", "/").split("/") if part != "."]
    if parts and parts[-1] == "":
        parts.pop()  # a folder entry
    for part in parts:
        if len(part) > _COMPONENT_CHARS_MAX:
            return f"component {part[:20]!r}... is longer than {_COMPONENT_CHARS_MAX} characters"
        # Windows drops trailing dots and spaces, so ". ." acts as "." and ".. " as "..".
        if part.strip(". ") == "":
            return f"component {part!r}"
        if _is_device(part):
            return f"{part!r} names a device"
    return None


def _is_device(part):
    # "NUL.txt" and "com1 .log" still open the device.
    base = part.split(".", 1)[0].rstrip(" ").upper()
    return base in _DEVICES or (len(base) == 4 and base[:3] in ("COM", "LPT") and base[3] in _PORT_DIGITS)


def _windows_key(name):
    """The name as the Windows file system compares it."""
    return tuple(part.rstrip(". ").upper() for part in name.replace("\\", "/").split("/") if part not in ("", "."))


def _check_collisions(names):
    seen, folders, files = {}, set(), set()
    for name in names:
        key = _windows_key(name)
        if key in seen:
            raise Refused(f"entries {seen[key]!r} and {name!r} are the same file on Windows")
        seen[key] = name
        (folders if name.endswith(("/", "\\")) else files).add(key)
        folders.update(key[:i] for i in range(1, len(key)))
    clash = files & folders
    if clash:
        raise Refused(f"entry {seen[min(clash)]!r} is both a file and a folder")


def _check_storage(file, info, name):
    if info.flag_bits & _ENCRYPTED:
        raise Refused(f"entry {name!r} is encrypted")
    if info.flag_bits & _PATCH_DATA:
        raise Refused(f"entry {name!r} holds patch data")
    if info.compress_type not in (_STORED, _DEFLATED):
        method = _METHOD_NAMES.get(info.compress_type, f"method {info.compress_type}")
        raise Refused(f"entry {name!r} is compressed with {method}; only stored and deflate are accepted")
    # The extractor checks that the local header agrees with the directory; zipfile does not.
    header = b""
    if info.header_offset >= 0:
        file.seek(info.header_offset)
        header = file.read(_LOCAL_HEADER.size)
    if len(header) < _LOCAL_HEADER.size or header[:4] != b"PK\x03\x04":
        raise Refused(f"entry {name!r} has no local header")
    _, _, flags, method = _LOCAL_HEADER.unpack(header)[:4]
    if method != info.compress_type or flags & _ENCRYPTED:
        raise Refused(f"entry {name!r}: local header does not match the directory")


def _check_content(archive, info, name):
    # zipfile compares the CRC once an entry is read to its end, and stops at the recorded
    # size; a stream that ends before it is caught by the count.
    size = 0
    try:
        with archive.open(info) as stream:
            while chunk := stream.read(1 << 20):
                size += len(chunk)
    except (zipfile.BadZipFile, EOFError, zlib.error, OSError, ValueError, NotImplementedError) as error:
        raise Refused(f"entry {name!r} is damaged ({error})") from None
    if size != info.file_size:
        raise Refused(f"entry {name!r} holds {size} bytes, not the recorded {info.file_size}")
