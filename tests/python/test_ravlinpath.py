"""The Python module against the command, in fresh interpreters, since answers
are held per process. RAVLIN_PATH_COMMAND names the command,
RAVLIN_PATH_SCHEMA the schema of its JSON, and NSS_WRAPPER_LIBRARY the library
that makes the user nmr on host alpha.beta; PYTHONPATH, when set, leads to the
module."""

import ast
import importlib.util
import inspect
import json
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

import ravlinpath
from nss import as_nmr

HOME = b"/opt/it's \"r\" a\nb/c\xfe"  # given with a backslash for the slash
BIN = b"bin \xff'x"  # below the scratch directory, as is the registry file

KEYWORDS = {"prog": "prog_dir", "exp": "exp_dir", "conf": "conf_dir", "plot": "plot_dir", "print": "print_dir",
            "dot": "dot_dir", "lv": "lumeva_dir", "pdf": "pdf_viewer", "diskless": "diskless_inst_dir",
            "userhome": "user_home"}
# The answers the command does not give, as os.fsencode gives them; None where the library answers null.
OTHERS = {
    "odd": {"home_dir": HOME, "exp_stan_dir": b"/data/\xe9xp\ts/stan", "layout_dir": HOME + b"/plot/layouts",
            "docu_dir": HOME + b"/prog/docu", "app_defaults_dir": HOME + b"/prog/app-defaults",
            "hints_dir": HOME + b"/prog/hints", "cur_dir_file": b"curdir/nmr", "user_name": b"nmr",
            "brisko": b"SCRATCH/" + BIN + b"/brisko", "quamby": None, "fennet_prog_dir": b"/zf \xff",
            "fennet_exe": b"zoltra2", "fennet_win": b"Main Win", "registry_file": b"SCRATCH/registry \xff.ini"},
    "bare": {"home_dir": b"/undefined", "exp_stan_dir": b"/undefined/exp/stan", "layout_dir": b"/undefined/plot/layouts",
             "docu_dir": b"/undefined/prog/docu", "app_defaults_dir": b"/undefined/prog/app-defaults",
             "hints_dir": b"/undefined/prog/hints", "cur_dir_file": b"", "user_name": b"", "brisko": None,
             "quamby": None, "fennet_prog_dir": b"/usr/prog/zoltra-fennet", "fennet_exe": b"zoltra",
             "fennet_win": b"ZoltraMain", "registry_file": b"SCRATCH/registry \xff.ini"},
}
OTHERS["empty"] = OTHERS["bare"] | {"home_dir": b"", "exp_stan_dir": b"/stan", "layout_dir": b"", "docu_dir": b"/docu",
                                    "app_defaults_dir": b"/app-defaults", "hints_dir": b"/hints"}
FIXED = {"diskless_root_dir": b"/usr/diskless/clients/spect/root", "diskless_lock": b"/usr/diskless/clients/spect/lock",
         "tmp_dir": b"/tmp", "platform_kind": 0}
NULL_WITH_THE_COMMAND = {"odd": set(), "bare": {"lumeva_dir", "pdf_viewer"}, "empty": {"pdf_viewer"}}
ANSWERS = sorted({*KEYWORDS.values(), *OTHERS["odd"], *FIXED})
TWINS = {name: name[:-4] + "_path" for name in ANSWERS if name.endswith("_dir")}


def environment(scratch: Path, home: bytes, **variables: bytes) -> dict:
    """The user nmr with home (no password entry for an empty home), on host alpha.beta, and the variables."""
    env = as_nmr(scratch, home, os.environ["NSS_WRAPPER_LIBRARY"])
    if "PYTHONPATH" in os.environ:
        env[b"PYTHONPATH"] = os.environb[b"PYTHONPATH"]
    return env | {name.encode(): value for name, value in variables.items()}


# The variables of the scenes where nothing is located: unset, or set and empty.
UNLOCATED = {"bare": {}, "empty": dict.fromkeys(("RAVLINHOME", "RAVLINPROG", "RAVLINEXP", "RAVLINCONF", "RAVLINPLOT",
                                                 "RAVLINLAYOUT", "RAVLINPRINT", "LUMEVA"), b"")}


