#ifndef RAVLINPATH_ONCE_H
#define RAVLINPATH_ONCE_H

// Every cached answer and every group is a pointer that moves once from null
// to its value. Any thread may make the first query: the value is computed
// once, under the library's one lock, and published with release ordering, so
// a thread that sees the pointer also sees what it points to. Later queries
// only load the pointer. A value stored before the first query is kept.

#include <atomic>
#include <ctime>
#include <mutex>
#include <thread>

namespace ravlinpath {

// The library's one lock. Taking it free is one atomic exchange, and only a
// thread that has to wait for it calls into the C library, so a program with
// one thread, such as the command, pays nothing more at start-up. It is held
// while a first query computes its answer, which may mean a password lookup
// over the network: a waiting thread yields its processor a few times, then
// sleeps a millisecond at a time, so that it spins neither on its core nor
// against a holder of lower priority.
class Lock {
public:
    void lock() noexcept
    {
        for (int attempt = 0; busy.test_and_set(std::memory_order_acquire); ++attempt)
            waitBriefly(attempt);
    }

    void unlock() noexcept { busy.clear(std::memory_order_release); }

private:
    static void waitBriefly(int attempt) noexcept
    {
        constexpr int yields = 16;
        if (attempt < yields) {
            std::this_thread::yield();
            return;
        }
        const timespec millisecond = {0, 1000 * 1000};
        nanosleep(&millisecond, nullptr);
    }

    std::atomic_flag busy;
};

inline constinit Lock computing;

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

// member, computed by compute() when it is null. A null from compute (a
// failed allocation) or an exception leaves member null, to be tried again on
// the next query. compute runs with the lock held, so it takes its inputs from
// the caller and makes no query of its own.
template <typename T, typename Compute>
T* computeOnce(T*& member, Compute compute)
{
    if (T* value = published(member))
        return value;
    std::lock_guard lock(computing);
    if (T* value = member)
        return value;
    T* value = compute();
    publish(member, value);
    return value;
}

}

#endif
