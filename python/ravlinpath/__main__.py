"""python3 -m ravlinpath [KEYWORD | --all]: prints what ravlin-path prints;
without an argument, what --all prints."""

import os
import sys

import ravlinpath

FAILURE = 255


def curdir() -> str:
    return ravlinpath.prog_dir() + "/" + ravlinpath.cur_dir_file()


# The command's keywords, in the order of its usage line, which --all keeps.
KEYWORDS = {
    "prog": ravlinpath.prog_dir,
    "exp": ravlinpath.exp_dir,
    "conf": ravlinpath.conf_dir,
    "plot": ravlinpath.plot_dir,
    "print": ravlinpath.print_dir,
    "dot": ravlinpath.dot_dir,
    "lv": ravlinpath.lumeva_dir,
    "curdir": curdir,
    "pdf": ravlinpath.pdf_viewer,
    "diskless": ravlinpath.diskless_inst_dir,
    "userhome": ravlinpath.user_home,
}


def answer(keyword: str) -> bytes:
    return os.fsencode(KEYWORDS[keyword]() or "")


def line(keyword: str) -> bytes:
    text = answer(keyword)
    return keyword.encode() + (b": " + text if text else b":") + b"\n"


def usage() -> bytes:
    *words, last = KEYWORDS
    return ("usage: python3 -m ravlinpath [KEYWORD | --all | -h | --help]\n"
            "Prints what ravlin-path KEYWORD or ravlin-path --all prints, with its exit\n"
            "status; --all when no argument is given.\n"
            f"KEYWORD: {', '.join(words)} or {last}\n").encode()


def write(output: bytes) -> bool:
    try:
        while output:
            output = output[os.write(1, output):]
    except OSError:
        return False
    return True


def main(argv: list[str]) -> int:
    argument = argv[0] if argv else "--all"
    if argument in KEYWORDS:
        return 0 if write(answer(argument)) else FAILURE
    if argument == "--all":
        return 0 if write(b"".join(map(line, KEYWORDS))) else FAILURE
    if argument in ("-h", "--help"):
        return 0 if write(usage()) else FAILURE
    write(b"illegal argument: " + os.fsencode(argument) + b"\n")
    return FAILURE


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
