// The audio callback allocates nothing: allocations are counted while a block runs on the counting thread.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

#include "EngineTestHelpers.h"

namespace
{
thread_local bool countingOnThisThread = false;
std::atomic<int> allocationCount { 0 };

void noteAllocation() noexcept
{
    if (countingOnThisThread)
        allocationCount.fetch_add (1, std::memory_order_relaxed);
}

struct ScopedAllocationCount
{
    ScopedAllocationCount() { countingOnThisThread = true; }
    ~ScopedAllocationCount() { countingOnThisThread = false; }
};
} // namespace

// Sanitizers bring their own allocator: the replacements stay out of those builds.
#if ! defined(__SANITIZE_THREAD__) && ! defined(__SANITIZE_ADDRESS__)
 #define CALYTH_COUNT_ALLOCATIONS 1

// The C library's own entry points, so that nothing here is counted twice or freed by a stranger.
extern "C" void* __libc_malloc (std::size_t);
extern "C" void* __libc_calloc (std::size_t, std::size_t);
extern "C" void* __libc_realloc (void*, std::size_t);
extern "C" void* __libc_memalign (std::size_t, std::size_t);
extern "C" void __libc_free (void*);

void* operator new (std::size_t size)
{
    noteAllocation();
    if (void* p = __libc_malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new (std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    if (void* p = __libc_memalign ((std::size_t) alignment, size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete (void* p) noexcept { __libc_free (p); }
void operator delete (void* p, std::size_t) noexcept { __libc_free (p); }
void operator delete (void* p, std::align_val_t) noexcept { __libc_free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { __libc_free (p); }

// The framework's heap blocks use the C allocator directly.
extern "C" void* malloc (std::size_t size)
{
    noteAllocation();
    return __libc_malloc (size);
}

extern "C" void* calloc (std::size_t count, std::size_t size)
{
    noteAllocation();
    return __libc_calloc (count, size);
}

extern "C" void* realloc (void* p, std::size_t size)
{
    noteAllocation();
    return __libc_realloc (p, size);
}
#endif

TEST (RealTime, CountingCatchesAllocations)
{
#if CALYTH_COUNT_ALLOCATIONS
    const auto countOf = [] (auto&& allocate)
    {
        allocationCount = 0;
        {
            ScopedAllocationCount counting;
            allocate();
        }
        return allocationCount.load();
    };

    EXPECT_EQ (countOf ([] { std::vector<float> numbers (64); }), 1);
    EXPECT_EQ (countOf ([] { juce::HeapBlock<float> block (64); }), 1);
    EXPECT_EQ (countOf ([] { juce::AudioBuffer<float> buffer (2, 64); }), 1);
    EXPECT_EQ (countOf ([] { float on[64] = {}; juce::ignoreUnused (on); }), 0);
#else
    GTEST_SKIP() << "allocation counting is off under sanitizers";
#endif
}

TEST (RealTime, BlocksAllocateNothing)
{
#if CALYTH_COUNT_ALLOCATIONS
    using calyth::test::setParameter;

    CalythAudioProcessor processor;
    processor.enableAllBuses();
    processor.prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> buffer (2, 2000);
    juce::MidiBuffer midi;
    juce::Random random (5);

    allocationCount = 0;
    for (int block = 0; block < 300; ++block)
    {
        // Between blocks, as the message thread would: regenerate, edit records, move parameters.
        if (block % 10 == 0)
            processor.regenerateWorld();
        if (block % 10 == 5)
            processor.regeneratePole (block % 4);
        processor.granulizerParameters[block % 4]->getUnchecked (block % 2)->density = block % 65;
        processor.resonatorParameters[block % 4]->getUnchecked (0)->freq = 100.0f + (float) block;
        processor.diffuserParameters[block % 2]->feedback = random.nextFloat();
        setParameter (processor, "x_pos", random.nextFloat());
        setParameter (processor, "dry_wet", random.nextFloat());
        setParameter (processor, "trajectory", (block / 40) % 2 == 0 ? 0.0f : 1.0f);
        setParameter (processor, "stereo_link_c", (block / 25) % 2 == 0 ? 0.0f : 1.0f);
        setParameter (processor, "in_gain", -70.0f + 76.0f * random.nextFloat());

        // Mostly host-sized blocks, now and then one longer than prepared.
        const int length = block % 50 == 49 ? 2000 : 512;
        buffer.setSize (2, length, false, false, true);
        calyth::test::fillWithSines (buffer, block * 512);

        ScopedAllocationCount counting;
        processor.processBlock (buffer, midi);
    }
    EXPECT_EQ (allocationCount.load(), 0);
#else
    GTEST_SKIP() << "allocation counting is off under sanitizers";
#endif
}
