"""Key pairs and the manifest signature: ECDSA P-256 over SHA-256, raw r||s on disk."""

import os

from cryptography.exceptions import InvalidSignature, UnsupportedAlgorithm
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import (decode_dss_signature,
                                                             encode_dss_signature)

from . import Refused

PRIVATE_NAME, PUBLIC_NAME = "private.pem", "public.pem"
_HALF = 32  # bytes of r and of s for P-256
SIGNATURE_BYTES = 2 * _HALF


def _create(path, data, mode):
    # O_EXCL: an existing key is never replaced, and a link planted at the path is not
    # followed. The mode is given at creation, so the file is never readable by others; the
    # chmod undoes a umask that would leave even the owner out.
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)
    try:
        os.fchmod(fd, mode)
        os.write(fd, data)
        os.fsync(fd)
    finally:
        os.close(fd)


def generate(folder):
    """Writes a new key pair into folder; returns the two paths."""
    private_path = os.path.join(folder, PRIVATE_NAME)
    public_path = os.path.join(folder, PUBLIC_NAME)
    for path in (private_path, public_path):
        if os.path.lexists(path):
            raise Refused(f"{path} already exists; a key is never overwritten")
    os.makedirs(folder, mode=0o700, exist_ok=True)
    key = ec.generate_private_key(ec.SECP256R1())
    private_pem = key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                    serialization.NoEncryption())
    public_pem = key.public_key().public_bytes(serialization.Encoding.PEM,
                                               serialization.PublicFormat.SubjectPublicKeyInfo)
    try:
        _create(private_path, private_pem, 0o600)
    except FileExistsError:
        raise Refused(f"{private_path} already exists; a key is never overwritten") from None
    try:
        _create(public_path, public_pem, 0o644)
    except OSError:
        os.unlink(private_path)  # half a pair would be kept by mistake
        raise
    return private_path, public_path


def _read(path, what):
    try:
        with open(path, "rb") as file:
            return file.read()
    except OSError as error:
        raise Refused(f"cannot read the {what} {path}: {error.strerror}") from None


def _require_p256(key, cls, path, what):
    if not isinstance(key, cls) or key.curve.name != "secp256r1":
        raise Refused(f"{path} is not a P-256 {what}")
    return key


def load_private(path):
    data = _read(path, "private key")
    try:
        key = serialization.load_pem_private_key(data, password=None)
    except TypeError:
        raise Refused(f"{path} is encrypted; the publishing key is kept unencrypted offline") from None
    except (ValueError, UnsupportedAlgorithm):
        raise Refused(f"{path} is not a PEM private key") from None
    return _require_p256(key, ec.EllipticCurvePrivateKey, path, "private key")


def load_public(path):
    data = _read(path, "public key")
    try:
        key = serialization.load_pem_public_key(data)
    except (ValueError, UnsupportedAlgorithm):
        raise Refused(f"{path} is not a PEM public key") from None
    return _require_p256(key, ec.EllipticCurvePublicKey, path, "public key")


def sign(private_key, data):
    """r and s, each 32 bytes big-endian: the form the Windows verifier takes."""
    r, s = decode_dss_signature(private_key.sign(data, ec.ECDSA(hashes.SHA256())))
    return r.to_bytes(_HALF, "big") + s.to_bytes(_HALF, "big")


def signature_valid(public_key, data, signature):
    if len(signature) != SIGNATURE_BYTES:
        return False
    r = int.from_bytes(signature[:_HALF], "big")
    s = int.from_bytes(signature[_HALF:], "big")
    try:
        public_key.verify(encode_dss_signature(r, s), data, ec.ECDSA(hashes.SHA256()))
    except InvalidSignature:
        return False
    return True
