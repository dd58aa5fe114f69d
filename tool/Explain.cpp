// The explanations of the answers (see Explain.h).

#include "Explain.h"

#include "Json.h"
#include "Listings.h"
#include "Output.h"
#include "Report.h"

#include <iterator>

namespace {

void explainOne(const Keyword& keyword)
{
    putLine<Form::shown>(keyword);
    PathOrigin::forEachFact(keyword.origin, [](const PathOrigin::Fact& fact) {
        output.pad(2 + 2 * fact.depth, 0);
        PathOrigin::describe(fact, [](std::string_view piece) { putShown(piece); });
        output.put("\n");
    });
}

template <void (*explainOne)(const Keyword& keyword)>
void explainEach(const Keyword* keyword, const char* separator)
{
    if (keyword) {
        explainOne(*keyword);
        return;
    }
    for (const Keyword& each : keywords) {
        if (&each != keywords)
            output.put(separator);
        explainOne(each);
    }
}

// What a fact's number is, as JSON gives it.
enum class Number { none, uid, line, candidate, fileState, fallback, searched };

struct KindInJson {
    char name[20];
    Number number;
};

// In the order of PathOrigin::Kind. Names in arrays rather than pointers: a
// table of pointers costs every start of the command its relocations.
constexpr KindInJson kindsInJson[] = {
    {"variable", Number::none},           {"variable_unset", Number::none},
    {"variable_not_copied", Number::none}, {"password_entry", Number::uid},
    {"no_password_entry", Number::uid},   {"host_name", Number::none},
    {"no_host_name", Number::none},       {"empty_element", Number::none},
    {"candidate", Number::candidate},     {"none_found", Number::searched},
    {"registry_file", Number::fileState}, {"setting", Number::line},
    {"blank_setting", Number::line},      {"setting_default", Number::line},
    {"not_read", Number::none},           {"below", Number::none},
    {"named", Number::none},              {"same_as", Number::none},
    {"normalized", Number::none},         {"fixed", Number::none},
    {"fallback", Number::fallback},       {"stored", Number::none},
    {"no_source", Number::none},          {"not_asked", Number::none},
};
static_assert(std::size(kindsInJson) == static_cast<std::size_t>(PathOrigin::Kind::notAsked) + 1);

// In the order of PathOrigin::Candidate, FileState and Fallback.
constexpr char candidateWords[][16] = {"found",     "missing",        "unreachable", "directory",
                                       "not_regular", "not_executable", "too_long",    "not_copied"};
constexpr char fileStateWords[][12] = {"read", "missing", "not_regular", "unreadable", "leased"};
constexpr char fallbackWords[][16] = {"not_located", "out_of_memory"};

template <std::size_t count, std::size_t size>
void putJsonWord(const char (&words)[count][size], long number)
{
    putJsonText(number >= 0 && static_cast<std::size_t>(number) < count ? words[number] : nullptr);
}

void putJsonNumberOf(const PathOrigin::Fact& fact)
{
    switch (kindsInJson[static_cast<int>(fact.kind)].number) {
    case Number::none: return;
    case Number::uid: output.put(", \"uid\": "); return putJsonNumber(fact.number);
    case Number::line:
        if (fact.number > 0) {
            output.put(", \"line\": ");
            putJsonNumber(fact.number);
        }
        return;
    case Number::candidate: output.put(", \"verdict\": "); return putJsonWord(candidateWords, fact.number);
    case Number::fileState: output.put(", \"state\": "); return putJsonWord(fileStateWords, fact.number);
    case Number::fallback: output.put(", \"reason\": "); return putJsonWord(fallbackWords, fact.number);
    case Number::searched:
        output.put(", \"searched\": ");
        return putJsonText(PathOrigin::nameOf(static_cast<Origin>(fact.number)));
    }
}

void putJsonFact(const PathOrigin::Fact& fact)
{
    putJsonField("{\"kind\": ", kindsInJson[static_cast<int>(fact.kind)].name);
    output.put(", \"depth\": ");
    putJsonNumber(fact.depth);
    putJsonField(", \"name\": ", fact.name);
    putJsonField(", \"value\": ", fact.value);
    putJsonField(", \"detail\": ", fact.detail);
    putJsonNumberOf(fact);
    output.put(", \"text\": ");
    putJsonText([&](auto sink) { PathOrigin::describe(fact, [&](std::string_view piece) { sink(piece); }); });
    output.put("}");
}

void explainOneJson(const Keyword& keyword)
{
    putJsonField("{\"keyword\": ", keyword.word);
    output.put(", \"answer\": ");
    putJsonAnswer(ask(keyword), keyword.origin);
    output.put(", \"facts\": [");
    const char* separator = "";
    PathOrigin::forEachFact(keyword.origin, [&](const PathOrigin::Fact& fact) {
        output.put(separator);
        separator = ", ";
        putJsonFact(fact);
    });
    output.put("]}");
}

}

int explain(const Keyword* keyword)
{
    explainEach<explainOne>(keyword, "\n");
    return 0;
}

int explainJson(const Keyword* keyword)
{
    output.put("[");
    explainEach<explainOneJson>(keyword, ", ");
    output.put("]\n");
    return 0;
}
