// ravlin-path: prints one path of the Ravlin installation or of the system;
// with an option, every answer at once, a check of the installation, its
// usage or its version. Here the argument is matched to a keyword or an
// option; the options and the help are kept here too.

#include "Check.h"
#include "Explain.h"
#include "Json.h"
#include "Keywords.h"
#include "Listings.h"
#include "Output.h"
#include "Report.h"

#include <cstring>
#include <new>

namespace {

int putVersion(const Keyword*)
{
    output.put("ravlin-path " RAVLINPATH_VERSION "\n");
    return 0;
}

int putHelp(const Keyword*);

// The options that take no keyword ignore it.
template <int (*run)()>
int withoutKeyword(const Keyword*)
{
    return run();
}

struct Option {
    const char* name;
    const char* shortName;  // or null
    int (*run)(const Keyword* keyword);
    int (*runAsJson)(const Keyword* keyword);  // after --json, or null when the option has no JSON form
    bool takesKeyword;                         // a keyword may follow, which must be one
    const char* meaning;
};

constexpr Option options[] = {
    {"--all", nullptr, withoutKeyword<putListing<Form::all>>, putJsonListing, false,
     "every keyword and its answer, one per line"},
    {"--shell", nullptr, withoutKeyword<putListing<Form::shell>>, nullptr, false,
     "every answer as a POSIX shell assignment: eval \"$(ravlin-path --shell)\""},
    {"--csh", nullptr, withoutKeyword<putListing<Form::csh>>, nullptr, false,
     "every answer as a csh assignment: eval \"`ravlin-path --csh`\""},
    {"--fish", nullptr, withoutKeyword<putListing<Form::fish>>, nullptr, false,
     "every answer as a fish assignment: ravlin-path --fish | source"},
    {"--check", nullptr, check, checkJson, false,
     "check the installation and where each answer came from; status 1 if incomplete"},
    {"--explain", nullptr, explain, explainJson, true,
     "where the answers came from, of every keyword or of one: --explain exp"},
    {"--json", nullptr, putJsonListing, nullptr, false, "the same as --all --json"},
    {"--help", "-h", putHelp, nullptr, false, "this help"},
    {"--version", nullptr, putVersion, nullptr, false, "the version"},
};

int putHelp(const Keyword*)
{
    output.put("Usage: ravlin-path KEYWORD\n"
               "       ravlin-path OPTION\n"
               "       ravlin-path --all|--check [--json]\n"
               "       ravlin-path --explain [KEYWORD] [--json]\n"
               "Prints one path of the Ravlin installation, of the user or of the machine,\n"
               "without a trailing newline.\n"
               "\n"
               "Keywords:\n");
    for (const Keyword& keyword : keywords) {
        output.put("  ");
        output.put(keyword.word);
        output.pad(keywordColumn, std::strlen(keyword.word));
        output.put(keyword.meaning);
        output.put("\n");
    }
    output.put("\nOptions:\n");
    for (const Option& option : options) {
        output.put(option.shortName ? "  " : "      ");
        if (option.shortName) {
            output.put(option.shortName);
            output.put(", ");
        }
        output.put(option.name);
        output.pad(keywordColumn + 1, std::strlen(option.name));
        output.put(option.meaning);
        output.put("\n");
    }
    output.put("\n"
               "--json after --all, --check or --explain gives one JSON document instead,\n"
               "described by ravlin-path.schema.json.\n"
               "The answers come from the environment (RAVLINHOME, RAVLINPROG and others),\n"
               "the password database, the host name and PATH: see ravlin-path(1).\n");
    return 0;
}

bool isJson(const char* argument)
{
    return std::strcmp(argument, "--json") == 0;
}

// Reached only when no keyword matched, so options cost a query nothing.
const Option* findOption(const char* word)
{
    for (const Option& option : options)
        if (std::strcmp(option.name, word) == 0 || (option.shortName && std::strcmp(option.shortName, word) == 0))
            return &option;
    return nullptr;
}

int usage(const char* argument)
{
    if (argument) {
        output.put("illegal argument: ");
        putShown(argument);
    } else {
        output.put("missing argument: ");
        putKeywordChoices();
    }
    output.put("\n");
    output.finish();
    return exitFailure;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(nullptr);
    if (const Keyword* keyword = findKeyword(argv[1])) {
        for (const char* part : ask(*keyword))
            output.put(part);
        return output.finish() ? 0 : exitFailure;
    }
    const Option* option = findOption(argv[1]);
    if (!option)
        return usage(argv[1]);
    int next = 2;
    const Keyword* keyword = nullptr;
    if (option->takesKeyword && next < argc && !isJson(argv[next])) {
        keyword = findKeyword(argv[next++]);
        if (!keyword)
            return usage(argv[next - 1]);
    }
    const auto run = option->runAsJson && next < argc && isJson(argv[next]) ? option->runAsJson : option->run;
    // Out of memory, a report ends where it stands, with the failure status.
    int status = exitFailure;
    try {
        status = run(keyword);
    } catch (const std::bad_alloc&) {
    }
    return output.finish() ? status : exitFailure;
}
