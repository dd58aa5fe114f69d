// The package ravlinpath itself, as its __init__ module: the library's
// answers as Python values, one function per answer, in the limited API, so
// that one abi3 module serves every Python version from 3.9 on. The package
// has no __init__.py, which every import would have to find, read and run
// besides.

#include <Python.h>

#include <ravlinpath/Base.h>
#include <ravlinpath/Origin.h>
#include <ravlinpath/OriginC.h>
#include <ravlinpath/Platform.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/System.h>
#include <ravlinpath/SystemC.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <string_view>

namespace {

// The answers only the classes give.
const char* docuDir() { return PathRavlin().docuDir(); }
const char* userName() { return PathSystem().userName(); }
const char* briskoPath() { return PathSystem().briskoPath(); }
const char* quambyPath() { return PathSystem().quambyPath(); }
const char* fennetProg() { return PathBase::platform.fennetProg(); }
const char* fennetExe() { return PathBase::platform.fennetExe(); }
const char* fennetWin() { return PathBase::platform.fennetWin(); }
const char* registryFile() { return PathBase::platform.analysisRegistry(); }

// Set when the first answer is asked for; the family can be chosen only
// before. Both are the process's, as the answers are, and interpreters may
// each have a GIL of their own, so familyLock orders them.
std::mutex familyLock;
bool answersAsked = false;

void startAnswering()
{
    const std::lock_guard lock(familyLock);
    answersAsked = true;
}

bool chooseFamily(int kind)
{
    const std::lock_guard lock(familyLock);
    if (answersAsked)
        return false;
    PathBase::platform.kind = kind;
    return true;
}

// Set once answer() has been computed; from then on the library finds it
// cached. It decides whether the GIL is let go, and orders what a later call
// reads after what the first call wrote: platform_kind() reads the family,
// which no cache of the library's orders.
template <auto answer>
constinit std::atomic<bool> answeredBefore{false};

// What each interpreter keeps for itself: the pathlib.Path class of its own
// pathlib, imported on the first call of a *_path() function, not with the
// module, since importing pathlib costs more than the whole module.
struct State {
    PyObject* pathType;
};

State& stateOf(PyObject* module)
{
    return *static_cast<State*>(PyModule_GetState(module));
}

// answer(), converted. The first call of each answer lets the GIL go while
// the library computes it, which may mean waiting for a leased registry file
// or a password lookup over the network.
template <auto answer, auto convert>
PyObject* reply(PyObject* module, PyObject*)
{
    decltype(answer()) value{};
    bool outOfMemory = false;
    auto compute = [&]() noexcept {
        try {
            value = answer();
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    };
    if (answeredBefore<answer>.load(std::memory_order_acquire)) {
        compute();
    } else {
        startAnswering();
        Py_BEGIN_ALLOW_THREADS
        compute();
        Py_END_ALLOW_THREADS
    }
    if (outOfMemory)
        return PyErr_NoMemory();
    answeredBefore<answer>.store(true, std::memory_order_release);
    return convert(module, value);
}

// Decoded as os.fsdecode decodes, so that os.fsencode gives back the bytes.
PyObject* text(PyObject*, const char* answer)
{
    if (!answer)
        Py_RETURN_NONE;
    return PyUnicode_DecodeFSDefault(answer);
}

PyObject* pathType(PyObject* module)
{
    PyObject*& type = stateOf(module).pathType;
    if (type)
        return type;
    PyObject* pathlib = PyImport_ImportModule("pathlib");
    if (!pathlib)
        return nullptr;
    PyObject* found = PyObject_GetAttrString(pathlib, "Path");
    Py_DECREF(pathlib);
    if (!found)
        return nullptr;
    // The import may let another thread of the interpreter in, which may
    // have stored the class meanwhile.
    if (type)
        Py_DECREF(found);
    else
        type = found;
    return type;
}

// None for an empty answer too: as a Path it would mean the current directory.
PyObject* path(PyObject* module, const char* answer)
{
    if (!answer || !*answer)
        Py_RETURN_NONE;
    PyObject* type = pathType(module);
    PyObject* decoded = type ? PyUnicode_DecodeFSDefault(answer) : nullptr;
    if (!decoded)
        return nullptr;
    PyObject* result = PyObject_CallFunctionObjArgs(type, decoded, nullptr);
    Py_DECREF(decoded);
    return result;
}

PyObject* number(PyObject*, int answer)
{
    return PyLong_FromLong(answer);
}

using Origin = PathOrigin::Answer;

// A string literal as a template argument, so that docstrings can be put
// together at compile time.
template <std::size_t size>
struct Literal {
    consteval Literal(const char (&literal)[size]) { std::ranges::copy(literal, text); }
    char text[size]{};
};

// The parts one after another, as one string.
template <Literal... parts>
constexpr auto joined = [] {
    std::array<char, (sizeof parts.text + ...) - sizeof...(parts) + 1> text{};
    auto end = text.begin();
    ((end = std::ranges::copy(std::string_view(parts.text), end).out), ...);
    return text;
}();

// A function without arguments, its docstring led by the signature that
// inspect and pydoc read from it.
template <Literal name, auto function, Literal doc>
constexpr PyMethodDef noArguments = {name.text, function, METH_NOARGS, joined<name, "()\n--\n\n", doc>.data()};

struct Answer {
    PyMethodDef asText;
    PyMethodDef asPath;  // the pathlib.Path twin of a directory; nameless for the others
    const Origin* origin;  // the library's answer, which explain() explains; null for none
};

// Where each origin lives, for the table's pointers to it.
template <Origin origin>
constexpr Origin originOf = origin;

constexpr Literal twinDoc =
    "The answer of the *_dir() function of the same stem as a pathlib.Path; None where that answers None or ''.";

template <auto answer, Origin origin, Literal name, Literal twin, Literal doc>
constexpr Answer directory = {
    noArguments<name, reply<answer, text>, doc>, noArguments<twin, reply<answer, path>, twinDoc>, &originOf<origin>};

template <auto answer, Origin origin, Literal name, Literal doc>
constexpr Answer plain = {noArguments<name, reply<answer, text>, doc>, {}, &originOf<origin>};

constexpr Answer answers[] = {
    directory<pathRavlinHome, Origin::home, "home_dir", "home_path",
        "The installation home: RAVLINHOME (TAZLO_HOME in the Tazlo family), else /undefined.">,
    directory<pathRavlinProg, Origin::prog, "prog_dir", "prog_path", "The program directory: RAVLINPROG, else HOME/prog.">,
    directory<pathRavlinExp, Origin::exp, "exp_dir", "exp_path", "The experiment directory: RAVLINEXP, else HOME/exp.">,
    directory<pathRavlinExpStan, Origin::expStan, "exp_stan_dir", "exp_stan_path",
        "The standard-experiment directory: EXP/ and PLENKO_STAN, else EXP/stan.">,
    directory<pathRavlinConf, Origin::conf, "conf_dir", "conf_path", "The configuration directory: RAVLINCONF, else HOME/conf.">,
    directory<pathRavlinPlot, Origin::plot, "plot_dir", "plot_path", "The plot directory: RAVLINPLOT, else HOME/plot.">,
    directory<pathRavlinLayout, Origin::layout, "layout_dir", "layout_path",
        "The plot-layout directory: RAVLINLAYOUT, else HOME/plot/layouts.">,
    directory<pathRavlinPrint, Origin::print, "print_dir", "print_path", "The print directory: RAVLINPRINT, else HOME/print.">,
    directory<docuDir, Origin::docu, "docu_dir", "docu_path", "The documentation directory, PROG/docu.">,
    directory<pathRavlinAppDefaults, Origin::appDefaults, "app_defaults_dir", "app_defaults_path",
        "The app-defaults directory, PROG/app-defaults.">,
    directory<pathRavlinHints, Origin::hints, "hints_dir", "hints_path", "The hints directory, PROG/hints.">,
    directory<pathRavlinDot, Origin::dot, "dot_dir", "dot_path",
        "The per-user dot directory, USERHOME/.morvel-HOST (.tazlo-HOST in the Tazlo family).">,
    plain<pathRavlinCurDir, Origin::curDir, "cur_dir_file",
        "The per-user current-directory file, curdir/LOGIN, relative to prog_dir(); '' without a password entry.">,
    directory<pathRavlinDisklessInst, Origin::disklessInst, "diskless_inst_dir", "diskless_inst_path",
        "The diskless installation directory, /usr/diskless.">,
    directory<pathRavlinDisklessRoot, Origin::disklessRoot, "diskless_root_dir", "diskless_root_path",
        "The diskless clients' root, /usr/diskless/clients/spect/root.">,
    plain<pathRavlinDisklessLock, Origin::disklessLock, "diskless_lock",
        "The diskless clients' lock, /usr/diskless/clients/spect/lock.">,
    {noArguments<"platform_kind", reply<pathRavlinPlatform, number>,
         "The platform kind: 0 for the Ravlin family, 1 for the Tazlo family (see select_family).">,
        {}, nullptr},
    plain<pathSystemPdfViewer, Origin::pdfViewer, "pdf_viewer", "A PDF viewer executable; None when none is found.">,
    directory<pathSystemLumeva, Origin::lumeva, "lumeva_dir", "lumeva_path",
        "The Lumeva location, LUMEVA as given; None when unset.">,
    plain<pathSystemUserHome, Origin::userHome, "user_home",
        "The user's home directory from the password database; '' without a password entry.">,
    directory<pathSystemTmpDir, Origin::tmp, "tmp_dir", "tmp_path", "The temporary directory, /tmp.">,
    plain<userName, Origin::userName, "user_name",
        "The user's login name from the password database; '' without a password entry.">,
    plain<briskoPath, Origin::brisko, "brisko", "The first brisko executable on PATH; None when there is none.">,
    plain<quambyPath, Origin::quamby, "quamby", "The Quamby location an embedding program stored; None otherwise.">,
    directory<fennetProg, Origin::fennetProg, "fennet_prog_dir", "fennet_prog_path",
        "The Fennet program directory, ProgPath of the registry's [Zoltra-Fennet], else /usr/prog/zoltra-fennet.">,
    plain<fennetExe, Origin::fennetExe, "fennet_exe",
        "The Fennet executable's name, ProgName of [Zoltra-Fennet], else zoltra.">,
    plain<fennetWin, Origin::fennetWin, "fennet_win",
        "The Fennet main window's name, WinName of [Zoltra-Fennet], else ZoltraMain.">,
    plain<registryFile, Origin::registryFile, "registry_file",
        "The site's software registry file: HALVIK_REGISTRY_FILE, else /usr/Halvik/Software.ini.">,
};

struct Family {
    const char* name;
    int kind;
};

constexpr Family families[] = {{"ravlin", PathPlatform::kindRavlin}, {"tazlo", PathPlatform::kindTazlo}};

PyObject* selectFamily(PyObject*, PyObject* name)
{
    if (!PyUnicode_Check(name)) {
        PyErr_SetString(PyExc_TypeError, "select_family() takes the family's name, 'ravlin' or 'tazlo'");
        return nullptr;
    }
    const auto family = std::ranges::find_if(
        families, [&](const Family& known) { return PyUnicode_CompareWithASCIIString(name, known.name) == 0; });
    if (family == std::end(families)) {
        PyErr_Format(PyExc_ValueError, "unknown family %R: choose 'ravlin' or 'tazlo'", name);
        return nullptr;
    }
    if (!chooseFamily(family->kind)) {
        PyErr_SetString(PyExc_RuntimeError,
                        "select_family() comes before the first answer: answers are computed once per process");
        return nullptr;
    }
    Py_RETURN_NONE;
}

constexpr const char selectFamilyDoc[] =
    "select_family(name, /)\n"
    "--\n"
    "\n"
    "Chooses the product family, 'ravlin' (the default) or 'tazlo', before the first answer.\n"
    "Raises RuntimeError once an answer has been asked for, ValueError for another name.";

// The answer whose function, or pathlib.Path twin, is named name.
const Answer* answerNamed(PyObject* name)
{
    const auto named = [&](const PyMethodDef& function) {
        return function.ml_name && PyUnicode_CompareWithASCIIString(name, function.ml_name) == 0;
    };
    const auto found = std::ranges::find_if(
        answers, [&](const Answer& answer) { return answer.origin && (named(answer.asText) || named(answer.asPath)); });
    return found == std::end(answers) ? nullptr : found;
}

// Where the answer of one of the functions came from. The first call lets
// the GIL go, as the answer itself may be computed.
PyObject* explain(PyObject*, PyObject* name)
{
    if (!PyUnicode_Check(name)) {
        PyErr_SetString(PyExc_TypeError, "explain() takes the name of an answer function, such as 'exp_dir'");
        return nullptr;
    }
    const Answer* answer = answerNamed(name);
    if (!answer) {
        PyErr_Format(PyExc_ValueError, "%R is no answer function with an explanation, as 'exp_dir' is", name);
        return nullptr;
    }
    startAnswering();
    const char* facts;
    Py_BEGIN_ALLOW_THREADS
    facts = pathOrigin(PathOrigin::nameOf(*answer->origin));
    Py_END_ALLOW_THREADS
    return PyUnicode_DecodeFSDefault(facts);
}

constexpr const char explainDoc[] =
    "explain(name, /)\n"
    "--\n"
    "\n"
    "Where the answer of the function of that name ('exp_dir', 'exp_path', 'pdf_viewer', ...)\n"
    "came from: one fact per line, each input's facts indented below it.\n"
    "Raises ValueError for any other name, platform_kind included.";

constexpr std::size_t twins = std::ranges::count_if(answers, [](const Answer& answer) { return answer.asPath.ml_name; });

// Every answer, the pathlib.Path twin of each directory, select_family,
// explain and the closing sentinel.
constexpr auto methodTable()
{
    std::array<PyMethodDef, std::size(answers) + twins + 3> table{};
    auto method = table.begin();
    for (const Answer& answer : answers) {
        *method++ = answer.asText;
        if (answer.asPath.ml_name)
            *method++ = answer.asPath;
    }
    *method++ = {"select_family", selectFamily, METH_O, selectFamilyDoc};
    *method = {"explain", explain, METH_O, explainDoc};
    return table;
}

auto methods = methodTable();

constexpr char moduleDoc[] =
    "Where things are on a workstation that runs the Ravlin spectrometer software.\n"
    "\n"
    "One function per answer of libravlinpath, without arguments: each *_dir()\n"
    "answers a str and its *_path() twin a pathlib.Path; None where the library\n"
    "has no answer, and from *_path() also for an empty one, which as a Path\n"
    "would mean the current directory. Answers are computed on first use and\n"
    "held for the life of the process, whichever interpreter asks; any thread\n"
    "may ask. A program of the Tazlo family calls select_family(\"tazlo\") before\n"
    "its first answer.";

int traverse(PyObject* module, visitproc visit, void* arg)
{
    Py_VISIT(stateOf(module).pathType);
    return 0;
}

int clear(PyObject* module)
{
    Py_CLEAR(stateOf(module).pathType);
    return 0;
}

void release(void* module)
{
    clear(static_cast<PyObject*>(module));
}

int exec(PyObject* module)
{
    return PyModule_AddStringConstant(module, "__version__", RAVLINPATH_VERSION);
}

// Py_mod_multiple_interpreters and Py_MOD_PER_INTERPRETER_GIL_SUPPORTED
// (Python 3.12), which the limited API of 3.9 does not name: any interpreter
// may import the module, with a GIL of its own, as each keeps its Path in the
// module's state and what is the process's is the library's, atomic or under
// familyLock.
constexpr int multipleInterpreters = 3;
void* const perInterpreterGil = reinterpret_cast<void*>(2);

PyModuleDef_Slot slots[] = {
    {multipleInterpreters, perInterpreterGil},
    {Py_mod_exec, reinterpret_cast<void*>(exec)},
    {0, nullptr},
};

PyModuleDef module = {
    PyModuleDef_HEAD_INIT, "ravlinpath", moduleDoc, sizeof(State), methods.data(), slots, traverse, clear, release,
};

// Versions before 3.12 refuse the slot they do not know. One abi3 module
// serves them all, whichever headers built it, so the running interpreter
// decides; every interpreter of a process is of its version.
PyModuleDef* definition()
{
    PyObject* version = PySys_GetObject("hexversion");
    if (!version || PyLong_AsLong(version) < 0x030C0000)
        module.m_slots = slots + 1;
    return &module;
}

}

PyMODINIT_FUNC PyInit_ravlinpath()
{
    static PyModuleDef* const chosen = definition();
    return PyModuleDef_Init(chosen);
}
