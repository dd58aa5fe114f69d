// The explanation gathered into a vector of facts and into strings, for
// callers who would rather have them whole, with the answers asked for first.
// Kept apart from Origin.cpp, so that a program taking the facts of the
// answers it asked for through a sink links neither these strings nor every
// answer's code.

#include <ravlinpath/Origin.h>

#include <ravlinpath/Base.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/System.h>

#include "Trace.h"

#include <mutex>

using namespace ravlinpath;

namespace {

// Computes the answer, when it has not been asked for yet.
void query(Answer answer)
{
    PathPlatform& platform = PathBase::platform;
    switch (answer) {
    case Answer::home: PathRavlin().homeDir(); return;
    case Answer::prog: PathRavlin().progDir(); return;
    case Answer::exp: PathRavlin().expDir(); return;
    case Answer::expStan: PathRavlin().expStanDir(); return;
    case Answer::conf: PathRavlin().confDir(); return;
    case Answer::plot: PathRavlin().plotDir(); return;
    case Answer::layout: PathRavlin().layoutDir(); return;
    case Answer::print: PathRavlin().printDir(); return;
    case Answer::docu: PathRavlin().docuDir(); return;
    case Answer::appDefaults: PathRavlin().appDefaultsDir(); return;
    case Answer::hints: PathRavlin().hintsDir(); return;
    case Answer::dot: PathRavlin().dotDir(); return;
    case Answer::curDir: PathRavlin().curDirFile(); return;
    case Answer::disklessInst: PathRavlin().disklessInst(); return;
    case Answer::disklessRoot: PathRavlin().disklessRoot(); return;
    case Answer::disklessLock: PathRavlin().disklessLock(); return;
    case Answer::pdfViewer: PathSystem().pdfViewerPath(); return;
    case Answer::lumeva: PathSystem().lumevaPath(); return;
    case Answer::userHome: platform.userHome(); return;
    case Answer::userName: platform.userName(); return;
    case Answer::userProfile: platform.userProfile(); return;
    case Answer::tmp: PathSystem().tmp(); return;
    case Answer::registryFile: platform.analysisRegistry(); return;
    case Answer::fennetProg: platform.fennetProg(); return;
    case Answer::fennetExe: platform.fennetExe(); return;
    case Answer::fennetWin: platform.fennetWin(); return;
    case Answer::brisko: PathSystem().briskoPath(); return;
    case Answer::quamby: PathSystem().quambyPath(); return;
    }
}

// Whether the answer, as it was made, lies below its base: a value the
// program stored does not, and its base is not asked for on its account.
bool liesBelowItsBase(Answer answer)
{
    std::lock_guard held(lockOf(answer));
    const Made made = traceOf(answer).made;
    return made == Made::below || made == Made::sameAs || made == Made::named;
}

// The answer and, as its explanation shows them, the answers it lies below.
void askWithBases(Answer answer)
{
    query(answer);
    const Source& source = sourceOf(answer);
    if (hasBase(source) && liesBelowItsBase(answer))
        askWithBases(source.base);
}

void appendTo(std::string_view piece, void* text)
{
    static_cast<std::string*>(text)->append(piece);
}

}

std::vector<PathOrigin::Fact> PathOrigin::factsOf(Answer answer)
{
    askWithBases(answer);
    std::vector<Fact> facts;
    forEachFact(answer, [&](const Fact& fact) { facts.push_back(fact); });
    return facts;
}

std::string PathOrigin::describe(const Fact& fact)
{
    std::string words;
    describe(fact, appendTo, &words);
    return words;
}

std::string PathOrigin::summary(Answer answer)
{
    askWithBases(answer);
    std::string words;
    summarize(answer, appendTo, &words);
    return words;
}

std::string PathOrigin::textOf(Answer answer)
{
    askWithBases(answer);
    std::string lines;
    forEachFact(answer, [&](const Fact& fact) {
        lines.append(2 * fact.depth, ' ');
        describe(fact, appendTo, &lines);
        lines += '\n';
    });
    return lines;
}
