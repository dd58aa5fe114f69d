// Finding a keyword, asking for its answer and listing the keywords.

#include "Keywords.h"

#include "Output.h"

#include <cstring>
#include <iterator>

// Most keywords differ from the argument in its first letter, and are passed
// over without a call.
const Keyword* findKeyword(const char* word)
{
    for (const Keyword& keyword : keywords)
        if (keyword.word[0] == word[0] && std::strcmp(keyword.word, word) == 0)
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

void putKeywordChoices()
{
    output.put(keywords[0].word);
    for (std::size_t i = 1; i < std::size(keywords); ++i) {
        output.put(i + 1 < std::size(keywords) ? ", " : " or ");
        output.put(keywords[i].word);
    }
}
