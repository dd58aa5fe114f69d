// The traces of all answers, the locks they are computed under, and the
// composition of an answer from its source row.

#include "Trace.h"

#include "Strings.h"

#include <cstdlib>

namespace ravlinpath {

namespace {

constinit Lock locks[PathOrigin::answerCount];
constinit Trace traces[PathOrigin::answerCount];

}

Lock& lockOf(Answer answer)
{
    return locks[indexOf(sourceOf(answer).group)];
}

Trace& traceOf(Answer answer)
{
    return traces[indexOf(answer)];
}

void traceOutOfMemory(Answer answer, const char* fallback)
{
    traceOf(answer) = {.made = Made::fallback,
                       .text = fallback,
                       .number = static_cast<long>(PathOrigin::Fallback::outOfMemory)};
}

char* normalized(char* text, Trace& trace)
{
    if (!text || !holdsBackslash(text))
        return text;
    trace.normalized = true;
    if (trace.made == Made::fromVariable || trace.made == Made::passwordEntry)
        trace.text = copyString(text);
    normalizeSlashes(text);
    return text;
}

char* compose(Answer answer, const Family& family, const char* base)
{
    const Source& source = sourceOf(answer);
    Trace& trace = traceOf(answer);
    trace = {};
    const char* variable = variableOf(source, family);
    if (const char* value = variable ? std::getenv(variable) : nullptr) {
        trace.made = Made::fromVariable;
        if (char* copy = copyString(value))
            return source.asGiven ? copy : normalized(copy, trace);
        trace.notCopied = true;
    }
    if (hasBase(source)) {
        trace.made = Made::below;
        if (char* joined = joinStrings({base, "/", source.below}))
            return normalized(joined, trace);
        trace.number = static_cast<long>(PathOrigin::Fallback::outOfMemory);
    } else if (source.unset != Made::fallback) {
        trace.made = source.unset;
        return source.unset == Made::fixed ? fixedText(source.fallback) : nullptr;
    } else {
        trace.number = static_cast<long>(trace.notCopied ? PathOrigin::Fallback::outOfMemory
                                                         : PathOrigin::Fallback::notLocated);
    }
    trace.made = Made::fallback;
    return fixedText(source.fallback);
}

}
