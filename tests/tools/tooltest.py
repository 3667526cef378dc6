"""What the vendor tools' tests share: the tools folder on the path, and a tool run in this process."""

import contextlib
import io
import os
import sys

TOOLS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
sys.path.insert(0, TOOLS)


def run_main(main, args):
    """Runs a tool's main with these arguments: (exit code, stdout, stderr)."""
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        try:
            code = main([str(arg) for arg in args])
        except SystemExit as exit:
            code = exit.code
    return code, out.getvalue(), err.getvalue()