def place(name: str, scratch: Path) -> dict:
    """odd: answers with quotes, spaces, newlines and bytes that are not UTF-8; bare and empty: nothing located."""
    registry = bytes(scratch) + b"/registry \xff.ini"
    if name in UNLOCATED:
        return environment(scratch, b"", PATH=b"/nonexistent", HALVIK_REGISTRY_FILE=registry, **UNLOCATED[name])
    os.mkdir(bytes(scratch) + b"/" + BIN)
    for program in (b"evince", b"brisko"):
        os.close(os.open(bytes(scratch) + b"/" + BIN + b"/" + program, os.O_CREAT | os.O_WRONLY, 0o755))
    with open(registry, "wb") as file:
        file.write(b"[Zoltra-Fennet]\nProgPath=/zf \xff\nProgName=zoltra2\nWinName=Main Win\n")
    return environment(scratch, b"/home/n m'r\xff", RAVLINHOME=HOME.replace(b"b/c", b"b\\c"), RAVLINEXP=b"/data/\xe9xp\ts",
                       LUMEVA=b"/opt/lum\xffeva 'q'", PATH=b"/nonexistent::" + bytes(scratch) + b"/" + BIN,
                       HALVIK_REGISTRY_FILE=registry)


def in_python(env: dict, script: str):
    """What script, run by a fresh interpreter after import ravlinpath, prints as a Python literal."""
    done = subprocess.run([sys.executable, "-c", "import ravlinpath\n" + script], env=env, capture_output=True)
    assert done.returncode == 0, done.stderr.decode(errors="replace")
    return ast.literal_eval(done.stdout.decode())


def command(env: dict, *arguments: str) -> subprocess.CompletedProcess:
    return subprocess.run([os.environ["RAVLIN_PATH_COMMAND"], *arguments], env=env, capture_output=True)


@pytest.fixture(scope="module", params=["odd", "bare", "empty"])
def scene(request, tmp_path_factory):
    scratch = tmp_path_factory.mktemp(request.param)
    return request.param, scratch, place(request.param, scratch)


# Each answer, every *_path() checked against Path(*_dir()), or None for None and "", and pathlib seen
# unimported until then.
ASK_ALL = f"""
import os, sys
answers = {{name: getattr(ravlinpath, name)() for name in {ANSWERS!r}}}
assert {{type(answer) for answer in answers.values()}} <= {{str, int, type(None)}}, answers
assert "pathlib" not in sys.modules
from pathlib import Path
twins = {{twin: getattr(ravlinpath, twin)() for twin in {TWINS!r}.values()}}
wrong = [twin for name, twin in {TWINS!r}.items()
         if twins[twin] != (Path(answers[name]) if answers[name] else None)
         or type(twins[twin]) not in (type(Path()), type(None))]
assert not wrong, wrong
print(repr({{name: os.fsencode(answer) if type(answer) is str else answer for name, answer in answers.items()}}))
"""


def test_answers_agree_with_the_command_and_are_none_where_null(scene):
    name, scratch, env = scene
    answers = in_python(env, ASK_ALL)
    for keyword, function in KEYWORDS.items():
        assert command(env, keyword).stdout == (answers[function] or b""), keyword
    assert command(env, "curdir").stdout == answers["prog_dir"] + b"/" + answers["cur_dir_file"]
    expected = {function: answer.replace(b"SCRATCH", bytes(scratch)) if isinstance(answer, bytes) else answer
                for function, answer in (OTHERS[name] | FIXED).items()}
    assert {function: answers[function] for function in expected} == expected
    assert {function for function in KEYWORDS.values() if answers[function] is None} == NULL_WITH_THE_COMMAND[name]


# Without an argument, what --all prints.
@pytest.mark.parametrize("arguments", [["--all"], ["exp"], ["curdir"], ["lv"], ["pdf"], [], ["bogus"], ["-x"]])
def test_run_as_a_program_it_prints_what_the_command_prints(scene, arguments):
    env = scene[2]
    expected = command(env, *(arguments or ["--all"]))
    done = subprocess.run([sys.executable, "-m", "ravlinpath", *arguments], env=env, capture_output=True)
    assert (done.stdout, done.stderr, done.returncode) == (expected.stdout, b"", expected.returncode)


