"""What the publishing tool's tests share: the tool on the path, test packages, running the tool."""

import io
import os
import struct
import zipfile

from tooltest import TOOLS, run_main

import publish  # noqa: E402

PUBLISH_SCRIPT = os.path.join(TOOLS, "publish.py")

REQUIRED = [("vcredist_x86.exe", b"runtime " * 40), ("Quillmere.msi", b"client package " * 200)]


def make_zip(entries=(), required=REQUIRED, method=zipfile.ZIP_DEFLATED, zip64=False):
    """A zip of the required entries and entries, each a (name or ZipInfo, bytes) pair."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as archive:
        for name, data in list(required) + list(entries):
            if zip64:
                with archive.open(name, "w", force_zip64=True) as stream:
                    stream.write(data)
            else:
                archive.writestr(name, data)
    return buffer.getvalue()


def patch_entry(data, name, flags_set=0, flags_clear=0, method=None, local_method=None, size_delta=0, host=None):
    """Changes the headers of one entry: flags and method in both, the size and the host
    system ("version made by") in the directory."""
    data = bytearray(data)
    end = data.rfind(b"PK\x05\x06")
    count, _, offset = struct.unpack_from("<HII", data, end + 10)
    for _ in range(count):
        n, m, k = struct.unpack_from("<HHH", data, offset + 28)
        local = struct.unpack_from("<I", data, offset + 42)[0]
        if data[offset + 46:offset + 46 + n] == name.encode("utf-8"):
            for flags_at, method_at, new_method in ((offset + 8, offset + 10, method),
                                                    (local + 6, local + 8, local_method or method)):
                flags = struct.unpack_from("<H", data, flags_at)[0]
                struct.pack_into("<H", data, flags_at, (flags | flags_set) & ~flags_clear)
                if new_method is not None:
                    struct.pack_into("<H", data, method_at, new_method)
            if host is not None:
                data[offset + 5] = host
            size = struct.unpack_from("<I", data, offset + 24)[0]
            struct.pack_into("<I", data, offset + 24, size + size_delta)
            return bytes(data)
        offset += 46 + n + m + k
    raise KeyError(name)


def run(*args):
    """Runs the tool in this process: (exit code, stdout, stderr)."""
    return run_main(publish.main, args)
