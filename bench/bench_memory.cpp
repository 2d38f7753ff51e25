// Counting global operator new and delete for PeakMemory. Each block
// carries its size in a header of max_align_t's size, so delete knows how
// much to give back. Single-threaded, like the whole suite.
#include <cstdlib>
#include <new>

#include "bench/PeakMemory.h"

namespace {

std::size_t g_current = 0;
std::size_t g_base = 0;
std::size_t g_peak = 0;

constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t n)
{
    void* raw = std::malloc(n + kHeader);
    if (!raw)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(raw) = n;
    g_current += n;
    if (g_current > g_peak)
        g_peak = g_current;
    return static_cast<char*>(raw) + kHeader;
}

void release(void* p) noexcept
{
    if (!p)
        return;
    void* raw = static_cast<char*>(p) - kHeader;
    g_current -= *static_cast<std::size_t*>(raw);
    std::free(raw);
}

}  // namespace

void PeakMemory::reset()
{
    g_base = g_current;
    g_peak = g_current;
}

std::size_t PeakMemory::peak()
{
    return g_peak - g_base;
}

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
