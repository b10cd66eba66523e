// Counts the C allocations of a thread while it asks for counting. Counting the C allocator covers
// operator new, the framework's heap blocks and audio buffers alike.
#include "AllocationCounting.h"

#include <cstddef>

namespace calyth::test
{
thread_local bool counting = false;
std::atomic<int> allocations { 0 };

#if ! defined(__SANITIZE_THREAD__) && ! defined(__SANITIZE_ADDRESS__)
const bool countingAllocations = true;
#else
const bool countingAllocations = false;
#endif
} // namespace calyth::test

#if ! defined(__SANITIZE_THREAD__) && ! defined(__SANITIZE_ADDRESS__)
static void* counted (void* p) noexcept
{
    if (calyth::test::counting)
        calyth::test::allocations.fetch_add (1, std::memory_order_relaxed);
    return p;
}

extern "C" void* __libc_malloc (std::size_t);
extern "C" void* __libc_calloc (std::size_t, std::size_t);
extern "C" void* __libc_realloc (void*, std::size_t);
extern "C" void* malloc (std::size_t size) { return counted (__libc_malloc (size)); }
extern "C" void* calloc (std::size_t count, std::size_t size) { return counted (__libc_calloc (count, size)); }
extern "C" void* realloc (void* p, std::size_t size) { return counted (__libc_realloc (p, size)); }
#endif
