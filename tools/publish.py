#!/usr/bin/env python3
"""Publishes a Quillmere client release for the online installer: key pair, signed tree, check."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from quillpublish import Refused, keys, manifest, tree  # noqa: E402

EXIT_OK, EXIT_REFUSED = 0, 1  # argparse itself exits with 2 on a usage error
EXIT_CODES = """exit codes:
  0  done
  1  refused or verification failed (the reason is printed)
  2  usage error"""
MAX_DAYS = 3650


def version_argument(text):
    problem = manifest.version_problem(text)
    if problem:
        raise argparse.ArgumentTypeError(f"{text!r} is not {problem}")
    return text


def mirror_argument(text):
    problem = manifest.mirror_problem(text)
    if problem:
        raise argparse.ArgumentTypeError(f"{text!r} is not {problem}")
    return text


def days_argument(text):
    if not text.isascii() or not text.isdigit() or not 1 <= int(text) <= MAX_DAYS:
        raise argparse.ArgumentTypeError(f"{text!r} is not a whole number of days from 1 to {MAX_DAYS}")
    return int(text)


def run_keygen(args):
    private_path, public_path = keys.generate(args.out)
    print(f"private key: {private_path} (mode 0600; keep it offline)")
    print(f"public key:  {public_path} (give it to the installer's build as QUILL_MANIFEST_PUBLIC_KEY)")


def run_publish(args):
    if len(set(args.mirror)) != len(args.mirror) or len(args.mirror) > manifest.MAX_MIRRORS:
        parser().error(f"--mirror: at most {manifest.MAX_MIRRORS} addresses, each once")
    folder, text = tree.publish(args.package, args.version, args.key, args.out, args.expires, args.downgrade,
                                warn=lambda reason: print(f"publish: warning: {reason}", file=sys.stderr),
                                mirrors=args.mirror, report=args.report_url)
    print(f"published {args.version} into {folder}")
    sys.stdout.write(text.decode("utf-8").replace("\r\n", "\n"))


def run_verify(args):
    if args.primary and not args.fetch:
        parser().error("--primary goes with --fetch")
    tree.verify(args.dir, args.public_key, fetch=args.fetch, primary=args.primary)
    print("verified")


def parser():
    def sub(name, summary, description):
        return commands.add_parser(name, help=summary, description=description, epilog=EXIT_CODES,
                                   formatter_class=argparse.RawDescriptionHelpFormatter)

    top = argparse.ArgumentParser(prog="publish.py", description=__doc__, epilog=EXIT_CODES,
                                  formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = top.add_subparsers(dest="command", metavar="COMMAND", required=True)

    keygen = sub("keygen", "make the signing key pair (once)",
                 "Makes a new ECDSA P-256 key pair: DIR/private.pem (PKCS#8, unencrypted, mode 0600)\n"
                 "and DIR/public.pem (SubjectPublicKeyInfo). An existing key is never overwritten.")
    keygen.add_argument("--out", required=True, metavar="DIR", help="folder for the two files")
    keygen.set_defaults(run=run_keygen)

    publish = sub("publish", "check a package and write the signed server tree",
                  "Checks PACKAGE as the installer's extraction would, then writes\n"
                  "DIR/down/quillclient/CHS/{quillmere.zip,version.xml,version.xml.sig}.\n"
                  "Files are written under temporary names and renamed at the end, the signature last.")
    publish.add_argument("package", metavar="PACKAGE",
                         help="the release zip, holding vcredist_x86.exe and Quillmere.msi")
    publish.add_argument("--version", required=True, type=version_argument, metavar="V",
                         help="the client's version: 2 to 4 dotted numbers, each 0..65535")
    publish.add_argument("--key", required=True, metavar="KEY", help="private.pem made by keygen")
    publish.add_argument("--out", required=True, metavar="DIR", help="root of the server tree")
    publish.add_argument("--expires", type=days_argument, default=30, metavar="DAYS",
                         help=f"days until installers stop trusting the manifest, 1..{MAX_DAYS} (default 30)")
    publish.add_argument("--downgrade", action="store_true",
                         help="let this version replace a newer installed client (a rollback)")
    publish.add_argument("--mirror", action="append", default=[], type=mirror_argument, metavar="URL",
                         help="a further https: address of the same package, tried in the order given "
                              f"when the download host fails (repeatable, at most {manifest.MAX_MIRRORS})")
    publish.add_argument("--report-url", type=mirror_argument, metavar="URL",
                         help="an https: address installers send each run's report to, as a GET with the run "
                              "in the query string; the server's access log is the store (README, "
                              "\"What the installer reports\")")
    publish.set_defaults(run=run_publish)

    verify = sub("verify", "check a published tree as the installer will",
                 "Checks the signature over version.xml's exact bytes, that it has not expired, that\n"
                 "quillmere.zip has the published size and SHA-256, and the package itself.\n"
                 "DIR is the folder given to publish --out, or its down/quillclient/CHS folder.\n"
                 "With --fetch, the package is fetched from each mirror the manifest lists\n"
                 "(and from --primary) and checked against the published size and SHA-256.")
    verify.add_argument("dir", metavar="DIR")
    verify.add_argument("--public-key", required=True, metavar="FILE", help="public.pem made by keygen")
    verify.add_argument("--fetch", action="store_true", help="fetch the package from every address and check it")
    verify.add_argument("--primary", metavar="URL",
                        help="the download host's own address of the package, fetched too")
    verify.set_defaults(run=run_verify)
    return top


def main(argv=None):
    args = parser().parse_args(argv)
    try:
        args.run(args)
    except Refused as reason:
        print(f"{args.command}: refused: {reason}", file=sys.stderr)
        return EXIT_REFUSED
    except OSError as error:
        print(f"{args.command}: failed: {error}", file=sys.stderr)
        return EXIT_REFUSED
    return EXIT_OK


if __name__ == "__main__":
    sys.exit(main())
