"""The Python module against the command, in fresh interpreters: answers are
held per process. RAVLIN_PATH_COMMAND names the command, NSS_WRAPPER_LIBRARY
the nss_wrapper library that makes the user nmr on host alpha.beta;
PYTHONPATH, when set, leads to the module."""

import ast
import os
import subprocess
import sys
from pathlib import Path

import pytest

import ravlinpath

COMMAND = os.environ["RAVLIN_PATH_COMMAND"]

ODD_HOME = b"/opt/it's \"r\" a\nb\\c\xfe"  # answered with / for the backslash
ODD_EXP = b"/data/\xe9xp\ts"
ODD_LUMEVA = b"/opt/lum\xffeva 'q'"
ODD_BIN = b"bin \xff'x"  # below the scratch directory

KEYWORDS = {"prog": "prog_dir", "exp": "exp_dir", "conf": "conf_dir", "plot": "plot_dir", "print": "print_dir",
            "dot": "dot_dir", "lv": "lumeva_dir", "pdf": "pdf_viewer", "diskless": "diskless_inst_dir",
            "userhome": "user_home"}

# The answers the command does not give; SCRATCH stands for the scratch directory.
OTHERS = {
    "odd": {
        "home_dir": b"/opt/it's \"r\" a\nb/c\xfe", "exp_stan_dir": ODD_EXP + b"/stan",
        "layout_dir": b"/opt/it's \"r\" a\nb/c\xfe/plot/layouts", "docu_dir": b"/opt/it's \"r\" a\nb/c\xfe/prog/docu",
        "app_defaults_dir": b"/opt/it's \"r\" a\nb/c\xfe/prog/app-defaults",
        "hints_dir": b"/opt/it's \"r\" a\nb/c\xfe/prog/hints", "cur_dir_file": b"curdir/nmr",
        "user_name": b"nmr", "brisko": b"SCRATCH/" + ODD_BIN + b"/brisko", "quamby": None,
        "fennet_prog_dir": b"/zf \xff", "fennet_exe": b"zoltra2", "fennet_win": b"Main Win",
        "registry_file": b"SCRATCH/registry \xff.ini",
    },
    "bare": {
        "home_dir": b"/undefined", "exp_stan_dir": b"/undefined/exp/stan", "layout_dir": b"/undefined/plot/layouts",
        "docu_dir": b"/undefined/prog/docu", "app_defaults_dir": b"/undefined/prog/app-defaults",
        "hints_dir": b"/undefined/prog/hints", "cur_dir_file": b"", "user_name": b"", "brisko": None, "quamby": None,
        "fennet_prog_dir": b"/usr/prog/zoltra-fennet", "fennet_exe": b"zoltra", "fennet_win": b"ZoltraMain",
        "registry_file": b"SCRATCH/missing.ini",
    },
}
FIXED = {"diskless_root_dir": b"/usr/diskless/clients/spect/root", "diskless_lock": b"/usr/diskless/clients/spect/lock",
         "tmp_dir": b"/tmp", "platform_kind": 0}
ANSWERS = sorted({*KEYWORDS.values(), *OTHERS["odd"], *FIXED})
TWINS = {name: name[:-4] + "_path" for name in ANSWERS if name.endswith("_dir")}


def environment(scratch: Path, home: bytes, **variables: bytes) -> dict:
    """nss_wrapper's user nmr with home (or no user for an empty home) and the variables."""
    (scratch / "passwd").write_bytes(b"nmr:x:%d:%d:NMR:%s:/bin/sh\n" % (os.getuid() if home else 65533, os.getgid(), home))
    (scratch / "group").write_bytes(b"nmr:x:%d:\n" % os.getgid())
    env = {b"LD_PRELOAD": os.environ["NSS_WRAPPER_LIBRARY"].encode(), b"NSS_WRAPPER_HOSTNAME": b"alpha.beta",
           b"NSS_WRAPPER_PASSWD": bytes(scratch / "passwd"), b"NSS_WRAPPER_GROUP": bytes(scratch / "group")}
    if "PYTHONPATH" in os.environ:
        env[b"PYTHONPATH"] = os.environb[b"PYTHONPATH"]
    return env | {name.encode(): value for name, value in variables.items()}