@pytest.mark.parametrize("option", ["-h", "--help"])
def test_run_as_a_program_it_has_a_usage_of_its_own(option):
    done = subprocess.run([sys.executable, "-m", "ravlinpath", option], capture_output=True)
    assert (done.stdout.startswith(b"usage: python3 -m ravlinpath "), done.stderr, done.returncode) == (True, b"", 0)


# The keywords whose answer JSON gives as null: no Lumeva, no viewer, no password entry.
NULL_IN_JSON = {"odd": set(), "bare": {"lv", "pdf", "userhome"}, "empty": {"pdf", "userhome"}}


def json_of(env: dict, *arguments: str):
    """What the command prints, checked to be valid UTF-8 and valid against the schema, with its status."""
    import jsonschema
    done = command(env, *arguments)
    assert done.stderr == b"" and done.stdout.endswith(b"}\n" if arguments[0] != "--explain" else b"]\n")
    document = json.loads(done.stdout.decode("utf-8"))
    jsonschema.validate(document, json.loads(Path(os.environ["RAVLIN_PATH_SCHEMA"]).read_text()))
    return document, done.returncode


def as_bytes(text):
    return text if text is None else bytes(text) if isinstance(text, list) else text.encode()


# Every answer as the keyword prints it, bytes that are not UTF-8 included, with
# null and "" kept apart; the check and the explanations give the same answers.
def test_json_gives_each_keywords_answer(scene):
    name, scratch, env = scene
    usage = re.split(r", | or ", command(env).stdout.decode().removeprefix("missing argument: ").strip())
    answers, status = json_of(env, "--json")
    assert (answers, status) == json_of(env, "--all", "--json") and status == 0
    assert list(answers) == usage
    assert {keyword: as_bytes(answer) for keyword, answer in answers.items()} == {
        keyword: None if keyword in NULL_IN_JSON[name] else command(env, keyword).stdout for keyword in usage}
    check, status = json_of(env, "--check", "--json")
    assert status == command(env, "--check").returncode and check["complete"] == (status == 0)
    assert [(line["keyword"], line["answer"]) for line in check["answers"]][1:] == list(answers.items())
    explained, status = json_of(env, "--explain", "--json")
    assert [(each["keyword"], each["answer"]) for each in explained] == list(answers.items()) and status == 0
    assert json_of(env, "--explain", "exp", "--json") == ([explained[1]], 0)


# What decided an answer, for a function and its twin alike; the answers of
# no function, and the family, have no explanation.
EXPLAINED = {
    "odd": {"exp_dir": "RAVLINEXP=" + os.fsdecode(b"/data/\xe9xp\ts") + "\n",
            "fennet_exe": "registry file " + os.fsdecode(bytes(Path("SCRATCH")) + b"/registry \xff.ini") + ": read\n"},
    "bare": {"home_path": "RAVLINHOME not set\nfallback /undefined: the installation is not located\n",
             "lumeva_dir": "LUMEVA not set\n"},
    "empty": {"exp_path": "RAVLINEXP=\n", "lumeva_dir": "LUMEVA=\n"},
}
EXPLAIN = """
explained = {}
for name in ("exp_dir", "exp_path", "fennet_exe", "home_path", "lumeva_dir", "platform_kind", "explain"):
    try:
        explained[name] = ravlinpath.explain(name)
    except ValueError:
        explained[name] = "ValueError"
print(repr(explained))
"""


def test_explain_says_what_decided_each_answer(scene):
    name, scratch, env = scene
    explained = in_python(env, EXPLAIN)
    assert explained["exp_dir"] == explained["exp_path"]
    assert explained["platform_kind"] == explained["explain"] == "ValueError"
    for function, facts in EXPLAINED[name].items():
        assert facts.replace("SCRATCH", str(scratch)) in explained[function], function


RAVLIN = ("/r/exp", "/r/exp/stan", "/home/nmr/.morvel-alpha")
FAMILIES = {
    "tazlo before the first answer": ('select_family("tazlo")', (None, 1, "/t/exp", "/t/exp", "/home/nmr/.tazlo-alpha")),
    "ravlin again": ('select_family("tazlo"); ravlinpath.select_family("ravlin")', (None, 0, *RAVLIN)),
    "after an answer": ('tmp_dir(); ravlinpath.select_family("tazlo")', ("RuntimeError", 0, *RAVLIN)),
    "unknown family": ('select_family("plenko")', ("ValueError", 0, *RAVLIN)),
    "not a name": ("select_family(1)", ("TypeError", 0, *RAVLIN)),
}


