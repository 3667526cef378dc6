"""The vendor's release publishing: package check, signed manifest, server tree."""


class Refused(Exception):
    """Something the installer would not accept, or that cannot be done; the message is one line."""
