// ravlin-path: prints one path of the Ravlin installation or of the system;
// with an option, every answer at once, a check of the installation, its
// usage or its version. Here the argument is matched to a keyword or an
// option; the options and the help are kept here too.

#include "Check.h"
#include "Keywords.h"
#include "Listings.h"
#include "Output.h"

#include <cstring>

namespace {

constexpr int exitFailure = 255;

int putVersion()
{
    output.put("ravlin-path " RAVLINPATH_VERSION "\n");
    return 0;
}

int putHelp();

struct Option {
    const char* name;
    const char* shortName;  // or null
    int (*run)();
    const char* meaning;
};

constexpr Option options[] = {
    {"--all", nullptr, putListing<Form::all>, "every keyword and its answer, one per line"},
    {"--shell", nullptr, putListing<Form::shell>, "every answer as a shell assignment: eval \"$(ravlin-path --shell)\""},
    {"--check", nullptr, check, "check the installation; status 1 when it is incomplete"},
    {"--help", "-h", putHelp, "this help"},
    {"--version", nullptr, putVersion, "the version"},
};

int putHelp()
{
    output.put("Usage: ravlin-path KEYWORD\n"
               "       ravlin-path OPTION\n"
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
               "The answers come from the environment (RAVLINHOME, RAVLINPROG and others),\n"
               "the password database, the host name and PATH: see ravlin-path(1).\n");
    return 0;
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
        output.put(argument);
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
    int status = option->run();
    return output.finish() ? status : exitFailure;
}