@pytest.mark.parametrize("calls, expected", FAMILIES.values(), ids=FAMILIES)
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


# Takes a write lease on the file named by its argument with SIGIO blocked and
# says "held"; once the lease is being broken, says "breaking" and gives the
# lease up when its standard input closes, or after 10 seconds, exiting with 3.
HOLDER = """
import fcntl, os, select, signal, sys
signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGIO})
fd = os.open(sys.argv[1], os.O_RDONLY)
try:
    fcntl.fcntl(fd, 1024, fcntl.F_WRLCK)  # F_SETLEASE
except OSError:
    sys.exit(1)
print("held", flush=True)
if signal.sigtimedwait({signal.SIGIO}, 30) is None:
    sys.exit(2)
print("breaking", flush=True)
told = select.select([sys.stdin], [], [], 10)[0]
fcntl.fcntl(fd, 1024, fcntl.F_UNLCK)
sys.exit(0 if told else 3)
"""


# While another thread's first query waits for the lease, the main thread
# counts, is refused the family (an answer has been started) and tells the
# holder to let go: the holder exits with 0 only when told before its
# patience ran out, which a query holding the GIL would not let happen.
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
print(repr((count, refused, answered_meanwhile, answer, holder.wait())))
""")
    if outcome == "no lease":
        pytest.skip(f"no lease can be taken on {registry}")
    assert outcome == (100000, True, False, ["/zf"], 0)


def test_the_stub_declares_every_function_and_every_function_is_documented():
    package = Path(ravlinpath.__file__).parent
    stub = ast.parse((package / "__init__.pyi").read_text())
    functions = {name for name in dir(ravlinpath) if callable(getattr(ravlinpath, name)) and not name.startswith("_")}
    assert functions == {node.name for node in stub.body if isinstance(node, ast.FunctionDef)}
    assert functions == {*ANSWERS, *TWINS.values(), "select_family", "explain"}
    assert all(getattr(ravlinpath, name).__doc__ for name in functions)
    assert {name: str(inspect.signature(getattr(ravlinpath, name))) for name in functions} == dict.fromkeys(
        functions, "()") | {"select_family": "(name, /)", "explain": "(name, /)"}
    assert [node.target.id for node in stub.body if isinstance(node, ast.AnnAssign)] == ["__version__"]
    assert command(os.environ, "--version").stdout == b"ravlin-path %s\n" % ravlinpath.__version__.encode()
    assert (package / "py.typed").exists()


@pytest.mark.skipif(not importlib.util.find_spec("mypy"), reason="mypy is not installed for this Python")
def test_stubtest_finds_the_stub_true_to_the_module(tmp_path):
    done = subprocess.run([sys.executable, "-m", "mypy.stubtest", "ravlinpath"], capture_output=True,
                          env=os.environ | {"MYPY_CACHE_DIR": str(tmp_path)})
    assert done.returncode == 0, done.stdout.decode()


SUBINTERPRETERS = next((name for name in ("_interpreters", "_xxsubinterpreters") if importlib.util.find_spec(name)), None)


# A sub-interpreter asks first and is gone before the main interpreter asks:
# each gets a Path of its own pathlib.
@pytest.mark.skipif(not SUBINTERPRETERS, reason="this Python has neither _interpreters nor _xxsubinterpreters")
def test_each_interpreter_gets_a_path_of_its_own(tmp_path):
    env = environment(tmp_path, b"/home/nmr", RAVLINEXP=b"/e")
    assert in_python(env, f"""
import {SUBINTERPRETERS} as interpreters
interpreter = interpreters.create()
failed = interpreters.run_string(interpreter, "import pathlib, ravlinpath; assert ravlinpath.exp_path() == pathlib.Path('/e')")
interpreters.destroy(interpreter)
import pathlib
print(repr((repr(failed), isinstance(ravlinpath.exp_path(), pathlib.Path), str(ravlinpath.exp_path()))))
""") == ("None", True, "/e")
