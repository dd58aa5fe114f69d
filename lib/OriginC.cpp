// The C-linkage explanation: each answer's text, held until it changes.

#include <ravlinpath/OriginC.h>

#include <ravlinpath/Origin.h>

#include "Strings.h"

#include <atomic>
#include <string>

namespace {

// Each answer's text as last given. An explanation changes only when its
// answer does (a value stored before the first query replaced, an answer
// asked for at last), so a text is made on every call but kept only when it
// differs from the one held; a text once given is never freed. It is made
// without a lock held, since making it may compute the answer.
std::atomic<const char*> texts[PathOrigin::answerCount];

const char* textFor(PathOrigin::Answer answer)
{
    std::atomic<const char*>& held = texts[static_cast<int>(answer)];
    const std::string made = PathOrigin::textOf(answer);
    const char* text = held.load(std::memory_order_acquire);
    while (!text || made != text) {
        char* copy = ravlinpath::copyString(made.c_str());
        if (!copy)
            return "out of memory\n";
        if (held.compare_exchange_strong(text, copy, std::memory_order_acq_rel))
            return copy;
        delete[] copy;
    }
    return text;
}

}

const char* pathOrigin(const char* answer)
{
    PathOrigin::Answer found;
    if (!answer || !PathOrigin::find(answer, found))
        return "unknown answer\n";
    try {
        return textFor(found);
    } catch (...) {
        return "out of memory\n";
    }
}