def odd(scratch: Path) -> dict:
    """Answers with quotes, spaces, newlines and bytes that are not UTF-8."""
    bin_dir = bytes(scratch) + b"/" + ODD_BIN
    os.mkdir(bin_dir)
    for name in (b"evince", b"brisko"):
        os.close(os.open(bin_dir + b"/" + name, os.O_CREAT | os.O_WRONLY, 0o755))
    registry = bytes(scratch) + b"/registry \xff.ini"
    Path(os.fsdecode(registry)).write_bytes(b"[Zoltra-Fennet]\nProgPath=/zf \xff\nProgName=zoltra2\nWinName=Main Win\n")
    return environment(scratch, b"/home/n m'r\xff", RAVLINHOME=ODD_HOME, RAVLINEXP=ODD_EXP, LUMEVA=ODD_LUMEVA,
                       PATH=b"/nonexistent::" + bin_dir, HALVIK_REGISTRY_FILE=registry)


def bare(scratch: Path) -> dict:
    """Nothing located: no user, no installation, nothing on PATH."""
    return environment(scratch, b"", PATH=b"/nonexistent", HALVIK_REGISTRY_FILE=bytes(scratch / "missing.ini"))


def in_python(env: dict, script: str):
    """What script, run by a fresh interpreter after importing ravlinpath, prints, as a Python literal."""
    done = subprocess.run([sys.executable, "-c", "import ravlinpath\n" + script], env=env, capture_output=True)
    assert done.returncode == 0, done.stderr.decode(errors="replace")
    return ast.literal_eval(done.stdout.decode())


def command(env: dict, *arguments: str) -> subprocess.CompletedProcess:
    return subprocess.run([COMMAND, *arguments], env=env, capture_output=True)


@pytest.fixture(scope="module", params=["odd", "bare"])
def place(request, tmp_path_factory):
    scratch = tmp_path_factory.mktemp(request.param)
    return request.param, scratch, {"odd": odd, "bare": bare}[request.param](scratch)


@pytest.fixture(scope="module")
def asked(place):
    """Each answer as (type name, bytes by os.fsencode, or the value), whether pathlib was imported
    by then, and for each twin whether it answers Path(*_dir()) (None for None)."""
    name, scratch, env = place
    return in_python(env, f"""
import os, sys
answers = {{name: getattr(ravlinpath, name)() for name in {ANSWERS!r}}}
pathlib_imported = "pathlib" in sys.modules
from pathlib import Path
twins = {{twin: (lambda answer, twin: twin is None if answer is None else type(twin) is type(Path()) and twin == Path(answer))(
    answers[name], getattr(ravlinpath, twin)()) for name, twin in {TWINS!r}.items()}}
print(repr(({{name: (type(value).__name__, os.fsencode(value) if isinstance(value, str) else value)
              for name, value in answers.items()}}, pathlib_imported, twins)))
""")


def test_answers_agree_with_the_command(place, asked):
    name, scratch, env = place
    answers = asked[0]
    for keyword, function in KEYWORDS.items():
        assert command(env, keyword).stdout == (answers[function][1] or b""), keyword
    assert command(env, "curdir").stdout == answers["prog_dir"][1] + b"/" + answers["cur_dir_file"][1]
    for function, expected in (OTHERS[name] | FIXED).items():
        if isinstance(expected, bytes):
            expected = expected.replace(b"SCRATCH", bytes(scratch))
        assert answers[function][1] == expected, function


def test_none_exactly_where_the_library_answers_null(place, asked):
    answers = asked[0]
    nulls = {"odd": {"quamby"}, "bare": {"quamby", "brisko", "lumeva_dir", "pdf_viewer"}}[place[0]]
    assert {function for function, (kind, _) in answers.items() if kind == "NoneType"} == nulls
    assert {kind for function, (kind, _) in answers.items() if function not in nulls} == {"str", "int"}
    assert answers["platform_kind"][0] == "int"


def test_path_twins_answer_path_of_the_dir_and_import_pathlib_only_then(asked):
    answers, pathlib_imported, twins = asked
    assert not pathlib_imported
    assert twins == {twin: True for twin in TWINS.values()}


@pytest.mark.parametrize("arguments", [["--all"], ["exp"], ["curdir"], ["lv"], ["pdf"], [], ["bogus"]])
def test_module_run_as_a_program_prints_what_the_command_prints(place, arguments):
    env = place[2]
    expected = command(env, *arguments)
    done = subprocess.run([sys.executable, "-m", "ravlinpath", *arguments], env=env, capture_output=True)
    assert (done.stdout, done.stderr, done.returncode) == (expected.stdout, b"", expected.returncode)


