"""The user the tests and benchmarks run as: nmr on host alpha.beta, through
nss_wrapper, so that no answer depends on this machine's users or name."""

import glob
import os
from pathlib import Path
from typing import Optional


def as_nmr(scratch: Path, home: bytes = b"/home/nmr", library: Optional[str] = None) -> dict:
    """The variables that make the real user nmr with home, in password and
    group files written to scratch; with an empty home, the user has no entry."""
    uid = os.getuid() if home else 65533
    (scratch / "passwd").write_bytes(b"nmr:x:%d:%d:NMR:%s:/bin/sh\n" % (uid, os.getgid(), home))
    (scratch / "group").write_bytes(b"nmr:x:%d:\n" % os.getgid())
    library = library or glob.glob("/usr/lib/*/libnss_wrapper.so")[0]
    return {b"LD_PRELOAD": os.fsencode(library), b"NSS_WRAPPER_HOSTNAME": b"alpha.beta",
            b"NSS_WRAPPER_PASSWD": bytes(scratch / "passwd"), b"NSS_WRAPPER_GROUP": bytes(scratch / "group")}
