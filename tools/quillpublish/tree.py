"""The server tree: writing a release into it, and checking one the way the installer does."""

import datetime
import hashlib
import os
import tempfile
import urllib.error
import urllib.request

from . import Refused, keys, manifest
from .package import check_package

TREE = ("down", "quillclient", "CHS")
PACKAGE_NAME, MANIFEST_NAME, SIGNATURE_NAME = "quillmere.zip", "version.xml", "version.xml.sig"
_CHUNK = 1 << 20


def release_folder(out):
    return os.path.join(out, *TREE)


class _Staging:
    """Files written under hidden temporary names beside their final ones, renamed together."""

    def __init__(self, folder):
        self.folder, self.staged = folder, []

    def create(self, name):
        fd, path = tempfile.mkstemp(prefix=f".{name}.", suffix=".part", dir=self.folder)
        self.staged.append((path, name))
        return os.fdopen(fd, "w+b")

    def write(self, name, data):
        with self.create(name) as file:
            file.write(data)

    def commit(self):
        for path, name in self.staged:
            os.chmod(path, 0o644)  # mkstemp's 0600 would hide the files from the web server
            with open(path, "rb") as file:
                os.fsync(file.fileno())
        # Renamed in the order staged. The package comes first, so a manifest never names a
        # package that is not there yet. The signature comes last because readers fetch the
        # manifest and then its signature: this way only a reader whose both fetches fall
        # between the last two renames sees a new manifest with the old signature, whereas
        # the other order would fail every reader that fetched the manifest before the
        # signature's rename and the signature after it. Either mismatch is refused, never
        # believed, and a publish cut short between the renames leaves a tree that does not
        # verify.
        for path, name in self.staged:
            os.replace(path, os.path.join(self.folder, name))
        self.staged = []
        directory = os.open(self.folder, os.O_RDONLY)
        try:
            os.fsync(directory)
        finally:
            os.close(directory)

    def discard(self):
        for path, _ in self.staged:
            try:
                os.unlink(path)
            except FileNotFoundError:
                pass
        self.staged = []


def publish(package_path, version, key_path, out, days, downgrade, now=None, warn=None, mirrors=(), report=None):
    """Checks and writes one release; returns (folder, manifest bytes). warn gets what the
    package check accepts with a caution; mirrors are further addresses of the package, in
    order; report is where installers send each run's report."""
    uses = [(mirror, "mirror", "fetch from it") for mirror in mirrors]
    uses += [(report, "report address", "send reports to it")] if report else []
    for address, kind, use in uses:
        if warn and manifest.is_test_only_mirror(address):
            warn(f"{kind} {address} is plain http on loopback: only test builds of the installer {use}")
    try:
        source = open(package_path, "rb")
    except OSError as error:
        raise Refused(f"cannot read the package {package_path}: {error.strerror}") from None
    with source:
        check_package(source, warn)
        private_key = keys.load_private(key_path)
        folder = release_folder(out)
        os.makedirs(folder, exist_ok=True)
        staging = _Staging(folder)
        try:
            # The copy is hashed as written and checked again, so what is served is what
            # passed even if the source changed after its first check.
            digest, size = hashlib.sha256(), 0
            source.seek(0)
            with staging.create(PACKAGE_NAME) as copy:
                while chunk := source.read(_CHUNK):
                    copy.write(chunk)
                    digest.update(chunk)
                    size += len(chunk)
                copy.flush()
                check_package(copy)
            expires = (now or manifest.utc_now()) + datetime.timedelta(days=days)
            text = manifest.build(version, size, digest.hexdigest(), expires, downgrade, mirrors, report)
            staging.write(MANIFEST_NAME, text)
            staging.write(SIGNATURE_NAME, keys.sign(private_key, text))
            staging.commit()
        finally:
            staging.discard()
    return folder, text


def _read(folder, name):
    try:
        with open(os.path.join(folder, name), "rb") as file:
            return file.read()
    except OSError as error:
        raise Refused(f"cannot read {name} in {folder}: {error.strerror}") from None


