// The guard every C-linkage function answers through.

#ifndef RAVLINPATH_CLINKAGE_H
#define RAVLINPATH_CLINKAGE_H

#include <type_traits>

namespace ravlinpath {

// The C-linkage functions answer through this guard: it asks one method of a
// fresh, stateless path set and answers fallback when anything is thrown
// (in practice, out of memory while a group is computed).
template <typename PathSet, typename Answer>
Answer answerOr(Answer (PathSet::*method)(), std::type_identity_t<Answer> fallback) noexcept
{
    try {
        PathSet set;
        return (set.*method)();
    } catch (...) {
        return fallback;
    }
}

}

#endif
