// Counts the C allocations of a thread while it asks for counting (sanitizer builds count nothing).
#pragma once

#include <atomic>

namespace calyth::test
{
/** Whether this build counts: sanitizers bring their own allocator, so their builds do not. */
extern const bool countingAllocations;
/** While set on a thread, every malloc, calloc and realloc of that thread adds one to `allocations`. */
extern thread_local bool counting;
extern std::atomic<int> allocations;
} // namespace calyth::test
