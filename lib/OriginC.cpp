// The C-linkage explanation: each answer's text, made once and held.

#include <ravlinpath/OriginC.h>

#include <ravlinpath/Origin.h>

#include "Strings.h"

#include <atomic>

namespace {

// Made without a lock held, since making it may compute the answer; when two
// threads make it at once, the first to publish wins.
std::atomic<const char*> texts[PathOrigin::answerCount];

const char* textFor(PathOrigin::Answer answer)
{
    std::atomic<const char*>& held = texts[static_cast<int>(answer)];
    if (const char* text = held.load(std::memory_order_acquire))
        return text;
    char* made = ravlinpath::copyString(PathOrigin::textOf(answer).c_str());
    if (!made)
        return "out of memory\n";
    const char* expected = nullptr;
    if (held.compare_exchange_strong(expected, made, std::memory_order_acq_rel))
        return made;
    delete[] made;
    return expected;
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