def verify(out, public_key_path, report=print, now=None, fetch=False, primary=None):
    """Checks a published tree; reports each check that passed, raises Refused at the first failure.

    out may be the folder given to publish or the release folder itself. With fetch, the
    package is also fetched from each mirror the manifest lists (and from primary, the
    download host's package address, when given) and checked against its size and digest."""
    folder = out if os.path.isfile(os.path.join(out, MANIFEST_NAME)) else release_folder(out)
    public_key = keys.load_public(public_key_path)
    text = _read(folder, MANIFEST_NAME)
    signature = _read(folder, SIGNATURE_NAME)
    if len(signature) != keys.SIGNATURE_BYTES:
        raise Refused(f"{SIGNATURE_NAME} is {len(signature)} bytes, not {keys.SIGNATURE_BYTES}")
    if not keys.signature_valid(public_key, text, signature):
        raise Refused(f"{SIGNATURE_NAME} does not verify over {MANIFEST_NAME} with {public_key_path}")
    report(f"signature: valid over the {len(text)} bytes of {MANIFEST_NAME} (ECDSA P-256, SHA-256)")
    fields = manifest.parse(text, now or manifest.utc_now())
    report(f"version: {fields['version']}" + (" (may replace a newer client)" if fields["downgrade"] else ""))
    report(f"expires: {fields['expires'].strftime(manifest.TIME_FORMAT)}, still ahead")

    package_path = os.path.join(folder, PACKAGE_NAME)
    digest, size = hashlib.sha256(), 0
    try:
        with open(package_path, "rb") as package:
            while chunk := package.read(_CHUNK):
                digest.update(chunk)
                size += len(chunk)
            if size != fields["size"]:
                raise Refused(f"{PACKAGE_NAME} is {size} bytes; {MANIFEST_NAME} says {fields['size']}")
            report(f"size: {size} bytes, as published")
            if digest.hexdigest() != fields["sha256"]:
                raise Refused(f"{PACKAGE_NAME}'s SHA-256 is {digest.hexdigest()}; "
                              f"{MANIFEST_NAME} says {fields['sha256']}")
            report("sha256: matches")
            entries = check_package(package, lambda text: report(f"warning: {text}"))
    except OSError as error:
        raise Refused(f"cannot read {PACKAGE_NAME} in {folder}: {error.strerror}") from None
    report(f"package: {entries} entries, all extractable, with the runtime installer and the client package")
    for mirror in fields["mirrors"]:
        report(f"mirror: {mirror}")
    if fields["report"]:
        report(f"report: {fields['report']}")
    if fetch:
        fetch_each(([primary] if primary else []) + fields["mirrors"], fields, report)
    return fields


def fetch_each(addresses, fields, report):
    """Fetches the package from each address; reports each, raises Refused naming those that
    do not serve the published bytes."""
    failed = []
    for address in addresses:
        problem = fetch_problem(address, fields["size"], fields["sha256"])
        report(f"fetched {address}: " + (problem or f"{fields['size']} bytes, sha256 matches"))
        if problem:
            failed.append(address)
    if failed:
        raise Refused(f"{len(failed)} of {len(addresses)} addresses do not serve the package: {', '.join(failed)}")
    if not addresses:
        report("fetched: no address to fetch from (no mirror listed, no --primary)")


def fetch_problem(address, size, sha256, timeout=60):
    """Why the answer at address is not the package of size and sha256, or None. Never reads
    more than one byte past the size."""
    digest, received = hashlib.sha256(), 0
    try:
        with urllib.request.urlopen(urllib.request.Request(address, headers={"Accept-Encoding": "identity"}),
                                    timeout=timeout) as answer:
            length = answer.headers.get("Content-Length")
            if length is not None and length.isdigit() and int(length) != size:
                return f"announces {length} bytes, not {size}"
            while received <= size:
                chunk = answer.read(min(_CHUNK, size + 1 - received))
                if not chunk:
                    break
                digest.update(chunk)
                received += len(chunk)
    except urllib.error.HTTPError as error:
        return f"status {error.code}"
    except (urllib.error.URLError, OSError, ValueError) as error:
        return f"cannot be fetched ({getattr(error, 'reason', error)})"
    if received != size:
        return f"more than {size} bytes" if received > size else f"only {received} bytes, not {size}"
    if digest.hexdigest() != sha256:
        return f"SHA-256 {digest.hexdigest()}, not {sha256}"
    return None