FAMILY_CASES = {
    "tazlo before the first answer": ('select_family("tazlo")', (None, 1, "/t/exp", "/t/exp", "/home/nmr/.tazlo-alpha")),
    "ravlin again": ('select_family("tazlo"); ravlinpath.select_family("ravlin")',
                     (None, 0, "/r/exp", "/r/exp/stan", "/home/nmr/.morvel-alpha")),
    "after an answer": ('tmp_dir(); ravlinpath.select_family("tazlo")',
                        ("RuntimeError", 0, "/r/exp", "/r/exp/stan", "/home/nmr/.morvel-alpha")),
    "unknown family": ('select_family("plenko")', ("ValueError", 0, "/r/exp", "/r/exp/stan", "/home/nmr/.morvel-alpha")),
    "not a name": ("select_family(1)", ("TypeError", 0, "/r/exp", "/r/exp/stan", "/home/nmr/.morvel-alpha")),
}


@pytest.mark.parametrize("calls, expected", FAMILY_CASES.values(), ids=FAMILY_CASES)
def test_select_family(tmp_path, calls, expected):
    env = environment(tmp_path, b"/home/nmr", RAVLINHOME=b"/r", TAZLO_HOME=b"/t")
    assert in_python(env, f"""
try:
    ravlinpath.{calls}
    refused = None
except Exception as error:
    refused = type(error).__name__
print(repr((refused, ravlinpath.platform_kind(), ravlinpath.exp_dir(), ravlinpath.exp_stan_dir(), ravlinpath.dot_dir())))
""") == expected


# Takes a write lease on the file named by its argument with SIGIO blocked,
# says "held", waits for the lease to be broken, says "breaking", and gives the
# lease up when told on its standard input; after 10 seconds untold, it gives
# it up anyway and exits with 3.
HOLDER = """
import fcntl, os, select, signal, sys
F_SETLEASE = 1024
signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGIO})
fd = os.open(sys.argv[1], os.O_RDONLY)
try:
    fcntl.fcntl(fd, F_SETLEASE, fcntl.F_WRLCK)
except OSError:
    sys.exit(1)
print("held", flush=True)
if signal.sigtimedwait({signal.SIGIO}, 30) is None:
    sys.exit(2)
print("breaking", flush=True)
told = select.select([sys.stdin], [], [], 10)[0]
fcntl.fcntl(fd, F_SETLEASE, fcntl.F_UNLCK)
sys.exit(0 if told else 3)
"""


def test_other_threads_run_while_a_first_query_waits_for_a_leased_registry(tmp_path):
    registry = tmp_path / "registry.ini"
    registry.write_text("[Zoltra-Fennet]\nProgPath=/zf\n")
    env = environment(tmp_path, b"/home/nmr", HALVIK_REGISTRY_FILE=bytes(registry))
    outcome = in_python(env, f"""
import subprocess, sys, threading
holder = subprocess.Popen([sys.executable, "-c", {HOLDER!r}, {str(registry)!r}], stdin=subprocess.PIPE,
                          stdout=subprocess.PIPE)
if holder.stdout.readline() != b"held\\n":
    print(repr("no lease"))
    sys.exit()
answer = []
asking = threading.Thread(target=lambda: answer.append(ravlinpath.fennet_prog_dir()))
asking.start()
holder.stdout.readline()
count = 0
while count < 100000 and not answer:
    count += 1
try:
    ravlinpath.select_family("tazlo")
    refused = False
except RuntimeError:
    refused = True
answered_meanwhile = bool(answer)
holder.stdin.close()
asking.join()
print(repr((count, answered_meanwhile, refused, answer, holder.wait())))
""")
    if outcome == "no lease":
        pytest.skip(f"no lease can be taken on {registry}")
    assert outcome == (100000, False, True, ["/zf"], 0)


def test_interface_is_the_stub_and_documented():
    package = Path(ravlinpath.__file__).parent
    stub = ast.parse((package / "__init__.pyi").read_text())
    functions = {name for name in dir(ravlinpath) if callable(getattr(ravlinpath, name)) and not name.startswith("_")}
    assert functions == {node.name for node in stub.body if isinstance(node, ast.FunctionDef)}
    assert functions == {*ANSWERS, *TWINS.values(), "select_family"}
    assert all(getattr(ravlinpath, name).__doc__ for name in functions)
    assert (package / "py.typed").exists()
