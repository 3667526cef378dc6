#!/usr/bin/env python3
"""Writes the C++ lines that compile the vendor's manifest public key into the installer:
the point (X then Y, 32 bytes each, big-endian) of the P-256 key in PUBLIC_PEM, or an empty
key when no file is named. With --private, the key pair of PRIVATE_PEM instead, point and
secret scalar: only the tests' publishing fixture takes that, to sign with the build's test key.

    manifest-key-source.py OUTPUT [PUBLIC_PEM]
    manifest-key-source.py OUTPUT --private [PRIVATE_PEM]
"""
import sys

from cryptography.hazmat.primitives import serialization
from cryptography.hazmat.primitives.asymmetric import ec


def p256(key, path):
    if key.curve.name != "secp256r1":
        sys.exit("%s is not a P-256 key" % path)
    numbers = key.public_numbers() if isinstance(key, ec.EllipticCurvePublicKey) else key.public_key().public_numbers()
    return numbers.x.to_bytes(32, "big") + numbers.y.to_bytes(32, "big")


def array(name, data, size):
    return "static constexpr unsigned char %s[%d] = {%s};" % (name, size, ", ".join(str(b) for b in data or [0]))


def main():
    output = sys.argv[1]
    private = len(sys.argv) > 2 and sys.argv[2] == "--private"
    path = sys.argv[3] if private and len(sys.argv) > 3 else (sys.argv[2] if not private and len(sys.argv) > 2 else "")
    point = scalar = b""
    if path:
        with open(path, "rb") as f:
            data = f.read()
        if private:
            key = serialization.load_pem_private_key(data, None)
            if not isinstance(key, ec.EllipticCurvePrivateKey):
                sys.exit("%s is not an elliptic-curve private key" % path)
            scalar = key.private_numbers().private_value.to_bytes(32, "big")
        else:
            key = serialization.load_pem_public_key(data)
            if not isinstance(key, ec.EllipticCurvePublicKey):
                sys.exit("%s is not an elliptic-curve public key" % path)
        point = p256(key, path)
    lines = ["// Made by scripts/manifest-key-source.py at build time; not kept in the tree.",
             "static constexpr bool kManifestKeyPresent = %s;" % ("true" if point else "false"),
             array("kManifestKeyPoint", point, 64)]
    if private:
        lines.append(array("kManifestKeyScalar", scalar, 32))
    text = "\n".join(lines) + "\n"
    try:
        with open(output) as f:
            if f.read() == text:
                return  # unchanged: nothing that includes it is rebuilt
    except OSError:
        pass
    with open(output, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
