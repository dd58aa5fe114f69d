// The explanations of the answers (see Explain.h).

#include "Explain.h"

#include "Listings.h"
#include "Output.h"
#include "Report.h"

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

}

int explain(const Keyword* keyword)
{
    if (keyword) {
        explainOne(*keyword);
        return 0;
    }
    for (const Keyword& each : keywords) {
        if (&each != keywords)
            output.put("\n");
        explainOne(each);
    }
    return 0;
}
