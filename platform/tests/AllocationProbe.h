// What a stretch of code asks of the heap: the largest single allocation
// request and the time taken, for tests that hostile input fails cleanly.
// Requests are seen through the allocation hooks of the sanitizer runtime
// that the test build runs under; without that runtime only the time is
// measured (measured() is false).
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                         void (*freeHook)(const volatile void*))
    __attribute__((weak));

namespace allocation_probe {

inline std::atomic<bool> gArmed{false};
inline std::atomic<std::size_t> gLargest{0};

inline void onMalloc(const volatile void*, std::size_t size)
{
    if (!gArmed.load(std::memory_order_relaxed))
        return;
    std::size_t seen = gLargest.load(std::memory_order_relaxed);
    while (size > seen && !gLargest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

inline void onFree(const volatile void*) {}

// True once the hooks are in place (installed on the first call).
inline bool installed()
{
    static const bool ok = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                           __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
    return ok;
}

struct Usage {
    bool measured = false;      // largestRequest holds a real figure
    std::size_t largestRequest = 0;
    double seconds = 0.0;
};

// Runs f and reports the largest request it made and how long it took;
// an exception from f is passed on after the probe is disarmed.
template <class F>
Usage measure(F&& f)
{
    Usage usage;
    usage.measured = installed();
    gLargest.store(0);
    gArmed.store(true);
    const auto start = std::chrono::steady_clock::now();
    struct Disarm {
        ~Disarm() { gArmed.store(false); }
    } disarm;
    f();
    usage.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    usage.largestRequest = gLargest.load();
    return usage;
}

} // namespace allocation_probe
