// Finding a keyword, asking for its answer and listing the keywords.

#include "Keywords.h"

#include "Output.h"

#include <iterator>

namespace {

// A comparison of its own rather than strcmp, which a query would otherwise
// bind at start-up for this one call.
bool same(const char* keyword, const char* word)
{
    for (; *keyword && *keyword == *word; ++keyword, ++word) {
    }
    return *keyword == *word;
}

}

const Keyword* findKeyword(const char* word)
{
    for (const Keyword& keyword : keywords)
        if (same(keyword.word, word))
            return &keyword;
    return nullptr;
}

bool Answer::empty() const
{
    for (const char* part : *this)
        if (part && *part)
            return false;
    return true;
}

Answer ask(const Keyword& keyword)
{
    if (!keyword.below)
        return {{keyword.answer()}, 1};
    return {{keyword.answer(), "/", keyword.below()}, 3};
}

bool restsOnNoPasswordEntry(Origin origin)
{
    bool none = false;
    PathOrigin::forEachFact(origin, [&](const PathOrigin::Fact& fact) {
        none = none || (fact.depth == 0 && fact.kind == PathOrigin::Kind::noPasswordEntry);
    });
    return none;
}

void putKeywordChoices()
{
    output.put(keywords[0].word);
    for (std::size_t i = 1; i < std::size(keywords); ++i) {
        output.put(i + 1 < std::size(keywords) ? ", " : " or ");
        output.put(keywords[i].word);
    }
}
