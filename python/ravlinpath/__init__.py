"""Where things are on a workstation that runs the Ravlin spectrometer software.

One function per answer of libravlinpath, without arguments: each *_dir()
answers a str and its *_path() twin a pathlib.Path; None where the library
has no answer. Answers are computed on first use and held for the life of
the process; any thread may ask. A program of the Tazlo family calls
select_family("tazlo") before its first answer.
"""

from ravlinpath._ravlinpath import *  # noqa: F401,F403
