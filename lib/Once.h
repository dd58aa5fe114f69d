#ifndef RAVLINPATH_ONCE_H
#define RAVLINPATH_ONCE_H

// Every cached answer and every group is a pointer that moves once from null
// to its value. Any thread may make the first query: the value is computed
// once, under a lock of its own, and published with release ordering, so a
// thread that sees the pointer also sees what it points to. Later queries
// only load the pointer. A value stored before the first query is kept.
//
// Each value, or group of values computed together, has its own lock, so a
// first query waits only for the value it needs, never for another one's
// slow I/O (a registry file under a lease, a password lookup over the
// network). The rule that keeps this free of deadlock: a value's inputs are
// fetched before its lock is taken, so no thread ever holds two locks. Builds
// with assertions abort on a breach.

#include <atomic>
#include <cassert>
#include <ctime>
#include <mutex>
#include <thread>
#include <tuple>

namespace ravlinpath {

// Taking a free lock is one atomic exchange, and only a thread that has to
// wait calls into the C library, so a program with one thread, such as the
// command, pays nothing more at start-up. A waiting thread yields its
// processor a few times, then sleeps a millisecond at a time, so that it
// spins neither on its core nor against a holder of lower priority.
class Lock {
public:
    void lock() noexcept
    {
        assert(!holdsOne() && "a lock is taken while another is held");
        for (unsigned attempt = 0; busy.test_and_set(std::memory_order_acquire); attempt += attempt < yields)
            waitBriefly(attempt);
        setHeld(true);
    }

    void unlock() noexcept
    {
        setHeld(false);
        busy.clear(std::memory_order_release);
    }

private:
    static constexpr unsigned yields = 16;

    static void waitBriefly(unsigned attempt) noexcept
    {
        if (attempt < yields) {
            std::this_thread::yield();
            return;
        }
        const timespec millisecond = {0, 1000 * 1000};
        nanosleep(&millisecond, nullptr);
    }

#ifdef NDEBUG
    static bool holdsOne() noexcept { return false; }
    static void setHeld(bool) noexcept {}
#else
    static bool& held() noexcept
    {
        static thread_local bool holding = false;
        return holding;
    }
    static bool holdsOne() noexcept { return held(); }
    static void setHeld(bool holding) noexcept { held() = holding; }
#endif

    std::atomic_flag busy;
};

// What member holds, as published by the thread that computed it.
template <typename T>
T* published(T* const& member)
{
    return std::atomic_ref<T*>(const_cast<T*&>(member)).load(std::memory_order_acquire);
}

// Stores value, complete, for published() to see; called with the lock held.
template <typename T>
void publish(T*& member, T* value)
{
    std::atomic_ref<T*>(member).store(value, std::memory_order_release);
}

// The inputs of a value computed from fixed texts alone.
inline std::tuple<> noInputs() { return {}; }

// The one way a value is computed once: member, when it is still null, is
// computed by compute(inputs) with lock held and published. Its inputs are
// fetched by fetchInputs() only while member is unpublished and before the
// lock is taken, since fetching may mean computing another value under that
// value's own lock. A null from compute (a failed allocation, or a value that
// cannot be made yet) or an exception leaves member null, to be tried again
// on the next query. compute makes no query of its own.
template <typename T, typename Fetch, typename Compute>
T* computeOnce(T*& member, Lock& lock, Fetch fetchInputs, Compute compute)
{
    if (T* value = published(member))
        return value;
    const auto inputs = fetchInputs();
    std::lock_guard held(lock);
    if (T* value = member)
        return value;
    T* value = compute(inputs);
    publish(member, value);
    return value;
}

}

#endif
